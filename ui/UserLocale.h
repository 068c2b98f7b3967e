#pragma once

#include <QString>

#include "engine/NumberRule.h"

namespace veerline::ui {

// Decimal and grouping symbols of the user's locale (QLocale's default), which
// every field of the windows is read and written with.
NumberSymbols UserNumberSymbols();

// The user's decimal separator as text; empty when the locale has none.
QString UserDecimalSeparator();

// Field text <-> number with the user's symbols.
QString FormatUserNumber(double value);

}  // namespace veerline::ui
