#pragma once

#include <QPoint>
#include <QSize>
#include <QString>

#include "engine/NumberRule.h"
#include "engine/RunState.h"

namespace veerline::paint {

// Tooltip text for the pointer at a pixel position over the "Turning Report"
// box of the given size: station and angle in percent, both to 2 decimals.
QString TurningReadout(const RunState& state, const QPoint& pos, const QSize& box,
                       const NumberSymbols& symbols);

// Tooltip text for the pointer over the "Lock to lock Report" box: station and
// speed, both to 2 decimals.
QString SpeedReadout(const RunState& state, const QPoint& pos, const QSize& box,
                     const NumberSymbols& symbols);

}  // namespace veerline::paint
