#pragma once

#include <QString>

#include "engine/VehicleModel.h"

namespace veerline::ui {

// The message that refuses a run for a field at fault, naming the field as
// the run's own checks do: "Bad value for Wheel Base (WB)! ...".
QString FieldFaultMessage(Dimension field, FieldFault fault, const QString& text,
                          const QString& decimalSeparator);

// The tooltip of a field marked at fault.
QString FieldFaultTip(FieldFault fault, const QString& decimalSeparator);

}  // namespace veerline::ui
