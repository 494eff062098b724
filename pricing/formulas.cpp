#include "pricing/formulas.h"

namespace pricing {

namespace {
const rt::Decimal Hundred(100);
} // namespace

rt::Decimal markupOnCost(const rt::Decimal& base, const rt::Decimal& pct) {
    return base + base * (pct / Hundred);
}

std::optional<rt::Decimal> marginOnPrice(const rt::Decimal& base, const rt::Decimal& pct) {
    if (pct >= Hundred)
        return std::nullopt;
    return base * Hundred / (Hundred - pct);
}

std::optional<rt::Decimal> priceByMarkup(const rt::Decimal& base, const rt::Decimal& pct,
                                         bool marginMethod) {
    if (marginMethod)
        return marginOnPrice(base, pct);
    return markupOnCost(base, pct);
}

double removeVat(double price, std::int16_t vatPercent) {
    // The divisor is a whole number of percent points, as the VAT code keeps it.
    const auto divisor = static_cast<std::int16_t>(vatPercent + 100);
    return price / divisor * 100;
}

rt::Decimal removeVat(const rt::Decimal& price, std::int16_t vatPercent) {
    const auto divisor = static_cast<std::int16_t>(vatPercent + 100);
    return price / rt::Decimal(int(divisor)) * Hundred;
}

double addVat(double price, std::int16_t vatPercent) {
    return price + price * (vatPercent / 100.0);
}

rt::Decimal addVat(const rt::Decimal& price, std::int16_t vatPercent) {
    return price + price * rt::Decimal::fromDouble(vatPercent / 100.0);
}

VatStep vatStepBetween(const rt::Decimal& purchaseIncludesVat,
                       const rt::Decimal& salesIncludesVat) {
    const rt::Decimal one(1);
    const rt::Decimal zero(0);
    if (purchaseIncludesVat == one && salesIncludesVat == zero)
        return VatStep::Remove;
    if (purchaseIncludesVat == zero && salesIncludesVat == one)
        return VatStep::Add;
    return VatStep::None;
}

} // namespace pricing
