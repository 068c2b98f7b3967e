#include "paint/RunDiagrams.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLineF>
#include <QPen>
#include <cmath>
#include <initializer_list>

#include "paint/DiagramScale.h"
#include "paint/SegmentClip.h"

namespace veerline::paint {

namespace {

const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);
const QColor kWhite(255, 255, 255);

// Line-wise text output on a diagram: each printed line starts at the current
// position and moves it to the start of the next text line.
class TextCursor {
 public:
  TextCursor(QPainter& painter, const DiagramScale& scale, const QSize& box)
      : mPainter(painter), mScale(scale), mBox(box) {
    if (mCanDrawText) {
      const QFontMetricsF metrics(painter.font());
      mAscent = metrics.ascent();
      mLineHeight = metrics.height();
    }
  }

  // Moves the text position to diagram coordinates (x, y): the top left of the next line.
  void MoveTo(double x, double y) { mAt = mScale.ToPixel(x, y, mBox); }

  // Prints one line in the given colour. Without a QGuiApplication there are no
  // fonts; the line is then only skipped over.
  void Print(const QString& text, const QColor& colour) {
    if (mCanDrawText) {
      mPainter.setPen(QPen(colour, 1));
      mPainter.drawText(QPointF(mAt.x(), mAt.y() + mAscent), text);
    }
    mAt = QPointF(mScale.ToPixel(mScale.left, 0, mBox).x(), mAt.y() + mLineHeight);
  }

 private:
  QPainter& mPainter;
  DiagramScale mScale;
  QSize mBox;
  bool mCanDrawText = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
  double mAscent = 10;
  double mLineHeight = 13;
  QPointF mAt;
};

// Clears the box to the background and sets up the label font.
void BeginDiagram(QPainter& painter, const QSize& box, const DiagramStyle& style) {
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillRect(QRect(QPoint(0, 0), box), style.background);
  painter.setFont(style.font);
}

// Draws a track as line segments from each row to the next. A row whose value
// failed to compute leaves a gap instead of a drop to zero.
void DrawTrack(QPainter& painter, const QSize& box, const DiagramScale& scale, const Track& track,
               const QColor& colour) {
  painter.setPen(QPen(colour, 1, Qt::SolidLine));
  const QRectF visible(-2, -2, box.width() + 4, box.height() + 4);
  for (std::size_t i = 0; i + 1 < track.size(); ++i) {
    const TrackRow& a = track[i];
    const TrackRow& b = track[i + 1];
    if (!a.Value || !b.Value) continue;
    const QLineF line(scale.ToPixel(a.Distance, *a.Value, box),
                      scale.ToPixel(b.Distance, *b.Value, box));
    if (auto clipped = ClipSegment(line, visible)) painter.drawLine(*clipped);
  }
}

// White dotted horizontal grid lines across the full width at the given values.
void DrawGrid(QPainter& painter, const QSize& box, const DiagramScale& scale,
              std::initializer_list<double> values) {
  painter.setPen(QPen(kWhite, 1, Qt::DotLine));
  for (double y : values) {
    painter.drawLine(scale.ToPixel(0, y, box), scale.ToPixel(scale.width, y, box));
  }
}

// A dashed cyan line across the box where each leg after the first starts
// (the cusps of a manoeuvre), marked "R" before a reverse leg and "F" before a forward one.
void DrawCusps(QPainter& painter, const QSize& box, const DiagramScale& scale,
               const RunState& state) {
  if (state.legs.size() < 2) return;
  painter.setPen(QPen(QColor(0, 255, 255), 1, Qt::DashLine));
  for (std::size_t j = 1; j < state.legs.size(); ++j) {
    const double d = static_cast<double>(state.legs[j].firstStation) * state.calculationStep;
    const QPointF top = scale.ToPixel(d, scale.top, box);
    painter.drawLine(top, scale.ToPixel(d, scale.top + scale.height, box));
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
      painter.drawText(top + QPointF(3, 12),
                       state.legs[j].reverse ? QStringLiteral("R") : QStringLiteral("F"));
  }
}

QImage NewDiagramImage(const QSize& box) {
  if (box.width() <= 0 || box.height() <= 0) return {};
  QImage image(box, QImage::Format_RGB32);
  image.fill(Qt::black);
  return image;
}

}  // namespace

