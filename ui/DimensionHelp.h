#pragma once

// What each dimension field of the vehicle editor measures, for the vehicle
// type shown: from which point, in which direction, and what a negative value
// means. Worked out from the segment chain the run builds for the type, so the
// words follow the signs the run applies.

#include <QString>
#include <array>

class QLabel;
class QLineEdit;

#include "engine/VehicleModel.h"

namespace veerline::ui {

// One or two sentences; empty when the type does not use the field.
QString DimensionHelp(int typeCode, Dimension dimension);
// Every length the type uses, one line each, from the front of the vehicle back.
QString DimensionLegend(int typeCode);

// Gives every caption and field of the editor its help as tooltip (none where
// the type does not use it), and the illustration the whole legend.
void ShowDimensionHelp(int typeCode, const std::array<QLabel*, 16>& captions,
                       const std::array<QLineEdit*, kDimensionCount>& fields, QLabel* picture);

}  // namespace veerline::ui
