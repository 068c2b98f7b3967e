#include "ui/DriveTool.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "cad/ManoeuvreLegs.h"
#include "cad/PathPolyline.h"
#include "cad/dxf/DrawingHistory.h"
#include "cad/geometry/ObstacleCollection.h"
#include "engine/NumberRule.h"
#include "ui/DrawingEditor.h"
#include "ui/DrawingOverlay.h"
#include "ui/DrawingView.h"
#include "ui/DrawingWindow.h"
#include "ui/PathTool.h"
#include "ui/UserLocale.h"

namespace veerline::ui {
namespace {

const QColor kPathColour(80, 200, 255);
const QColor kReverseColour(255, 150, 40);
const QColor kBadColour(255, 40, 40);
const QColor kLimitColour(230, 0, 230);
const QColor kSweptColour(80, 200, 255, 60);
const QColor kOutlineColour(255, 255, 255);
// The swept area is filled from every third station's outlines: 0.6 m apart
// they overlap along any body, and a third of them paint fast.
constexpr std::size_t kSweptStride = 3;

QPointF Screen(const DrawingView& view, const Point2D& p) {
  return view.ToScreen(QPointF(p.X, p.Y));
}

QPolygonF OutlineOnScreen(const DrawingView& view, const StationOutline& o) {
  QPolygonF polygon;
  for (const Point2D& p : o.Corners) polygon << Screen(view, p);
  return polygon;
}

bool WithinConflict(const std::vector<ObstacleClearance>& conflicts, double station) {
  for (const ObstacleClearance& c : conflicts)
    if (station >= c.FirstStation && station <= c.LastStation) return true;
  return false;
}

}  // namespace

DriveTool::DriveTool(DrawingWindow& window, DrawingEditor& editor)
    : mWindow(window), mEditor(editor) {
  DrawingView* view = window.View();
  connect(view, &DrawingView::clicked, this, &DriveTool::OnClicked);
  connect(view, &DrawingView::escapePressed, this, &DriveTool::Cancel);
  editor.Overlay().AddPaintStep([this](QPainter& painter) { Paint(painter); });
}

DriveTool::~DriveTool() {
  if (mActive) mWindow.View()->removeEventFilter(this);
}

// The vehicle and options as the next run reads them; nothing, and why,
// while a field the drive needs does not convert.
std::optional<DriveSetup> DriveTool::MakeSetup(QString& why) const {
  const cad::DrawingModel* drawing = mWindow.Drawing();
  if (!mInputsSource || drawing == nullptr) {
    why = tr("Drive needs the vehicle of the main window.");
    return std::nullopt;
  }
  const RunInputs inputs = mInputsSource();
  const NumberSymbols symbols = UserNumberSymbols();
  DriveSetup setup;
  VehicleRecord vehicle;
  try {
    vehicle = inputs.vehicle.ToRecord(symbols);
  } catch (const std::exception& error) {
    why = tr("The vehicle cannot be driven: %1").arg(QString::fromStdString(error.what()));
    return std::nullopt;
  }
  const std::optional<double> speed = TryParseFieldNumber(inputs.txt_Speed, symbols);
  if (!speed || *speed < 0) {
    why = tr("Type the design speed into the Speed field first.");
    return std::nullopt;
  }
  const double mpu = MetresPerUnit(inputs.pathUnit);
  setup.Vehicle = DriveVehicleOf(vehicle);
  setup.Settings.SpeedMetresPerSecond = SpeedToMetresPerSecond(*speed, inputs.speedUnit);
  setup.Settings.MetresPerUnit = mpu;
  setup.Chain.Units = BuildSegments(vehicle.Type, vehicle);
  setup.Chain.VehicleType = vehicle.Type;
  setup.Chain.MetresPerUnit = mpu;
  setup.Chain.Step = 0.2 / mpu;
  if (!inputs.obstacleLayers.empty() && !cad::MissingLayer(*drawing, inputs.obstacleLayers)) {
    setup.Obstacles = cad::CollectObstacles(*drawing, inputs.obstacleLayers, 0.001 / mpu);
    setup.Margin = TryParseFieldNumber(inputs.txt_ClearanceMargin, symbols).value_or(0);
  }
  // A trial layout tells whether the vehicle's own figures can make a path.
  const DrivePathLayout trial =
      LayOutDrivePath(std::vector<Point2D>{{0, 0}, {1, 0}}, setup.Vehicle, setup.Settings);
  if (!trial.Ok()) {
    why = tr("The vehicle cannot be driven: %1.").arg(QString::fromStdString(trial.Error));
    return std::nullopt;
  }
  return setup;
}

void DriveTool::Start() {
  if (mActive || mWindow.Drawing() == nullptr || mWindow.RunInProgress()) return;
  QString why;
  mSetup = MakeSetup(why);
  if (!mSetup) {
    Refuse(why);
    return;
  }
  mGuidedOffset = mGuidedOffsetSource ? mGuidedOffsetSource().value_or(0) : 0;
  mActive = true;
  mLegs.clear();
  NewLeg(false, std::nullopt);
  mWindow.View()->TakeFor(this);
  ShowStatus();
  emit activeChanged(true);
}

void DriveTool::NewLeg(bool reverse, std::optional<Point2D> start) {
  DriveSetup setup = *mSetup;
  // A reverse leg guides the last rear axle; its preview shows the path alone.
  if (reverse) setup.Chain.Units.clear();
  Leg leg{std::make_unique<DriveSession>(std::move(setup), mHost), reverse};
  if (start) leg.Session->Fix(*start);
  mLegs.push_back(std::move(leg));
  mHovered = nullptr;
  FixedChanged();
}

const std::vector<Point2D>& DriveTool::Points() const {
  static const std::vector<Point2D> kNone;
  return mLegs.empty() ? kNone : mLegs.back().Session->Points();
}

bool DriveTool::ReverseLeg() const { return !mLegs.empty() && mLegs.back().Reverse; }

void DriveTool::Cancel() {
  if (mActive) End();
}

void DriveTool::End() {
  mActive = false;
  mFinishOnClick = false;
  mLegs.clear();
  mHovered = nullptr;
  mPointer.reset();
  FixedChanged();
  mFixedPicture = QImage();
  mWindow.View()->ReleaseFrom(this);
  mWindow.ClearPrompt();
  mEditor.Overlay().update();
  emit activeChanged(false);
}

bool DriveTool::Finish() {
  if (!mActive) return false;
  cad::DrawingModel* drawing = mWindow.Drawing();
  if (drawing == nullptr) {
    End();
    return false;
  }
  std::vector<std::pair<DrivePathLayout, bool>> legs;
  for (const Leg& leg : mLegs) {
    if (leg.Session->Points().size() < 2) continue;
    DrivePathLayout layout = leg.Session->Layout();
    if (!layout.Ok()) {
      Refuse(tr("The path cannot be drawn: %1.").arg(QString::fromStdString(layout.Error)));
      return false;
    }
    legs.emplace_back(std::move(layout), leg.Reverse);
  }
  if (legs.empty()) {
    Refuse(tr("Click a start point and a direction first."));
    return false;
  }
  const cad::DrawingMark mark = cad::DrawingHistory::Mark(*drawing);
  const bool manoeuvre = legs.size() > 1 || legs.front().second;
  const std::string name = manoeuvre ? cad::NewManoeuvreName(*drawing) : std::string();
  std::vector<cad::DrawingEntity*> added;
  for (std::size_t i = 0; i < legs.size(); ++i) {
    ArcPathLayout layout;
    layout.Vertices = legs[i].first.Vertices;
    cad::DrawingEntity& path = cad::AddPathPolyline(*drawing, layout, kLayer);
    if (manoeuvre) cad::WriteLegTag(path, {name, static_cast<int>(i), legs[i].second});
    added.push_back(&path);
  }
  End();
  const std::string handle = added.front()->Handle();
  if (mRunner) {
    mEditor.AddThenRun(mark, "Drive", [&] { mRunner(handle); });
  } else {
    mEditor.RecordAdditions(manoeuvre ? "Draw manoeuvre" : "Draw path", mark);
    mEditor.Select(std::move(added));
  }
  return true;
}

bool DriveTool::SwitchDirection() {
  if (!mActive || mLegs.empty()) return false;
  const Leg& leg = mLegs.back();
  if (leg.Session->Points().size() < 2) {
    if (mLegs.size() == 1 && leg.Session->Points().empty()) {
      // Before the first point: the manoeuvre starts in reverse.
      mLegs.clear();
      NewLeg(!leg.Reverse, std::nullopt);
      ShowStatus();
      return true;
    }
    Refuse(tr("Click a point of this leg first; a leg needs a length."));
    return false;
  }
  const DrivePathLayout layout = leg.Session->Layout();
  if (!layout.Ok()) {
    Refuse(tr("The leg cannot be drawn: %1.").arg(QString::fromStdString(layout.Error)));
    return false;
  }
  const Point2D start = mGuidedOffset > 0 ? PointBackFromEnd(layout.Vertices, mGuidedOffset)
                                          : leg.Session->Points().back();
  NewLeg(!leg.Reverse, start);
  if (mPointer) Hover(mPointerPosition);
  ShowStatus();
  return true;
}

void DriveTool::Hover(const QPoint& position) {
  mPointerPosition = position;
  const QPointF world = mWindow.View()->ToWorld(QPointF(position));
  mPointer = Point2D{world.x(), world.y()};
  mHovered = mLegs.empty() ? nullptr : &mLegs.back().Session->Hover(*mPointer);
  mEditor.Overlay().update();
}

void DriveTool::OnClicked(QPoint position, Qt::MouseButton button) {
  if (!mActive) return;
  if (button == Qt::RightButton || mFinishOnClick) {
    mFinishOnClick = false;
    Finish();
    return;
  }
  const QPointF world = mWindow.View()->ToWorld(QPointF(position));
  if (const auto refused = mLegs.back().Session->Fix({world.x(), world.y()})) {
    mWindow.ShowPrompt(tr("Not there: %1.").arg(QString::fromStdString(*refused)));
    return;
  }
  FixedChanged();
  Hover(position);
  ShowStatus();
}

bool DriveTool::eventFilter(QObject* watched, QEvent* event) {
  if (!mActive || watched != mWindow.View()) return false;
  switch (event->type()) {
    case QEvent::MouseMove:
      Hover(static_cast<QMouseEvent*>(event)->position().toPoint());
      return false;
    case QEvent::MouseButtonDblClick:
      // The release that follows ends the drive; the click before fixed its last point.
      mFinishOnClick = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
      return false;
    case QEvent::KeyPress:
      return OnKey(static_cast<QKeyEvent*>(event)->key());
    default:
      return false;
  }
}

bool DriveTool::OnKey(int key) {
  switch (key) {
    case Qt::Key_Backspace: {
      DriveSession& session = *mLegs.back().Session;
      if (session.Points().size() <= 1 && mLegs.size() > 1) {
        mLegs.pop_back();  // back over the cusp into the leg before
      } else {
        session.TakeBack();
      }
      FixedChanged();
      if (mPointer) Hover(mPointerPosition);
      ShowStatus();
      return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Finish();
      return true;
    case Qt::Key_R:
      SwitchDirection();
      return true;
    case Qt::Key_Escape:
      Cancel();
      return true;
    default:
      return false;
  }
}

void DriveTool::ShowStatus() {
  const std::size_t points = Points().size();
  QString text = points == 0   ? tr("Drive: click the start point")
                 : points == 1 ? tr("Drive: click the direction")
                               : tr("Drive: click points; R reverses, Enter ends, Backspace takes "
                                    "one back, Esc cancels");
  if (mLegs.size() > 1 || ReverseLeg())
    text = tr("Leg %1 %2: click points; R reverses at the last point, Enter ends, Esc cancels")
               .arg(mLegs.size())
               .arg(ReverseLeg() ? tr("(reverse)") : tr("(forward)"));
  mWindow.ShowPrompt(text);
}

void DriveTool::Refuse(const QString& text) {
  mWindow.ShowPrompt(text);
  mWindow.ShowWarning(tr("Drive"), text);
  mWindow.View()->setFocus(Qt::OtherFocusReason);
}

// One stretch: its swept area, its path, and the outlines where it comes
// too near an obstacle or passes a limit.
void DriveTool::PaintStretch(QPainter& painter, const DriveStretch& stretch, bool reverse,
                             bool bad) const {
  const DrawingView& view = *mWindow.View();
  const std::vector<StationOutline>& outlines = stretch.Trace.Outlines;
  if (!outlines.empty()) {
    QPainterPath swept;
    swept.setFillRule(Qt::WindingFill);
    const std::size_t units = mSetup ? std::max<std::size_t>(1, mSetup->Chain.Units.size()) : 1;
    for (std::size_t i = 0; i < outlines.size(); ++i)
      if ((i / units) % kSweptStride == 0) swept.addPolygon(OutlineOnScreen(view, outlines[i]));
    painter.fillPath(swept, kSweptColour);
    const auto& trace = stretch.Trace;
    const std::optional<double> limit =
        trace.ArticulationStation ? trace.ArticulationStation : trace.SteeringStation;
    for (const StationOutline& o : outlines) {
      const bool conflict = WithinConflict(stretch.Conflicts, o.Station);
      const bool passed = limit && o.Station >= *limit;
      if (!conflict && !passed) continue;
      painter.setPen(QPen(passed ? kLimitColour : kBadColour, 1));
      painter.drawPolygon(OutlineOnScreen(view, o));
    }
  }
  const auto& v = stretch.Vertices;
  painter.setPen(QPen(bad ? kBadColour : reverse ? kReverseColour : kPathColour, bad ? 3 : 2));
  for (std::size_t i = 0; i + 1 < v.size(); ++i)
    painter.drawPolyline(CurveOnScreen(
        cad::BulgeCurve({v[i].X, v[i].Y}, {v[i + 1].X, v[i + 1].Y}, v[i].Bulge), view));
}

void DriveTool::PaintFixed(QPainter& painter) const {
  const DrawingView& view = *mWindow.View();
  const QSize size = view.size();
  const qreal ratio = painter.device()->devicePixelRatioF();
  const PictureKey key{mFixedGeneration, view.ToScreen({0, 0}), view.ToScreen({1, 0}), size};
  if (mFixedPicture.isNull() || !(key == mFixedKey) || mFixedPicture.devicePixelRatio() != ratio) {
    mFixedKey = key;
    mFixedPicture = QImage(size * ratio, QImage::Format_ARGB32_Premultiplied);
    mFixedPicture.setDevicePixelRatio(ratio);
    mFixedPicture.fill(Qt::transparent);
    QPainter picture(&mFixedPicture);
    picture.setRenderHints(painter.renderHints());
    picture.setBrush(Qt::NoBrush);
    for (const Leg& leg : mLegs) {
      for (const DriveStretch& stretch : leg.Session->Fixed())
        PaintStretch(picture, stretch, leg.Reverse, false);
      picture.setPen(QPen(kPathColour, 1));
      for (const Point2D& p : leg.Session->Points())
        picture.drawRect(QRectF(Screen(view, p) - QPointF(2, 2), QSizeF(4, 4)));
    }
  }
  painter.drawImage(QPoint(0, 0), mFixedPicture);
}

void DriveTool::Paint(QPainter& painter) const {
  if (!mActive) return;
  const DrawingView& view = *mWindow.View();
  PaintFixed(painter);
  painter.setBrush(Qt::NoBrush);
  if (mHovered == nullptr) return;
  const bool bad = !mHovered->Error.empty();
  PaintStretch(painter, mHovered->Stretch, ReverseLeg(), bad);
  // Straight to the pointer where the corner cannot be driven.
  const std::vector<Point2D>& points = Points();
  if (bad && mPointer && !points.empty()) {
    painter.setPen(QPen(kBadColour, 2, Qt::DashLine));
    painter.drawLine(Screen(view, points.back()), Screen(view, *mPointer));
  }
  // The vehicle where the pointer is: the last station's outline of every unit.
  const std::vector<StationOutline>& outlines = mHovered->Stretch.Trace.Outlines;
  if (!outlines.empty()) {
    const double last = outlines.back().Station;
    painter.setPen(QPen(kOutlineColour, 2));
    for (auto it = outlines.rbegin(); it != outlines.rend() && it->Station == last; ++it)
      painter.drawPolygon(OutlineOnScreen(view, *it));
  }
}

}  // namespace veerline::ui
