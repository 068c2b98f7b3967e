#include "paint/DiagramReadout.h"

#include "engine/Rounding.h"
#include "paint/DiagramScale.h"

namespace veerline::paint {

namespace {

QString Number(double value, const NumberSymbols& symbols) {
  return QString::fromStdString(FormatFieldNumber(RoundHalfEven(value, 2), symbols));
}

// "Front Wheel Station: <x>" followed by the value caption and the value under the pointer.
QString Readout(const DiagramScale& scale, const QPoint& pos, const QSize& box,
                const char* valueCaption, const NumberSymbols& symbols) {
  const QPointF at = scale.ToDiagram(QPointF(pos), box);
  return QStringLiteral("Front Wheel Station: ") + Number(at.x(), symbols) +
         QLatin1String(valueCaption) + Number(at.y(), symbols);
}

}  // namespace

QString TurningReadout(const RunState& state, const QPoint& pos, const QSize& box,
                       const NumberSymbols& symbols) {
  return Readout(TurningDiagramScale(state), pos, box, "   Angle(%): ", symbols);
}

QString SpeedReadout(const RunState& state, const QPoint& pos, const QSize& box,
                     const NumberSymbols& symbols) {
  return Readout(SpeedDiagramScale(state), pos, box, "   Speed: ", symbols);
}

}  // namespace veerline::paint
