#include "ui/SummaryCall.h"

#if __has_include("engine/Summary.h")
#include "engine/Summary.h"
#define VEERLINE_HAS_SUMMARY 1
#endif

namespace veerline::ui {

double AskSummary(int vehicleType, const VehicleFields& fields, Host& host) {
#ifdef VEERLINE_HAS_SUMMARY
  return SumSegments(vehicleType, fields, host);
#else
  (void)vehicleType;
  (void)fields;
  (void)host;
  return 0;
#endif
}

}  // namespace veerline::ui
