#include "ui/PathTool.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "cad/dxf/DrawingHistory.h"
#include "cad/ManoeuvreLegs.h"
#include "cad/PathPolyline.h"
#include "engine/ArcPath.h"
#include "engine/NumberRule.h"
#include "engine/TurningRadius.h"
#include "ui/DrawingEditor.h"
#include "ui/DrawingOverlay.h"
#include "ui/DrawingView.h"
#include "ui/DrawingWindow.h"
#include "ui/UserLocale.h"

namespace veerline::ui {
namespace {

// Pixels around the pointer within which a point snaps.
constexpr double kSnapPixels = 10;
constexpr double kMarkerPixels = 6;
const QColor kPreviewColour(80, 200, 255);
const QColor kReverseColour(255, 150, 40);
const QColor kTightColour(255, 40, 40);
const QColor kSnapColour(255, 230, 0);

QPointF Screen(const DrawingView& view, const Point2D& p) {
  return view.ToScreen(QPointF(p.X, p.Y));
}

// The marker of a snap: a square at an end, a triangle at a middle, a circle
// at a centre, a cross at a crossing, an hourglass at a nearest point.
void PaintSnapMarker(QPainter& painter, const QPointF& at, cad::SnapKind kind) {
  const double m = kMarkerPixels;
  painter.setPen(QPen(kSnapColour, 2));
  painter.setBrush(Qt::NoBrush);
  switch (kind) {
    case cad::SnapKind::Endpoint:
      painter.drawRect(QRectF(at.x() - m, at.y() - m, 2 * m, 2 * m));
      break;
    case cad::SnapKind::Midpoint:
      painter.drawPolygon(QPolygonF{at + QPointF(0, -m), at + QPointF(m, m), at + QPointF(-m, m)});
      break;
    case cad::SnapKind::Centre:
      painter.drawEllipse(at, m, m);
      break;
    case cad::SnapKind::Intersection:
      painter.drawLine(at + QPointF(-m, -m), at + QPointF(m, m));
      painter.drawLine(at + QPointF(-m, m), at + QPointF(m, -m));
      break;
    case cad::SnapKind::Nearest:
      painter.drawPolygon(QPolygonF{at + QPointF(-m, -m), at + QPointF(m, -m), at + QPointF(-m, m),
                                    at + QPointF(m, m)});
      break;
  }
}

}  // namespace

Point2D PointBackFromEnd(const std::vector<ArcPathVertex>& vertices, double distance) {
  for (std::size_t i = vertices.size() - 1; i > 0; --i) {
    const ArcPathVertex& a = vertices[i - 1];
    const ArcPathVertex& b = vertices[i];
    const cad::SnapCurve curve = cad::BulgeCurve({a.X, a.Y}, {b.X, b.Y}, a.Bulge);
    const double length = curve.IsArc ? curve.Radius * std::abs(curve.SweepRad)
                                      : std::hypot(b.X - a.X, b.Y - a.Y);
    if (distance <= length && length > 0) return cad::CurvePointAt(curve, 1 - distance / length);
    distance -= length;
  }
  const ArcPathVertex& a = vertices[0];
  const cad::SnapCurve first = cad::BulgeCurve({a.X, a.Y}, {vertices[1].X, vertices[1].Y}, a.Bulge);
  const Point2D ahead = cad::CurvePointAt(first, 1e-6);
  const double dx = ahead.X - a.X, dy = ahead.Y - a.Y, d = std::hypot(dx, dy);
  if (d == 0) return {a.X, a.Y};
  return {a.X - dx / d * distance, a.Y - dy / d * distance};
}

QString PathTool::RadiusText(double radius) {
  if (!(radius > 0)) return QString();
  QString text = QString::number(radius, 'g', 12);
  return text.replace(QLatin1Char('.'), UserDecimalSeparator());
}

bool PathTool::SetRadius(double radius) {
  if (!(radius > 0) || !std::isfinite(radius)) return false;
  mRadius = radius;
  mEditor.Overlay().update();
  if (mActive) ShowStatus();
  emit radiusChanged(mRadius);
  return true;
}

PathTool::PathTool(DrawingWindow& window, DrawingEditor& editor)
    : mWindow(window), mEditor(editor) {
  DrawingView* view = window.View();
  connect(view, &DrawingView::clicked, this, &PathTool::OnClicked);
  connect(view, &DrawingView::escapePressed, this, &PathTool::Cancel);
  editor.Overlay().AddPaintStep([this](QPainter& painter) { Paint(painter); });
}

PathTool::~PathTool() {
  if (mActive) mWindow.View()->removeEventFilter(this);
}

void PathTool::Start() {
  if (mActive || mWindow.Drawing() == nullptr || mWindow.RunInProgress()) return;
  if (mRadiusSource) {
    if (const std::optional<double> vehicle = mRadiusSource()) mRadius = PathCornerRadius(*vehicle);
  }
  mGuidedOffset = 0;
  if (mGuidedOffsetSource) mGuidedOffset = mGuidedOffsetSource().value_or(0);
  mActive = true;
  mPoints.clear();
  mLegs.clear();
  mReverse = false;
  mTypedRadius.clear();
  mHover.reset();
  mSnap.reset();
  mEditor.Snaps();
  mWindow.View()->TakeFor(this);
  ShowStatus();
  emit activeChanged(true);
  emit radiusChanged(mRadius);
}

void PathTool::Cancel() {
  if (mActive) End();
}

void PathTool::End() {
  mActive = false;
  mFinishOnClick = false;
  mPoints.clear();
  mLegs.clear();
  mReverse = false;
  mTypedRadius.clear();
  mHover.reset();
  mSnap.reset();
  mWindow.View()->ReleaseFrom(this);
  mWindow.ClearPrompt();
  mEditor.Overlay().update();
  emit activeChanged(false);
}

bool PathTool::Finish() {
  if (!mActive) return false;
  cad::DrawingModel* drawing = mWindow.Drawing();
  if (drawing == nullptr) {
    End();
    return false;
  }
  if (mRadius <= 0) {
    Refuse(tr("Type the corner radius R and press Enter first."));
    return false;
  }
  const std::vector<Leg> legs = AllLegs();
  if (legs.empty()) {
    Refuse(tr("Click at least two points first."));
    return false;
  }
  std::vector<ArcPathLayout> layouts;
  for (std::size_t i = 0; i < legs.size(); ++i) {
    const ArcPathLayout layout = LayOutArcPath(legs[i].Points, mRadius);
    if (!layout.Ok()) {
      const QString error = QString::fromStdString(layout.Error);
      Refuse(legs.size() == 1 ? tr("The path cannot be drawn: %1.").arg(error)
                              : tr("Leg %1 cannot be drawn: %2.").arg(i + 1).arg(error));
      return false;
    }
    layouts.push_back(layout);
  }
  const cad::DrawingMark mark = cad::DrawingHistory::Mark(*drawing);
  // One forward leg is a plain path; anything else is a manoeuvre whose legs
  // carry their order and direction.
  const bool manoeuvre = legs.size() > 1 || legs.front().Reverse;
  const std::string name = manoeuvre ? cad::NewManoeuvreName(*drawing) : std::string();
  std::vector<cad::DrawingEntity*> added;
  for (std::size_t i = 0; i < legs.size(); ++i) {
    cad::DrawingEntity& path = cad::AddPathPolyline(*drawing, layouts[i], kLayer);
    if (manoeuvre) cad::WriteLegTag(path, {name, static_cast<int>(i), legs[i].Reverse});
    added.push_back(&path);
  }
  End();
  mEditor.RecordAdditions(manoeuvre ? "Draw manoeuvre" : "Draw path", mark);
  mEditor.Select(std::move(added));
  return true;
}

std::vector<PathTool::Leg> PathTool::AllLegs() const {
  std::vector<Leg> legs = mLegs;
  if (mPoints.size() >= 2) legs.push_back({mPoints, mReverse});
  return legs;
}

bool PathTool::SwitchDirection() {
  if (!mActive) return false;
  if (mLegs.empty() && mPoints.size() < 2) {
    // Before the first leg has a length: the manoeuvre starts the other way.
    mReverse = !mReverse;
    ShowStatus();
    mEditor.Overlay().update();
    return true;
  }
  if (mPoints.size() < 2) {
    Refuse(tr("Click a point of this leg first; a leg needs a length."));
    return false;
  }
  // Going forwards the front axle follows the line, backwards the last rear
  // axle: the next leg starts where the axle it guides stands at the cusp.
  Point2D start = mPoints.back();
  if (mGuidedOffset > 0 && mRadius > 0) {
    const ArcPathLayout layout = LayOutArcPath(mPoints, mRadius);
    if (!layout.Ok()) {
      Refuse(tr("The leg cannot be drawn: %1.").arg(QString::fromStdString(layout.Error)));
      return false;
    }
    start = PointBackFromEnd(layout.Vertices, mGuidedOffset);
  }
  mLegs.push_back({mPoints, mReverse});
  mPoints = {start};
  mReverse = !mReverse;
  if (mHover) Hover(mHoverPosition, mModifiers);
  ShowStatus();
  return true;
}

Point2D PathTool::Place(const QPoint& position, Qt::KeyboardModifiers modifiers) {
  const DrawingView& view = *mWindow.View();
  const QPointF world = view.ToWorld(QPointF(position));
  Point2D at{world.x(), world.y()};
  mSnap.reset();
  if (const cad::SnapGeometry* snaps = mEditor.Snaps())
    mSnap = snaps->Find(at, kSnapPixels / view.PixelsPerUnit());
  if (mSnap) at = mSnap->At;
  // Shift keeps the new leg level or plumb, through the snapped point's x or y.
  if ((modifiers & Qt::ShiftModifier) && !mPoints.empty()) {
    const Point2D& last = mPoints.back();
    if (std::abs(at.X - last.X) >= std::abs(at.Y - last.Y)) {
      at.Y = last.Y;
    } else {
      at.X = last.X;
    }
  }
  return at;
}

void PathTool::Hover(const QPoint& position, Qt::KeyboardModifiers modifiers) {
  mHoverPosition = position;
  mHover = Place(position, modifiers);
  mEditor.Overlay().update();
}

void PathTool::OnClicked(QPoint position, Qt::MouseButton button) {
  if (!mActive) return;
  if (button == Qt::RightButton || mFinishOnClick) {
    mFinishOnClick = false;
    Finish();
    return;
  }
  mPoints.push_back(Place(position, mModifiers));
  Hover(position, mModifiers);
  ShowStatus();
}

bool PathTool::eventFilter(QObject* watched, QEvent* event) {
  if (!mActive || watched != mWindow.View()) return false;
  switch (event->type()) {
    case QEvent::MouseMove: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      mModifiers = mouse->modifiers();
      Hover(mouse->position().toPoint(), mModifiers);
      return false;
    }
    case QEvent::MouseButtonRelease:
      mModifiers = static_cast<QMouseEvent*>(event)->modifiers();
      return false;
    case QEvent::MouseButtonDblClick:
      // The release that follows ends the path; the click before placed its last point.
      mFinishOnClick = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
      return false;
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Shift && mHover) {
        mModifiers = key->modifiers() | Qt::ShiftModifier;
        Hover(mHoverPosition, mModifiers);
      }
      return OnKey(key->key(), key->text());
    }
    case QEvent::KeyRelease:
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Shift && mHover) {
        mModifiers &= ~Qt::ShiftModifier;
        Hover(mHoverPosition, mModifiers);
      }
      return false;
    default:
      return false;
  }
}

