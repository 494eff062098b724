// Proposed validity dates of a price list (see validity_dates.h).
#include "form/validity_dates.h"

#include "runtime/conversions.h"

#include <cmath>

namespace validity {

namespace {

enum Indicator : int {
    TypedInHeader = 0,
    CurrentMonth = 1,
    CurrentYear = 2,
    OpenEnded = 3,
    FixedDate = 4,
};

// The last day of the open-ended proposal.
const QDate OpenEndedLastDay(2099, 12, 31);

QString typedOrToday(const std::optional<QString>& sideHeader, const QDate& today) {
    if (!sideHeader.has_value())
        return {};
    return sideHeader->isEmpty() ? shortDate(today) : *sideHeader;
}

// The fixed date goes through the run time's date conversion and back to text.
QString fixedDateText(const rt::Variant& fixedDate) {
    return rt::CStr(rt::Variant(rt::CDate(fixedDate)));
}

QDate firstOfMonth(const QDate& today) {
    return QDate(today.year(), today.month(), 1);
}

} // namespace

int proposalIndicator(const rt::Variant& indicator) {
    if (indicator.isEmpty())
        return TypedInHeader;
    if (indicator.isNull() || !rt::IsNumeric(indicator))
        return -1;
    const double value = rt::CDbl(indicator);
    if (value != std::floor(value) || value < double{TypedInHeader} || value > double{FixedDate})
        return -1;
    return static_cast<int>(value);
}

QString shortDate(const QDate& day) {
    return rt::CStr(rt::Variant(day));
}

QString proposedStartDate(int indicator, const std::optional<QString>& sideHeader,
                          const rt::Variant& fixedDate, const QDate& today) {
    switch (indicator) {
    case TypedInHeader:
        return typedOrToday(sideHeader, today);
    case CurrentMonth:
        return shortDate(firstOfMonth(today));
    case CurrentYear:
        return shortDate(QDate(today.year(), 1, 1));
    case OpenEnded:
        return shortDate(today);
    case FixedDate:
        return fixedDateText(fixedDate);
    default:
        return {};
    }
}

QString proposedEndDate(int indicator, const std::optional<QString>& sideHeader,
                        const rt::Variant& fixedDate, const QDate& today) {
    switch (indicator) {
    case TypedInHeader:
        return typedOrToday(sideHeader, today);
    case CurrentMonth:
        return shortDate(firstOfMonth(today).addMonths(1).addDays(-1));
    case CurrentYear:
        return shortDate(QDate(today.year(), 12, 31));
    case OpenEnded:
        return shortDate(OpenEndedLastDay);
    case FixedDate:
        return fixedDateText(fixedDate);
    default:
        return {};
    }
}

} // namespace validity
