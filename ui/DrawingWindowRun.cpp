// The drawing window's part in the last run: playing it back under the
// drawing, and exporting its design report and its animation.

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStatusBar>

#include "cad/dxf/DrawingModel.h"
#include "engine/SafeSave.h"
#include "paint/DesignReport.h"
#include "paint/RunAnimation.h"
#include "paint/VehicleFigure.h"
#include "ui/DrawingView.h"
#include "ui/DrawingWindow.h"
#include "ui/FileFolders.h"
#include "ui/PlaybackBar.h"

namespace veerline::ui {

void DrawingWindow::BuildRunMenu(QMenu* file) {
  QMenu* report = file->addMenu(tr("Export Report"));
  report->setObjectName(QStringLiteral("ExportReportMenu"));
  mReportA4 = report->addAction(tr("A4 landscape..."), this,
                                [this] { OnExportReport(paint::Paper::A4); });
  mReportA4->setObjectName(QStringLiteral("ExportReportA4"));
  mReportA3 = report->addAction(tr("A3 landscape..."), this,
                                [this] { OnExportReport(paint::Paper::A3); });
  mReportA3->setObjectName(QStringLiteral("ExportReportA3"));
  mAnimation = file->addAction(tr("Export Animation..."), this, &DrawingWindow::OnExportAnimation);
  mAnimation->setObjectName(QStringLiteral("ExportAnimation"));
  connect(mPlayback, &PlaybackBar::poseChanged, this, [this] {
    mView->update();
    emit playbackStationChanged(mPlayback->HasRun() ? std::optional<double>(mPlayback->Station())
                                                    : std::nullopt);
  });
}

void DrawingWindow::SetRunResult(std::shared_ptr<const RunResultModel> run,
                                 paint::ReportTitle title, double metresPerSecond,
                                 std::function<NumberSymbols()> symbols) {
  mRun = std::move(run);
  mRunTitle = std::move(title);
  mRunSpeed = metresPerSecond;
  mSymbols = std::move(symbols);
  const bool shown = mRun && mRun->RunHappened();
  mPlayback->SetRun(shown ? mRun : nullptr, metresPerSecond, mSymbols);
  mView->SetOverlay(shown ? DrawingView::Overlay([this](QPainter& painter, const QTransform& map) {
    PaintPlayback(painter, map);
  })
                          : DrawingView::Overlay());
  // While a run can be played, Home goes to its start; E still zooms to extents.
  mExtents->setShortcuts(shown ? QList<QKeySequence>{QKeySequence(Qt::Key_E)}
                               : QList<QKeySequence>{QKeySequence(Qt::Key_Home),
                                                     QKeySequence(Qt::Key_E)});
  mReportA4->setEnabled(shown);
  mReportA3->setEnabled(shown);
  mAnimation->setEnabled(shown);
}

void DrawingWindow::ClearRunResult() { SetRunResult(nullptr, {}, 0, {}); }

// The vehicle at the station shown, drawn over the drawing: red where a limit stopped it.
void DrawingWindow::PaintPlayback(QPainter& painter, const QTransform& toScreen) const {
  if (!mPlayback->HasRun()) return;
  const RunResultModel& run = *mPlayback->Run();
  const std::size_t pose = mPlayback->Pose();
  paint::VehicleColours colours;
  colours.body = QColor(0, 110, 255);
  colours.fill = QColor(0, 110, 255, 70);
  colours.wheel = QColor(255, 170, 0);  // shows on a dark and a light background
  if (mPlayback->AtStop()) {
    colours.body = QColor(230, 30, 30);
    colours.fill = QColor(230, 30, 30, 80);
  }
  paint::PaintVehiclePose(painter, toScreen, run.segments, run.vehicleType, run.metresPerUnit,
                          run.poses[pose], run.ReadingsAt(pose).steering.value_or(0), colours, 2);
}

bool DrawingWindow::PlaybackKey(int key) {
  if (!mPlayback->HasRun()) return false;
  switch (key) {
    case Qt::Key_Space: mPlayback->TogglePlay(); return true;
    case Qt::Key_Left: mPlayback->Step(-1); return true;
    case Qt::Key_Right: mPlayback->Step(1); return true;
    case Qt::Key_Home: mPlayback->Pause(); mPlayback->JumpTo(0); return true;
    case Qt::Key_End: mPlayback->Pause(); mPlayback->JumpToEnd(); return true;
    default: return false;
  }
}

bool DrawingWindow::ExportReport(const QString& path, paint::Paper paper) {
  if (!mRun || Drawing() == nullptr) return false;
  try {
    const QByteArray pdf = paint::DesignReportPdf(
        *Drawing(), *mRun, mRunTitle, paper,
        mSymbols ? mSymbols() : NumberSymbols::PointDecimal());
    if (pdf.isEmpty()) throw std::runtime_error("the report came out empty");
    SaveFileSafely(std::filesystem::path(path.toStdU16String()),
                   std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
  } catch (const std::exception& error) {
    ShowWarning(tr("Export Report"), tr("The report could not be written to %1.\r\r%2")
                                         .arg(path, QString::fromStdString(error.what())));
    return false;
  }
  return true;
}

bool DrawingWindow::ExportAnimation(const QString& path) {
  if (!mRun || Drawing() == nullptr) return false;
  mPlayback->Pause();
  paint::AnimationOptions options;
  options.metresPerSecond = mRunSpeed;
  options.symbols = mSymbols ? mSymbols() : NumberSymbols::PointDecimal();
  options.unitLabel = mRunTitle.unitLabel;
  options.title = mRunTitle.vehicleName + QStringLiteral("  ·  ") + mRunTitle.drawingFile;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  statusBar()->showMessage(tr("Writing the animation..."));
  try {
    paint::WriteRunAnimation(*Drawing(), *mRun, options, path.toStdString());
  } catch (const std::exception& error) {
    QApplication::restoreOverrideCursor();
    statusBar()->clearMessage();
    ShowWarning(tr("Export Animation"), tr("The animation could not be written to %1.\r\r%2")
                                            .arg(path, QString::fromStdString(error.what())));
    return false;
  }
  QApplication::restoreOverrideCursor();
  statusBar()->showMessage(tr("Animation written to %1").arg(path), 5000);
  return true;
}

void DrawingWindow::OnExportAnimation() {
  if (!mRun) return;
  const QString chosen = ChooseFileInLastFolder(mServices, this, FileDialogKind::SaveAnimation);
  if (!chosen.isEmpty()) ExportAnimation(chosen);
}

void DrawingWindow::OnExportReport(paint::Paper paper) {
  if (!mRun) return;
  const QString chosen = ChooseFileInLastFolder(mServices, this, FileDialogKind::SaveReport);
  if (!chosen.isEmpty()) ExportReport(chosen, paper);
}

}  // namespace veerline::ui