// Digits and the decimal separator type a radius; Enter takes it, or
// finishes the path when nothing is typed.
bool PathTool::OnKey(int key, const QString& text) {
  const bool numberText = text.size() == 1 && (text[0].isDigit() || text == QStringLiteral(".") ||
                                               text == UserDecimalSeparator());
  if (numberText) {
    mTypedRadius += text;
    ShowStatus();
    return true;
  }
  switch (key) {
    case Qt::Key_Backspace:
      if (!mTypedRadius.isEmpty()) {
        mTypedRadius.chop(1);
      } else if (mPoints.size() == 1 && !mLegs.empty()) {
        // Back over the cusp into the leg before.
        mPoints = mLegs.back().Points;
        mReverse = mLegs.back().Reverse;
        mLegs.pop_back();
        if (mHover) Hover(mHoverPosition, mModifiers);
      } else if (!mPoints.empty()) {
        mPoints.pop_back();
        if (mHover) Hover(mHoverPosition, mModifiers);
      }
      ShowStatus();
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      if (mTypedRadius.isEmpty()) {
        Finish();
        return true;
      }
      const std::string typed = mTypedRadius.toStdString();
      std::optional<double> value = TryParseFieldNumber(typed, UserNumberSymbols());
      if (!value) value = TryParseFieldNumber(typed, NumberSymbols::PointDecimal());
      mTypedRadius.clear();
      if (!value || !SetRadius(*value)) {
        ShowStatus();
        Refuse(tr("'%1' is not a radius.").arg(QString::fromStdString(typed)));
      }
      return true;
    }
    case Qt::Key_R:
      SwitchDirection();
      return true;
    case Qt::Key_Escape:
      if (!mTypedRadius.isEmpty()) {
        mTypedRadius.clear();
        ShowStatus();
      } else {
        Cancel();
      }
      return true;
    default:
      return false;
  }
}