QFont DiagramStyle::DefaultDiagramFont() {
  QFont font = QGuiApplication::instance() ? QGuiApplication::font() : QFont();
  font.setPointSizeF(8.25);
  return font;
}

QString SpeedUnitSuffix(SpeedUnit unit) {
  switch (unit) {
    case SpeedUnit::MilesPerHour:
      return QStringLiteral(" mph");
    case SpeedUnit::MetresPerSecond:
      return QStringLiteral(" m/s");
    default:
      return QStringLiteral(" km/h");
  }
}

void PaintTurningDiagram(QPainter& painter, const QSize& box, const RunState& state,
                         const DiagramStyle& style) {
  painter.save();
  BeginDiagram(painter, box, style);
  const DiagramScale scale = TurningDiagramScale(state);
  DrawTrack(painter, box, scale, state.steeringTrack, kRed);
  DrawTrack(painter, box, scale, state.articulationTrack1, kYellow);
  DrawTrack(painter, box, scale, state.articulationTrack2, kGreen);
  DrawTrack(painter, box, scale, state.articulationTrack3, kBlue);
  DrawGrid(painter, box, scale, {0, 50, -50});
  DrawCusps(painter, box, scale, state);

  TextCursor text(painter, scale, box);
  text.MoveTo(0, 6);
  text.Print(QStringLiteral("0%"), kWhite);
  text.MoveTo(0, 57);
  text.Print(QStringLiteral("50%"), kWhite);
  text.MoveTo(0, -43);
  text.Print(QStringLiteral("-50%"), kWhite);
  text.MoveTo(0, 100);
  text.Print(QStringLiteral("100%"), kWhite);
  // The legend follows line by line under the top label.
  text.Print(QStringLiteral(" "), kWhite);
  const QStringList legend =
      style.legend.isEmpty() ? QStringList{QStringLiteral(" Truck"), QStringLiteral(" Segment #1"),
                                           QStringLiteral(" Segment #2"),
                                           QStringLiteral(" Segment #3")}
                             : style.legend;
  const QColor colours[] = {kRed, kYellow, kGreen, kBlue};
  for (int i = 0; i < legend.size() && i < 4; ++i) text.Print(legend[i], colours[i]);
  text.MoveTo(0, -92);
  text.Print(QStringLiteral("-100%"), kWhite);
  painter.restore();
}

void PaintSpeedDiagram(QPainter& painter, const QSize& box, const RunState& state, SpeedUnit unit,
                       const DiagramStyle& style) {
  painter.save();
  BeginDiagram(painter, box, style);
  const DiagramScale scale = SpeedDiagramScale(state);
  DrawTrack(painter, box, scale, state.speedTrack, kRed);
  // The labels carry the unit only when at least one curve segment was drawn.
  const QString suffix = state.speedTrack.size() >= 2 ? SpeedUnitSuffix(unit) : QString();
  DrawGrid(painter, box, scale, {30, 0, 20, 10});
  DrawCusps(painter, box, scale, state);

  TextCursor text(painter, scale, box);
  text.MoveTo(0, 2);
  text.Print(QStringLiteral(" 0 ") + suffix, kWhite);
  text.MoveTo(0, 32);
  text.Print(QStringLiteral(" 30 ") + suffix + QStringLiteral(" or more"), kWhite);
  text.MoveTo(0, 12);
  text.Print(QStringLiteral(" 10 ") + suffix, kWhite);
  text.MoveTo(0, 22);
  text.Print(QStringLiteral(" 20 ") + suffix, kWhite);
  painter.restore();
}

QImage RenderTurningDiagram(const RunState& state, const QSize& box, const DiagramStyle& style) {
  QImage image = NewDiagramImage(box);
  if (image.isNull()) return image;
  QPainter painter(&image);
  PaintTurningDiagram(painter, box, state, style);
  return image;
}

QImage RenderSpeedDiagram(const RunState& state, const QSize& box, SpeedUnit unit,
                          const DiagramStyle& style) {
  QImage image = NewDiagramImage(box);
  if (image.isNull()) return image;
  QPainter painter(&image);
  PaintSpeedDiagram(painter, box, state, unit, style);
  return image;
}

}  // namespace veerline::paint
