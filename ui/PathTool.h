#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "cad/geometry/SnapPoints.h"
#include "engine/ArcPath.h"
#include "engine/Geometry.h"

class QPainter;

namespace veerline::ui {

class DrawingEditor;
class DrawingWindow;

// The point `distance` back from the end of a laid-out path, along it; past
// its start, on straight on behind its first direction, where a vehicle
// starting the path stands stretched.
Point2D PointBackFromEnd(const std::vector<ArcPathVertex>& vertices, double distance);

// Draws a path polyline point by point: straight legs between the clicked
// points, every corner rounded by a tangent arc of radius R. Clicks snap to
// the drawing (ends, middles, centres, crossings, nearest points) and Shift
// keeps the leg level or plumb. The preview shows the path as it will be
// drawn, corners too tight for R in red. R shows in a toolbar field that can
// be typed into; typing a number over the drawing and Enter sets it too;
// Backspace takes back the last point, Enter, a double click or a right
// click finish, Escape cancels. The path goes on layer "Path" as one action.
// A manoeuvre is drawn leg by leg: R (or the toolbar's Reverse leg) ends the
// leg at its last point, a cusp, and starts the next one there in the other
// direction; before the first point it makes the first leg a reverse one.
// Each leg becomes its own polyline, tied to the others by extended data.
class PathTool : public QObject {
  Q_OBJECT

 public:
  PathTool(DrawingWindow& window, DrawingEditor& editor);
  ~PathTool() override;

  void Start();
  void Cancel();
  // Adds the path to the drawing; false (and the tool stays) while it cannot be made.
  bool Finish();
  bool IsActive() const { return mActive; }

  // The minimum turning radius of the chosen vehicle, asked when the tool starts.
  void SetRadiusSource(std::function<std::optional<double>()> source) {
    mRadiusSource = std::move(source);
  }
  // How far the last rear axle of the chosen vehicle, stretched straight,
  // sits behind its front axle; asked when the tool starts. A reverse leg
  // guides that axle, so the next leg after a cusp starts that far back
  // along the leg before, where the axle it guides stands.
  void SetGuidedOffsetSource(std::function<std::optional<double>()> source) {
    mGuidedOffsetSource = std::move(source);
  }
  double Radius() const { return mRadius; }
  // Sets R, as typing it does; a value that is not a positive number is refused.
  bool SetRadius(double radius);
  // R as the toolbar shows it, with the user's decimal separator.
  static QString RadiusText(double radius);
  const std::vector<Point2D>& Points() const { return mPoints; }
  // Ends the leg being drawn at its last point and starts the next one there
  // in the other direction; false (with the reason shown) when it cannot.
  bool SwitchDirection();
  bool ReverseLeg() const { return mReverse; }
  std::size_t FinishedLegs() const { return mLegs.size(); }

  static constexpr const char* kLayer = "Path";

 signals:
  void activeChanged(bool active);
  void radiusChanged(double radius);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnClicked(QPoint position, Qt::MouseButton button);
  bool OnKey(int key, const QString& text);
  // The drawing point a widget position places, snapped and kept level or plumb.
  Point2D Place(const QPoint& position, Qt::KeyboardModifiers modifiers);
  void Hover(const QPoint& position, Qt::KeyboardModifiers modifiers);
  void ShowStatus();
  // A refusal the user has to read whole: a message box, and the status line.
  void Refuse(const QString& text);
  void Paint(QPainter& painter) const;
  void PaintLeg(QPainter& painter, const std::vector<Point2D>& points, bool reverse) const;
  void End();
  struct Leg {
    std::vector<Point2D> Points;
    bool Reverse = false;
  };
  // The legs to draw: those finished and the one being drawn, if it is one.
  std::vector<Leg> AllLegs() const;

  DrawingWindow& mWindow;
  DrawingEditor& mEditor;
  std::function<std::optional<double>()> mRadiusSource;
  std::function<std::optional<double>()> mGuidedOffsetSource;
  double mGuidedOffset = 0;
  bool mActive = false;
  double mRadius = 0;    // 0 until known
  QString mTypedRadius;  // digits typed so far
  std::vector<Point2D> mPoints;  // of the leg being drawn
  bool mReverse = false;         // its direction
  std::vector<Leg> mLegs;        // the legs before it, in order
  std::optional<Point2D> mHover;  // where the next point would go
  QPoint mHoverPosition;          // and the pointer's widget position
  bool mFinishOnClick = false;    // a double click's release ends the path
  std::optional<cad::SnapPoint> mSnap;
  Qt::KeyboardModifiers mModifiers;  // of the last mouse event
};

}  // namespace veerline::ui
