#pragma once

#include <stdexcept>
#include <string>

namespace veerline::cad {

// A drawing file that cannot be read or written; the message names the file
// and the problem.
class DxfError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace veerline::cad
