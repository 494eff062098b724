#include "host/services/number_formatter.h"

#include "runtime/conversions.h"
#include "runtime/errors.h"

#include <optional>

namespace host {

namespace {

std::optional<rt::Decimal> asExactNumber(const rt::Variant& v) {
    switch (v.type()) {
    case rt::VarType::Integer:
    case rt::VarType::Long:
    case rt::VarType::Decimal:
        return rt::CDec(v);
    case rt::VarType::Double:
        return rt::Decimal::fromDouble(v.asDouble()); // throws for NaN and out of range
    case rt::VarType::String:
        if (rt::Trim(v.asString()).isEmpty() || !rt::IsNumeric(v))
            return std::nullopt;
        return rt::CDec(v);
    default:
        return std::nullopt;
    }
}

} // namespace

void NumberFormatter::setNumber(const rt::Variant& v) {
    std::optional<rt::Decimal> number;
    try {
        number = asExactNumber(v);
    } catch (const rt::Error&) {
        number.reset();
    }
    check_ = number ? 0 : 1;
    text_ = number ? number->toString(u'.') : QString();
}

} // namespace host
