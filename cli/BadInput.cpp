#include "cli/BadInput.h"

#include <iostream>

#include "cad/dxf/DxfError.h"
#include "cli/VehicleChoice.h"

namespace veerline::cli {

int ExitTwoOnBadInput(const Action& command) {
  try {
    return command();
  } catch (const BadInput& e) {
    std::cerr << "veerline-cli: " << e.what() << "\n";
  } catch (const VehicleChoiceError& e) {
    std::cerr << "veerline-cli: " << e.what() << "\n";
  } catch (const cad::DxfError& e) {
    std::cerr << "veerline-cli: " << e.what() << "\n";
  }
  return kExitBadInput;
}

}  // namespace veerline::cli