// The prompt is short enough for a narrow window; R is in its toolbar field.
void PathTool::ShowStatus() {
  QString text = tr("Path: click points; R reverses, Enter ends, Backspace takes one back, Esc cancels");
  if (mReverse || !mLegs.empty()) {
    text = tr("Leg %1 %2: click points; R reverses at the last point, Enter ends, Esc cancels")
               .arg(mLegs.size() + 1)
               .arg(mReverse ? tr("(reverse)") : tr("(forward)"));
  }
  if (!mTypedRadius.isEmpty()) text = tr("New R: %1_  (Enter takes it)").arg(mTypedRadius);
  mWindow.ShowPrompt(text);
}

void PathTool::Refuse(const QString& text) {
  mWindow.ShowPrompt(text);
  mWindow.ShowWarning(tr("Path"), text);
  mWindow.View()->setFocus(Qt::OtherFocusReason);
}

// One leg as it will be drawn: arcs where they fit, corners too tight for R
// left sharp and drawn red; forward legs blue, reverse legs orange.
void PathTool::PaintLeg(QPainter& painter, const std::vector<Point2D>& points, bool reverse) const {
  if (points.size() < 2) return;
  const DrawingView& view = *mWindow.View();
  ArcPathLayout layout;
  if (mRadius > 0) layout = LayOutArcPath(points, mRadius);
  std::vector<ArcPathVertex> vertices = layout.Vertices;
  if (vertices.empty())
    for (const Point2D& p : points) vertices.push_back({p.X, p.Y, 0});
  auto tight = [&](const ArcPathVertex& v) {
    for (const ArcPathCorner& corner : layout.Corners)
      if (corner.TooTight && corner.Point.X == v.X && corner.Point.Y == v.Y) return true;
    return false;
  };
  const QColor colour = reverse ? kReverseColour : kPreviewColour;
  for (std::size_t i = 0; i + 1 < vertices.size(); ++i) {
    const ArcPathVertex& a = vertices[i];
    const ArcPathVertex& b = vertices[i + 1];
    const bool red = tight(a) || tight(b);
    painter.setPen(QPen(red ? kTightColour : colour, red ? 3 : 2));
    painter.drawPolyline(CurveOnScreen(cad::BulgeCurve({a.X, a.Y}, {b.X, b.Y}, a.Bulge), view));
  }
  painter.setPen(QPen(kTightColour, 2));
  for (const ArcPathCorner& corner : layout.Corners)
    if (corner.TooTight) painter.drawEllipse(Screen(view, corner.Point), 9.0, 9.0);
}

