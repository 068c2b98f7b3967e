#pragma once

#include <QObject>
#include <QPoint>

#include "cad/Picker.h"

class QEventLoop;

namespace veerline::ui {

class DrawingWindow;

// The pick in the drawing window: brings the window forward, shows the prompt
// in its status bar and waits for a click. A click near an entity picks the
// nearest polyline, or the nearest entity when no polyline is near, and
// highlights it, a click on empty space is a miss (the caller
// asks again), Escape, a right click or closing the window cancel. The wait
// also ends, as cancelled, when the application quits.
class InteractivePicker : public QObject, public cad::Picker {
  Q_OBJECT

 public:
  explicit InteractivePicker(DrawingWindow& window);
  ~InteractivePicker() override;

  cad::PickOutcome Pick(const std::string& prompt) override;
  bool IsPicking() const { return mLoop != nullptr; }
  // Ends a waiting pick as cancelled.
  void CancelPick();

 signals:
  // The window shows the prompt and waits for the user.
  void pickStarted();

 private:
  void OnClicked(QPoint position, Qt::MouseButton button);
  void Finish(cad::PickOutcome outcome);

  DrawingWindow& mWindow;
  QEventLoop* mLoop = nullptr;
  bool mDone = false;
  cad::PickOutcome mOutcome;
};

}  // namespace veerline::ui
