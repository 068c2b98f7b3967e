#include "ui/SummaryCall.h"

#include <string>

#include "engine/Summary.h"

namespace veerline::ui {

double AskSummary(int vehicleType, const VehicleFields& fields, RunHost& host) {
  std::string caption;
  const double total = SumSegments(vehicleType, fields, host, &caption);
  if (!caption.empty()) host.SetTotalLengthCaption(caption);
  return total;
}

}  // namespace veerline::ui
