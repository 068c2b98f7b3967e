#include "ui/ElidedLabel.h"

#include <QPainter>
#include <QStyle>

namespace veerline::ui {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  setTextFormat(Qt::PlainText);
}

void ElidedLabel::SetFullText(const QString& text) {
  setText(text);
  setToolTip(text);
}

QSize ElidedLabel::sizeHint() const { return QSize(40, QLabel::sizeHint().height()); }

QSize ElidedLabel::minimumSizeHint() const { return QSize(0, QLabel::minimumSizeHint().height()); }

void ElidedLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area = contentsRect();
  // Line breaks would not show on one line; they read as blanks.
  QString line = text();
  line.replace(QLatin1Char('\n'), QLatin1Char(' '));
  line.replace(QLatin1Char('\r'), QLatin1Char(' '));
  const QString shown = fontMetrics().elidedText(line, Qt::ElideRight, area.width());
  style()->drawItemText(&painter, area, Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(),
                        shown, foregroundRole());
}

}  // namespace veerline::ui
