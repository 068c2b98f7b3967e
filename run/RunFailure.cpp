#include "run/RunFailure.h"

#include "cad/CadConnection.h"

namespace veerline {

void ReportRunFailure(RunHost& host, const cad::CadError& error) {
  if (!cad::IsCadUnreachable(error.Code())) {
    ReportRunFailure(host, error.Description());
    return;
  }
  host.RestoreMainWindow();
  host.ShowMessage(MessageKind::Warning, "Reading from drawing",
                   std::string("IntelliCAD is not running, or wrong version!") + kCR + kCR +
                       "If running on Vista or Windows 7, make sure to run IntelliCad as "
                       "administrator!");
}

void ReportRunFailure(RunHost& host, const std::string& description) {
  host.RestoreMainWindow();
  host.ShowMessage(MessageKind::Warning, kFailureTitle, description + " Execute sweep");
}

}  // namespace veerline
