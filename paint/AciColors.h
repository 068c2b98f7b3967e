#pragma once

#include <QColor>

namespace veerline::paint {

// The screen colour of a CAD colour index 1 to 255. Index 7 is white on a dark
// background and black on a light one; indices outside 1 to 255 (by layer, by
// block, invalid) are drawn as index 7.
QColor AciColor(int index, bool darkBackground);

}  // namespace veerline::paint
