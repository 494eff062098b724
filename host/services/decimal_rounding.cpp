#include "host/services/decimal_rounding.h"

#include <QString>
#include <algorithm>

namespace host {

namespace {

// The value cut after `decimals` digits (towards zero), whether the first digit cut is 5 or
// more (a half or above) and whether anything but zeros was cut.
struct Truncation {
    rt::Decimal kept;
    bool halfOrAbove = false;
    bool anyCut = false;
};

Truncation truncate(const rt::Decimal& value, int decimals) {
    const QString text = value.toString(u'.');
    const qsizetype point = text.indexOf(u'.');
    if (point < 0 || text.size() - point - 1 <= decimals)
        return {value, false, false};
    QString kept = text.left(point + 1 + decimals);
    if (kept.endsWith(u'.'))
        kept.chop(1);
    const QString cut = text.mid(point + 1 + decimals);
    Truncation t;
    const rt::Decimal parsed = rt::Decimal::parse(kept).value_or(rt::Decimal());
    t.kept = parsed.isZero() ? rt::Decimal() : parsed; // no "-0"
    t.halfOrAbove = cut.at(0) >= u'5';
    t.anyCut = std::any_of(cut.cbegin(), cut.cend(), [](QChar c) { return c != u'0'; });
    return t;
}

rt::Decimal unit(int decimals) {
    rt::Decimal u(1);
    for (int i = 0; i < decimals; ++i)
        u /= rt::Decimal(10);
    return u;
}

} // namespace

rt::Decimal roundHalfUp(const rt::Decimal& value, int decimals) {
    const Truncation t = truncate(value, decimals);
    if (!t.halfOrAbove)
        return t.kept;
    return value.isNegative() ? t.kept - unit(decimals) : t.kept + unit(decimals);
}

rt::Decimal floorDecimal(const rt::Decimal& value) {
    const Truncation t = truncate(value, 0);
    return value.isNegative() && t.anyCut ? t.kept - rt::Decimal(1) : t.kept;
}

} // namespace host
