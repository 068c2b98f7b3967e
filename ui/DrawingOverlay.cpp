#include "ui/DrawingOverlay.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "ui/DrawingView.h"

namespace veerline::ui {

DrawingOverlay::DrawingOverlay(DrawingView& view) : QWidget(&view) {
  setObjectName(QStringLiteral("DrawingOverlay"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  setGeometry(view.rect());
  view.installEventFilter(this);
  show();
}

void DrawingOverlay::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  for (const PaintStep& step : mSteps) step(painter);
}

bool DrawingOverlay::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parent() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
  return false;
}

QPolygonF CurveOnScreen(const cad::SnapCurve& curve, const DrawingView& view) {
  auto screen = [&](const Point2D& p) { return view.ToScreen(QPointF(p.X, p.Y)); };
  QPolygonF points;
  if (!curve.IsArc) return points << screen(curve.A) << screen(curve.B);
  const double lengthPixels = std::abs(curve.SweepRad) * curve.Radius * view.PixelsPerUnit();
  const int steps = std::clamp(static_cast<int>(lengthPixels / 4), 8, 512);
  for (int i = 0; i <= steps; ++i)
    points << screen(cad::CurvePointAt(curve, static_cast<double>(i) / steps));
  return points;
}

}  // namespace veerline::ui
