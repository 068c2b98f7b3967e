#include "cli/BadInput.h"

#include <iostream>

#include "cad/dxf/DxfError.h"
#include "cli/VehicleChoice.h"

namespace veerline::cli {

int ExitTwoOnBadInput(const Action& command) { return ExitTwoOnBadInput(command, std::cerr); }

int ExitTwoOnBadInput(const Action& command, std::ostream& err) {
  try {
    return command();
  } catch (const BadInput& e) {
    err << "veerline-cli: " << e.what() << "\n";
  } catch (const VehicleChoiceError& e) {
    err << "veerline-cli: " << e.what() << "\n";
  } catch (const cad::DxfError& e) {
    err << "veerline-cli: " << e.what() << "\n";
  }
  return kExitBadInput;
}

}  // namespace veerline::cli
