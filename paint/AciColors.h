#pragma once

#include <QColor>

namespace veerline::paint {

// The screen colour of a CAD colour index 1 to 255. Index 7 is white on a dark
// background and black on a light one; indices outside 1 to 255 (by layer, by
// block, invalid) are drawn as index 7.
QColor AciColor(int index, bool darkBackground);

// The background drawings are painted on: black or white.
QColor DrawingBackground(bool darkBackground);
// A colour so close to the background that it would vanish (a true-colour
// white on white, near black on black) is drawn in the background's ink
// instead, as colour 7 is; any other colour is drawn as it is.
QRgb VisibleOn(QRgb colour, bool darkBackground);

}  // namespace veerline::paint
