#pragma once
// The formulas that derive a sales price from its base purchase price: mark-up on cost, margin
// on the selling price, VAT taken out or put in. Plain functions of values; the recalculation
// pass (recalculation.cpp) decides which one applies to a row and where the result goes.
//
// Mark-up and margin work on exact decimals. The VAT steps exist in two forms because the
// pass works on a double-precision working price for lists with a default mark-up and on the
// price column's exact decimal for the others; both give the same price to the column's six
// decimals.

#include "runtime/decimal.h"

#include <cstdint>
#include <optional>

namespace pricing {

// Mark-up on cost: base + base x (pct / 100). Purchase net 100, 25 % -> 125.
rt::Decimal markupOnCost(const rt::Decimal& base, const rt::Decimal& pct);

// Margin on the selling price: base x 100 / (100 - pct). Purchase net 100, 25 % -> 133.33...
// A margin of 100 % or more has no selling price (it would be infinite or negative): nullopt.
std::optional<rt::Decimal> marginOnPrice(const rt::Decimal& base, const rt::Decimal& pct);

// The price of a mark-up percentage by the host's method: 0 = on cost, other = margin.
std::optional<rt::Decimal> priceByMarkup(const rt::Decimal& base, const rt::Decimal& pct,
                                         bool marginMethod);

// VAT taken out of a price that includes it: price / (v + 100) x 100. 122 at 22 % -> 100.
double removeVat(double price, std::int16_t vatPercent);
rt::Decimal removeVat(const rt::Decimal& price, std::int16_t vatPercent);

// VAT put into a price without it: price + price x (v / 100). 125 at 22 % -> 152.5.
double addVat(double price, std::int16_t vatPercent);
rt::Decimal addVat(const rt::Decimal& price, std::int16_t vatPercent);

// How a list's prices stand towards VAT, from the two lists' "prices include VAT" flags.
enum class VatStep { None, Remove, Add };
VatStep vatStepBetween(const rt::Decimal& purchaseIncludesVat, const rt::Decimal& salesIncludesVat);

} // namespace pricing
