#pragma once

#include <QList>
#include <optional>
#include <vector>

namespace veerline::paint {

// A linetype's dash pattern on the screen, as a one-pixel pen takes it: dash
// and gap lengths in pixels, alternating from a dash, and where in the
// pattern a line starts.
struct ScreenDashes {
  QList<qreal> Pattern;
  qreal Offset = 0;
};

// The pattern (drawing units: positive dashes, negative gaps, zero dots) at
// the view's scale; nothing when the line is drawn solid: a pattern without
// gaps, or one too fine to see, which a CAD program also shows continuous.
std::optional<ScreenDashes> DashesOnScreen(const std::vector<double>& pattern,
                                           double pixelsPerUnit);

}  // namespace veerline::paint
