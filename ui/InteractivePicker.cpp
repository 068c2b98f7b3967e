#include "ui/InteractivePicker.h"

#include <QEventLoop>

#include "ui/DrawingView.h"
#include "ui/DrawingWindow.h"

namespace veerline::ui {

InteractivePicker::InteractivePicker(DrawingWindow& window) : mWindow(window) {
  DrawingView* view = mWindow.View();
  connect(view, &DrawingView::clicked, this, &InteractivePicker::OnClicked);
  connect(view, &DrawingView::escapePressed, this, &InteractivePicker::CancelPick);
  connect(&mWindow, &DrawingWindow::windowClosed, this, &InteractivePicker::CancelPick);
}

InteractivePicker::~InteractivePicker() { CancelPick(); }

cad::PickOutcome InteractivePicker::Pick(const std::string& prompt) {
  // One pick at a time: a second one asked for while the first waits is refused.
  if (mLoop != nullptr) return cad::PickOutcome::Cancel();
  DrawingView* view = mWindow.View();
  if (mWindow.isMinimized()) mWindow.showNormal();
  mWindow.show();
  mWindow.raise();
  mWindow.activateWindow();
  view->setFocus(Qt::OtherFocusReason);
  view->SetHighlight(std::string());
  mWindow.ShowPrompt(QString::fromStdString(prompt));
  view->setCursor(Qt::CrossCursor);

  QEventLoop loop;
  mLoop = &loop;
  mDone = false;
  mOutcome = cad::PickOutcome::Cancel();
  emit pickStarted();
  // A window that could not be shown can never be clicked.
  if (!mDone && mWindow.isVisible()) loop.exec();
  mLoop = nullptr;

  view->unsetCursor();
  mWindow.ClearPrompt();
  return mOutcome;
}

void InteractivePicker::CancelPick() { Finish(cad::PickOutcome::Cancel()); }

void InteractivePicker::OnClicked(QPoint position, Qt::MouseButton button) {
  if (mLoop == nullptr || mDone) return;
  if (button == Qt::RightButton) {
    Finish(cad::PickOutcome::Cancel());
    return;
  }
  const auto handle = mWindow.View()->PathHitTest(position);
  if (!handle) {
    Finish(cad::PickOutcome::Miss());
    return;
  }
  mWindow.View()->SetHighlight(*handle);
  Finish(cad::PickOutcome::Hit(*handle));
}

void InteractivePicker::Finish(cad::PickOutcome outcome) {
  if (mLoop == nullptr || mDone) return;
  mDone = true;
  mOutcome = std::move(outcome);
  mLoop->quit();
}

}  // namespace veerline::ui
