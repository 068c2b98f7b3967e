#pragma once

#include <string>

namespace veerline::cad {

// A complete empty R2000 drawing: header, the standard tables (layer "0",
// the Continuous linetype, the Standard text and dimension styles), model
// and paper space, the root dictionary. A new drawing starts from it.
std::string NewDrawingText();

}  // namespace veerline::cad
