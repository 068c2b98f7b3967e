#include "ui/RunDiagramBox.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "paint/DiagramReadout.h"
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

QImage RunDiagramBox::Render() const {
  return mKind == Kind::Turning ? paint::RenderTurningDiagram(mState, size())
                                : paint::RenderSpeedDiagram(mState, size(), mSpeedUnit);
}

QString RunDiagramBox::Readout(const QPoint& position) const {
  const NumberSymbols symbols = mSymbols();
  return mKind == Kind::Turning ? paint::TurningReadout(mState, position, size(), symbols)
                                : paint::SpeedReadout(mState, position, size(), symbols);
}

void RunDiagramBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (mKind == Kind::Turning) {
    paint::PaintTurningDiagram(painter, size(), mState);
  } else {
    paint::PaintSpeedDiagram(painter, size(), mState, mSpeedUnit);
  }
}

void RunDiagramBox::mouseMoveEvent(QMouseEvent* event) {
  const QString text = Readout(event->position().toPoint());
  setToolTip(text);
  if (isVisible()) QToolTip::showText(event->globalPosition().toPoint(), text, this);
}

void RunDiagramBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton && mPopup != nullptr)
    mPopup->popup(event->globalPosition().toPoint());
}

}  // namespace veerline::ui
