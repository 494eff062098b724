#include "storage/form_utilities.h"

#include "runtime/conversions.h"
#include "runtime/errors.h"

bool IsBlank(const rt::Variant& value) {
    return value.isEmpty() || value.isNull() ||
           (value.type() == rt::VarType::String && value.asString().isEmpty());
}

QString NzStr(const rt::Variant& value) {
    if (IsBlank(value))
        return QString();
    return rt::RTrim(rt::CStr(value));
}

// Numbers become text without thousands separators, so only the decimal "," is replaced.
static QString numberForSql(const rt::Variant& value) {
    return rt::CStr(value).replace(u',', u'.');
}

QString SqlStr(const rt::Variant& value, const rt::Variant& /*unused*/) {
    if (IsBlank(value))
        return QStringLiteral("NULL");
    if (rt::IsNumeric(value))
        return numberForSql(value);
    return rt::RTrim(rt::CStr(value));
}

QString FmtNum3(const rt::Variant& value) {
    if (!rt::IsNumeric(value))
        return QString();
    rt::Decimal number = rt::CDec(value).rounded(3);
    if (number > rt::Decimal(1000))
        number /= rt::Decimal(1000);
    return number.toString(u'.');
}

rt::Variant NzDec(const rt::Variant& value) {
    if (IsBlank(value))
        return rt::Variant(std::int16_t{0});
    return rt::Variant(rt::CDec(value));
}

QString SqlNum(const rt::Variant& value) {
    if (IsBlank(value))
        return QStringLiteral("NULL");
    if (rt::IsNumeric(value))
        return numberForSql(value);
    return rt::CDec(value).toString(u'.');
}

QString DataSql(const rt::Variant& value) {
    try {
        // A date value needs no round through its text (the loads write many).
        const bool isDateValue = value.type() == rt::VarType::Date && value.asDate().isValid();
        if (!isDateValue && (NzStr(value).isEmpty() || !rt::IsDate(value)))
            return QString();
        const QDate day = isDateValue ? value.asDate().date() : rt::CDate(value).date();
        return QString::number(day.year()) + QString::number(day.month()).rightJustified(2, u'0') +
               QString::number(day.day()).rightJustified(2, u'0');
    } catch (const rt::Error&) {
        return QString();
    }
}
