#include "ui/RunDiagramBox.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "paint/DiagramReadout.h"
#include "paint/DiagramScale.h"
#include "paint/RunDiagrams.h"

namespace veerline::ui {

RunDiagramBox::RunDiagramBox(Kind kind, const RunState& state, QWidget* parent)
    : QWidget(parent), mKind(kind), mState(state) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(120, 80);
  mSymbols = [] { return NumberSymbols::PointDecimal(); };
}

void RunDiagramBox::SetSpeedUnit(SpeedUnit unit) {
  mSpeedUnit = unit;
  update();
}

void RunDiagramBox::SetRun(const DiagramRun& run) {
  mRun = run;
  update();
}

void RunDiagramBox::ClearRun() {
  mRun = DiagramRun();
  mCursorStation.reset();
  update();
}

QStringList RunDiagramBox::Legend() const {
  const QStringList legend = TurningLegend(mRun.vehicleType);
  if (!legend.isEmpty()) return legend;
  return {QStringLiteral(" Truck"), QStringLiteral(" Segment #1"), QStringLiteral(" Segment #2"),
          QStringLiteral(" Segment #3")};
}

void RunDiagramBox::PaintDiagram(QPainter& painter) const {
  paint::DiagramStyle style;
  if (mKind == Kind::Turning) {
    style.legend = TurningLegend(mRun.vehicleType);
    paint::PaintTurningDiagram(painter, size(), mState, style);
  } else {
    paint::PaintSpeedDiagram(painter, size(), mState, mSpeedUnit, style);
  }
  if (mState.steeringTrack.empty()) return;
  PaintStationAxis(painter, size(), paint::DiagramStationExtent(mState),
                   PathUnitSymbol(mRun.pathUnit), style.font);
  PaintVehicleName(painter, size(), mRun.vehicleName, style.font);
}

QImage RunDiagramBox::Render() const {
  if (width() <= 0 || height() <= 0) return {};
  QImage image(size(), QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  PaintDiagram(painter);
  return image;
}

QString RunDiagramBox::Readout(const QPoint& position) const {
  const NumberSymbols symbols = mSymbols();
  return mKind == Kind::Turning ? paint::TurningReadout(mState, position, size(), symbols)
                                : paint::SpeedReadout(mState, position, size(), symbols);
}

std::vector<CursorReading> RunDiagramBox::Readings(double station) const {
  const NumberSymbols symbols = mSymbols();
  if (mKind == Kind::Turning) return TurningReadings(mState, mRun, station, symbols);
  return {SpeedReading(mState, station, mSpeedUnit, symbols)};
}

void RunDiagramBox::ShowCursorAt(std::optional<double> station) {
  mCursorStation = station;
  update();
}

QStringList RunDiagramBox::CursorTexts() const {
  if (!mCursorStation) return {};
  QStringList texts{StationText(*mCursorStation, mRun, mSymbols())};
  for (const CursorReading& reading : Readings(*mCursorStation)) texts << reading.value;
  return texts;
}

void RunDiagramBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintDiagram(painter);
  if (!mCursorStation) return;
  const paint::DiagramScale scale = mKind == Kind::Turning ? paint::TurningDiagramScale(mState)
                                                           : paint::SpeedDiagramScale(mState);
  const int x = static_cast<int>(std::lround(scale.ToPixel(*mCursorStation, 0, size()).x()));
  PaintCursor(painter, size(), x, StationText(*mCursorStation, mRun, mSymbols()),
              mKind == Kind::Turning ? Legend() : QStringList(), Readings(*mCursorStation),
              paint::DiagramStyle().font);
}

void RunDiagramBox::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const QString text = Readout(at);
  setToolTip(text);
  if (isVisible()) QToolTip::showText(event->globalPosition().toPoint(), text, this);
  // The cursor follows the pointer's station over a run's stations only.
  if (!mState.steeringTrack.empty()) {
    const paint::DiagramScale scale = paint::TurningDiagramScale(mState);
    mCursorStation = std::clamp(scale.ToDiagram(QPointF(at), size()).x(), 0.0, scale.width);
    update();
  }
}

void RunDiagramBox::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  mCursorStation.reset();
  update();
}

void RunDiagramBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton && mPopup != nullptr)
    mPopup->popup(event->globalPosition().toPoint());
}

}  // namespace veerline::ui
