#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/DriveSession.h"
#include "run/RunInputs.h"
#include "run/SilentHost.h"

class QPainter;

namespace veerline::ui {

class DrawingEditor;
class DrawingWindow;

// Drives the chosen vehicle with the mouse: a click places the start, a
// second the first leg's end; from then on the vehicle follows the pointer
// on a path it can drive at the run's speed (easing, arc, easing at every
// corner). The preview shows the path from the last point to the pointer,
// the vehicle's outline at the pointer and the area it sweeps, red where it
// comes within the clearance margin of an obstacle layer, magenta where the
// angle between units or the steering lock is passed. A click fixes a point,
// Backspace takes one back, Enter or a double click finishes, Escape
// cancels; R ends the leg at its last point and drives the next one the other
// way (a manoeuvre). The path goes on layer "Path" and is run at once with
// the window's options; path and run are one undo step.
class DriveTool : public QObject {
  Q_OBJECT

 public:
  DriveTool(DrawingWindow& window, DrawingEditor& editor);
  ~DriveTool() override;

  // The vehicle, speed, units and clearance options of the next run.
  void SetInputsSource(std::function<RunInputs()> source) { mInputsSource = std::move(source); }
  // Runs the path with this handle (a manoeuvre's first leg) as Execute does.
  void SetRunner(std::function<void(const std::string& handle)> runner) {
    mRunner = std::move(runner);
  }
  // How far the last rear axle sits behind the front axle, stretched straight:
  // where a leg after a cusp starts.
  void SetGuidedOffsetSource(std::function<std::optional<double>()> source) {
    mGuidedOffsetSource = std::move(source);
  }

  void Start();
  void Cancel();
  // Adds the path and runs it; false (and the tool stays) while it cannot be made.
  bool Finish();
  bool IsActive() const { return mActive; }
  // Ends the leg at its last point; the next leg goes the other way.
  bool SwitchDirection();

  // The points of the leg being drawn, and whether it is a reverse leg.
  const std::vector<Point2D>& Points() const;
  bool ReverseLeg() const;
  // The last preview: what the pointer's position would add.
  const DriveSession::Hovered* Preview() const { return mHovered; }

  static constexpr const char* kLayer = "Path";

 signals:
  void activeChanged(bool active);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Leg {
    std::unique_ptr<DriveSession> Session;
    bool Reverse = false;
  };
  std::optional<DriveSetup> MakeSetup(QString& why) const;
  void NewLeg(bool reverse, std::optional<Point2D> start);
  void OnClicked(QPoint position, Qt::MouseButton button);
  bool OnKey(int key);
  void Hover(const QPoint& position);
  void ShowStatus();
  void Refuse(const QString& text);
  void End();
  void Paint(QPainter& painter) const;
  void PaintStretch(QPainter& painter, const DriveStretch& stretch, bool reverse, bool bad) const;
  // The fixed part, painted into a picture kept while it and the view stay as they are.
  void PaintFixed(QPainter& painter) const;
  void FixedChanged() { ++mFixedGeneration; }

  DrawingWindow& mWindow;
  DrawingEditor& mEditor;
  std::function<RunInputs()> mInputsSource;
  std::function<void(const std::string&)> mRunner;
  std::function<std::optional<double>()> mGuidedOffsetSource;
  SilentHost mHost;
  std::optional<DriveSetup> mSetup;
  double mGuidedOffset = 0;
  bool mActive = false;
  std::vector<Leg> mLegs;  // the last is being drawn
  const DriveSession::Hovered* mHovered = nullptr;
  std::optional<Point2D> mPointer;
  QPoint mPointerPosition;
  bool mFinishOnClick = false;
  std::size_t mFixedGeneration = 0;
  struct PictureKey {
    std::size_t Generation = 0;
    QPointF Origin, Unit;  // where the view puts (0, 0) and (1, 0)
    QSize Size;
    bool operator==(const PictureKey&) const = default;
  };
  mutable PictureKey mFixedKey;
  mutable QImage mFixedPicture;
};

}  // namespace veerline::ui