// The manoeuvre as it will be drawn with the point under the pointer added,
// each cusp ringed.
void PathTool::Paint(QPainter& painter) const {
  if (!mActive) return;
  const DrawingView& view = *mWindow.View();
  for (const Leg& leg : mLegs) PaintLeg(painter, leg.Points, leg.Reverse);
  std::vector<Point2D> preview = mPoints;
  if (mHover) preview.push_back(*mHover);
  PaintLeg(painter, preview, mReverse);
  painter.setBrush(Qt::NoBrush);
  // Each cusp ringed, tied by a dotted line to where the next leg starts.
  for (std::size_t i = 0; i < mLegs.size(); ++i) {
    const Point2D& next = i + 1 < mLegs.size() ? mLegs[i + 1].Points.front() : mPoints.front();
    painter.setPen(QPen(kReverseColour, 2));
    painter.drawEllipse(Screen(view, mLegs[i].Points.back()), 7.0, 7.0);
    painter.setPen(QPen(kReverseColour, 1, Qt::DotLine));
    painter.drawLine(Screen(view, mLegs[i].Points.back()), Screen(view, next));
    painter.drawEllipse(Screen(view, next), 4.0, 4.0);
  }
  painter.setPen(QPen(kPreviewColour, 1));
  painter.setBrush(kPreviewColour);
  auto marks = [&](const std::vector<Point2D>& points) {
    for (const Point2D& p : points)
      painter.drawRect(QRectF(Screen(view, p) - QPointF(2, 2), QSizeF(4, 4)));
  };
  for (const Leg& leg : mLegs) marks(leg.Points);
  marks(mPoints);
  painter.setBrush(Qt::NoBrush);
  if (mSnap) PaintSnapMarker(painter, Screen(view, mSnap->At), mSnap->Kind);
}

}  // namespace veerline::ui
