#include "ui/WindowHost.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QProgressBar>
#include <QRandomGenerator>
#include <cmath>

#include "ui/UserLocale.h"
#include "ui/VehicleTurningWindow.h"

namespace veerline::ui {
namespace {

// The progress bar counts in whole steps; values beyond its int range are clamped.
int ProgressSteps(double value) {
  if (!std::isfinite(value) || value <= 0) return 0;
  return value >= 2147483647.0 ? 2147483647 : static_cast<int>(std::lround(value));
}

}  // namespace

MessageAnswer WindowHost::ShowMessage(MessageKind kind, const std::string& title,
                                      const std::string& text) {
  return mWindow.ShowMessage(kind, QString::fromStdString(title), QString::fromStdString(text));
}

void WindowHost::SetStatusText(int panel, const std::string& text) {
  mWindow.SetStatusPanelText(panel, QString::fromStdString(text));
}

void WindowHost::SetProgressVisible(bool visible) { mWindow.ProgressBar()->setVisible(visible); }

void WindowHost::SetProgressMaximum(double maximum) {
  mWindow.ProgressBar()->setMaximum(ProgressSteps(maximum));
}

void WindowHost::SetProgressValue(double value) {
  QProgressBar* bar = mWindow.ProgressBar();
  bar->setValue(std::min(ProgressSteps(value), bar->maximum()));
}

// A close of the window among the events stops the run at its next check.
void WindowHost::ProcessPendingEvents() {
  QCoreApplication::processEvents();
  if (mWindow.CloseRequested()) mWindow.State().stopRequested = true;
}

void WindowHost::MinimiseMainWindow() { mWindow.showMinimized(); }

void WindowHost::RestoreMainWindow() { mWindow.showNormal(); }

double WindowHost::NextRandom() { return QRandomGenerator::global()->generateDouble(); }

LocalTime WindowHost::Now() {
  const QDateTime now = QDateTime::currentDateTime();
  return {now.date().year(), now.date().month(),  now.date().day(),
          now.time().hour(), now.time().minute(), now.time().second()};
}

void WindowHost::DrawRunDiagrams() { mWindow.DrawRunDiagrams(); }

void WindowHost::SetTotalLengthCaption(const std::string& caption) {
  mWindow.SetTotalLengthCaption(QString::fromStdString(caption));
}

NumberSymbols WindowHost::Symbols() const { return UserNumberSymbols(); }

}  // namespace veerline::ui
