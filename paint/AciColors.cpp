#include "paint/AciColors.h"

#include <cstdlib>

namespace veerline::paint {

namespace {

// Indices 10 to 249 run through 24 hues, 15 degrees apart; within each group of
// ten, pairs of full and half saturation at falling brightness.
QColor HueTableColor(int index) {
  static constexpr int kValues[5] = {255, 165, 127, 76, 38};
  const int group = (index - 10) / 10;
  const int step = (index - 10) % 10;
  const int saturation = (step % 2 == 0) ? 255 : 128;
  return QColor::fromHsv(group * 15, saturation, kValues[step / 2]).toRgb();
}

}  // namespace

QColor AciColor(int index, bool darkBackground) {
  switch (index) {
    case 1:
      return {255, 0, 0};
    case 2:
      return {255, 255, 0};
    case 3:
      return {0, 255, 0};
    case 4:
      return {0, 255, 255};
    case 5:
      return {0, 0, 255};
    case 6:
      return {255, 0, 255};
    case 8:
      return {128, 128, 128};
    case 9:
      return {192, 192, 192};
    default:
      break;
  }
  if (index >= 10 && index <= 249) return HueTableColor(index);
  if (index >= 250 && index <= 255) {
    static constexpr int kGreys[6] = {51, 91, 132, 173, 214, 255};
    const int grey = kGreys[index - 250];
    return {grey, grey, grey};
  }
  return darkBackground ? QColor(255, 255, 255) : QColor(0, 0, 0);
}

QColor DrawingBackground(bool darkBackground) {
  return darkBackground ? QColor(0, 0, 0) : QColor(255, 255, 255);
}

QRgb VisibleOn(QRgb colour, bool darkBackground) {
  // Within this much of the background on every channel, a line does not show.
  constexpr int kUnseen = 16;
  const int background = darkBackground ? 0 : 255;
  const bool unseen = std::abs(qRed(colour) - background) < kUnseen &&
                      std::abs(qGreen(colour) - background) < kUnseen &&
                      std::abs(qBlue(colour) - background) < kUnseen;
  if (!unseen) return colour;
  return darkBackground ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
}

}  // namespace veerline::paint
