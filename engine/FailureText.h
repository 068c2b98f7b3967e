#pragma once

#include <string>

namespace veerline {

// The description of the failure being handled, as failure messages show it in
// front of their tag; call only inside a catch block.
std::string CurrentFailureDescription();

}  // namespace veerline
