#pragma once
// Rounding of exact decimals the way prices are rounded in trade: halves away from zero
// (12.3455 -> 12.346), unlike the run time's own rounding, which sends halves to even.

#include "runtime/decimal.h"

namespace host {

// Rounded to the given number of decimals (0..28), halves away from zero.
rt::Decimal roundHalfUp(const rt::Decimal& value, int decimals);
// The largest integer not above the value.
rt::Decimal floorDecimal(const rt::Decimal& value);

} // namespace host
