#pragma once

#include <QLabel>

namespace veerline::ui {

// A one-line label that never asks for more room than it is given: a text
// too long for its width is cut with an ellipsis, and the whole text is its
// tooltip. A status line with a long message therefore never widens the
// window past the screen.
class ElidedLabel : public QLabel {
  Q_OBJECT

 public:
  explicit ElidedLabel(QWidget* parent = nullptr);

  // Shows the text, cut to the width where needed, with the whole as tooltip.
  void SetFullText(const QString& text);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace veerline::ui
