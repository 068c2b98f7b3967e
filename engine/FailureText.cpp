#include "engine/FailureText.h"

#include <exception>

#include "engine/NumberRule.h"

namespace veerline {

std::string CurrentFailureDescription() {
  try {
    throw;
  } catch (const ConversionError& e) {
    return e.description;
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "Unknown error";
  }
}

}  // namespace veerline
