#include "runtime/conversions.h"

#include "runtime/errors.h"

#include <QStringList>
#include <QTime>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace rt {

namespace {

// ---------------------------------------------------------------------------------------------
// Numeric text of the Italian desktop: "," decimal separator, "." thousands separator (ignored
// wherever it follows a digit of the integer part), optional sign and exponent, blanks around.

struct NumberText {
    std::string mantissa; // "[-]digits[.digits]"
    int exponent = 0;
};

bool isBlankChar(QChar ch) {
    return ch == u' ' || ch == u'\t';
}

std::optional<NumberText> scanNumber(const QString& text) {
    qsizetype i = 0, end = text.size();
    while (i < end && isBlankChar(text[i]))
        ++i;
    while (end > i && isBlankChar(text[end - 1]))
        --end;
    NumberText result;
    if (i < end && (text[i] == u'-' || text[i] == u'+')) {
        if (text[i] == u'-')
            result.mantissa += '-';
        ++i;
    }
    int digits = 0;
    bool inFraction = false;
    for (; i < end; ++i) {
        QChar ch = text[i];
        if (ch >= u'0' && ch <= u'9') {
            result.mantissa += static_cast<char>(ch.unicode());
            ++digits;
        } else if (ch == u'.' && !inFraction && digits > 0) {
            continue; // thousands separator
        } else if (ch == u',' && !inFraction) {
            inFraction = true;
            result.mantissa += '.';
        } else {
            break;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < end && (text[i] == u'E' || text[i] == u'e' || text[i] == u'D' || text[i] == u'd')) {
        ++i;
        bool negativeExponent = false;
        if (i < end && (text[i] == u'-' || text[i] == u'+'))
            negativeExponent = text[i++] == u'-';
        int exponentDigits = 0;
        long exponent = 0;
        for (; i < end && text[i] >= u'0' && text[i] <= u'9'; ++i, ++exponentDigits)
            exponent = std::min(exponent * 10 + (text[i].unicode() - '0'), 100000L);
        if (exponentDigits == 0)
            return std::nullopt;
        result.exponent = static_cast<int>(negativeExponent ? -exponent : exponent);
    }
    if (i != end)
        return std::nullopt;
    return result;
}

Decimal powerOfTenDecimal(int n) { // 0 <= n <= 28
    return *Decimal::parse("1" + std::string(static_cast<std::size_t>(n), '0'));
}

Decimal toDecimal(const NumberText& number) {
    Decimal value = *Decimal::parse(number.mantissa);
    if (value.isZero())
        return value;
    // Large exponents move in steps of 10^28; the arithmetic rounds or overflows as needed.
    for (int e = number.exponent; e > 0; e -= Decimal::MaxScale)
        value *= powerOfTenDecimal(std::min(e, Decimal::MaxScale));
    for (int e = -number.exponent; e > 0 && !value.isZero(); e -= Decimal::MaxScale)
        value /= powerOfTenDecimal(std::min(e, Decimal::MaxScale));
    return value;
}

double toDouble(const NumberText& number) {
    std::string text = number.mantissa + "e" + std::to_string(number.exponent);
    double value = std::strtod(text.c_str(), nullptr);
    if (!std::isfinite(value))
        throw Error::overflow();
    return value;
}

// ---------------------------------------------------------------------------------------------
// Dates: the run time keeps a date as a serial number of days since 30/12/1899, the fraction
// being the time of day.

const QDate& serialBase() {
    static const QDate base(1899, 12, 30);
    return base;
}

constexpr double FirstSerial = -657434.0;    // 01/01/100
constexpr double LastSerial = 2958465.99999; // 31/12/9999 23:59:59

double dateToSerial(const QDateTime& value) {
    double days = static_cast<double>(serialBase().daysTo(value.date()));
    double fraction = value.time().msecsSinceStartOfDay() / 86400000.0;
    // Before the base the time still counts forward from the day's start: -1.25 is 29/12 06:00.
    return days < 0 ? days - fraction : days + fraction;
}

QDateTime serialToDate(double serial) {
    if (!(serial >= FirstSerial && serial <= LastSerial))
        throw Error::overflow();
    double days = std::trunc(serial);
    auto seconds = static_cast<int>(std::llround(std::fabs(serial - days) * 86400.0));
    QDate day = serialBase().addDays(static_cast<qint64>(days));
    if (seconds >= 86400) {
        day = day.addDays(1);
        seconds -= 86400;
    }
    return QDateTime(day, QTime(0, 0).addSecs(seconds));
}

std::optional<int> smallNumber(const QString& text, int maxDigits) {
    if (text.isEmpty() || text.size() > maxDigits)
        return std::nullopt;
    int value = 0;
    for (QChar ch : text) {
        if (ch < u'0' || ch > u'9')
            return std::nullopt;
        value = value * 10 + (ch.unicode() - '0');
    }
    return value;
}

std::optional<QTime> parseTime(const QString& text) {
    QStringList parts = text.split(u':');
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    auto h = smallNumber(parts[0], 2), m = smallNumber(parts[1], 2);
    auto s = parts.size() == 3 ? smallNumber(parts[2], 2) : std::optional<int>(0);
    if (!h || !m || !s || *h > 23 || *m > 59 || *s > 59)
        return std::nullopt;
    return QTime(*h, *m, *s);
}

int windowedYear(int year, qsizetype digits) {
    if (digits > 2)
        return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

// "dd/mm/yyyy", "d/m/yy", "dd-mm-yyyy", "dd.mm.yyyy" and "yyyy-mm-dd" (a four-digit first part
// is the year).
std::optional<QDate> parseDay(const QString& text) {
    for (QChar separator : {u'/', u'-', u'.'}) {
        QStringList parts = text.split(separator);
        if (parts.size() != 3)
            continue;
        bool yearFirst = parts[0].size() == 4;
        const QString& yearText = yearFirst ? parts[0] : parts[2];
        auto year = smallNumber(yearText, 4);
        auto month = smallNumber(parts[1], 2);
        auto day = smallNumber(yearFirst ? parts[2] : parts[0], 2);
        if (!year || !month || !day)
            return std::nullopt;
        QDate date(windowedYear(*year, yearText.size()), *month, *day);
        if (!date.isValid() || date.year() < 100)
            return std::nullopt;
        return date;
    }
    return std::nullopt;
}

std::optional<QDateTime> parseDate(const QString& text) {
    QStringList parts = Trim(text).split(u' ', Qt::SkipEmptyParts);
    if (parts.size() == 1) {
        if (auto time = parseTime(parts[0]))
            return QDateTime(serialBase(), *time);
        if (auto day = parseDay(parts[0]))
            return QDateTime(*day, QTime(0, 0));
        return std::nullopt;
    }
    if (parts.size() == 2) {
        auto day = parseDay(parts[0]);
        auto time = parseTime(parts[1]);
        if (day && time)
            return QDateTime(*day, *time);
    }
    return std::nullopt;
}

QString dateText(const QDateTime& value) {
    const QTime time = value.time();
    bool hasTime = time.msecsSinceStartOfDay() != 0;
    QString timeText = time.toString(QStringLiteral("HH:mm:ss"));
    if (value.date() == serialBase() && hasTime)
        return timeText; // a pure time of day
    QString day = value.date().toString(QStringLiteral("dd/MM/yyyy"));
    return hasTime ? day + u' ' + timeText : day;
}

// ---------------------------------------------------------------------------------------------

QString doubleText(double v) {
    if (v == 0)
        return QStringLiteral("0");
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15G", v); // 15 significant digits, as the run time
    return QString::fromLatin1(buffer).replace(u'.', u',');
}

// Rounds a Double half to even and checks it against [min, max].
std::int64_t roundedDouble(double v, std::int64_t min, std::int64_t max) {
    double r = std::nearbyint(v); // the default rounding mode is to nearest, halves to even
    if (!(r >= static_cast<double>(min) && r <= static_cast<double>(max)))
        throw Error::overflow();
    return static_cast<std::int64_t>(r);
}

std::int64_t roundedInteger(const Variant& v, std::int64_t min, std::int64_t max) {
    std::int64_t result = 0;
    switch (v.type()) {
    case VarType::Empty:
        return 0;
    case VarType::Null:
        throw Error::invalidUseOfNull();
    case VarType::Boolean:
        return v.asBool() ? -1 : 0;
    case VarType::Integer:
        result = v.asInteger();
        break;
    case VarType::Long:
        result = v.asLong();
        break;
    case VarType::Double:
        return roundedDouble(v.asDouble(), min, max);
    case VarType::Date:
        return roundedDouble(dateToSerial(v.asDate()), min, max);
    case VarType::Decimal:
    case VarType::String:
        result = CDec(v).toInt64();
        break;
    case VarType::Object:
        throw Error::typeMismatch();
    }
    if (result < min || result > max)
        throw Error::overflow();
    return result;
}

} // namespace

// ---------------------------------------------------------------------------------------------

QString CStr(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty:
        return QString();
    case VarType::Null:
        throw Error::invalidUseOfNull();
    case VarType::Boolean:
        return v.asBool() ? QStringLiteral("Vero") : QStringLiteral("Falso");
    case VarType::Integer:
        return QString::number(v.asInteger());
    case VarType::Long:
        return QString::number(v.asLong());
    case VarType::Double:
        return doubleText(v.asDouble());
    case VarType::Decimal:
        return v.asDecimal().toString(u',');
    case VarType::String:
        return v.asString();
    case VarType::Date:
        return dateText(v.asDate());
    case VarType::Object:
        break;
    }
    throw Error::typeMismatch();
}

Decimal CDec(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty:
        return Decimal();
    case VarType::Null:
        throw Error::invalidUseOfNull();
    case VarType::Boolean:
        return Decimal(v.asBool() ? -1 : 0);
    case VarType::Integer:
        return Decimal(static_cast<int>(v.asInteger()));
    case VarType::Long:
        return Decimal(static_cast<int>(v.asLong()));
    case VarType::Double:
        return Decimal::fromDouble(v.asDouble());
    case VarType::Decimal:
        return v.asDecimal();
    case VarType::Date:
        return Decimal::fromDouble(dateToSerial(v.asDate()));
    case VarType::String:
        if (auto number = scanNumber(v.asString()))
            return toDecimal(*number);
        break;
    case VarType::Object:
        break;
    }
    throw Error::typeMismatch();
}

double CDbl(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty:
        return 0;
    case VarType::Null:
        throw Error::invalidUseOfNull();
    case VarType::Boolean:
        return v.asBool() ? -1 : 0;
    case VarType::Integer:
        return v.asInteger();
    case VarType::Long:
        return v.asLong();
    case VarType::Double:
        return v.asDouble();
    case VarType::Decimal:
        return v.asDecimal().toDouble();
    case VarType::Date:
        return dateToSerial(v.asDate());
    case VarType::String:
        if (auto number = scanNumber(v.asString()))
            return toDouble(*number);
        break;
    case VarType::Object:
        break;
    }
    throw Error::typeMismatch();
}

std::int16_t CInt(const Variant& v) {
    return static_cast<std::int16_t>(roundedInteger(v, INT16_MIN, INT16_MAX));
}

std::int32_t CLng(const Variant& v) {
    return static_cast<std::int32_t>(roundedInteger(v, INT32_MIN, INT32_MAX));
}

bool CBool(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty:
        return false;
    case VarType::Null:
        throw Error::invalidUseOfNull();
    case VarType::Boolean:
        return v.asBool();
    case VarType::Integer:
    case VarType::Long:
    case VarType::Double:
    case VarType::Decimal:
    case VarType::Date:
        return CDbl(v) != 0;
    case VarType::String: {
        QString text = Trim(v.asString());
        if (text.compare(u"Vero", Qt::CaseInsensitive) == 0 ||
            text.compare(u"True", Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(u"Falso", Qt::CaseInsensitive) == 0 ||
            text.compare(u"False", Qt::CaseInsensitive) == 0)
            return false;
        if (auto number = scanNumber(text))
            return toDouble(*number) != 0;
        break;
    }
    case VarType::Object:
        break;
    }
    throw Error::typeMismatch();
}

QDateTime CDate(const Variant& v) {
    switch (v.type()) {
    case VarType::Null:
        throw Error::invalidUseOfNull();
    case VarType::Date:
        return v.asDate();
    case VarType::String:
        if (auto date = parseDate(v.asString()))
            return *date;
        // A numeric text is a serial number, as for numbers.
        if (auto number = scanNumber(v.asString()))
            return serialToDate(toDouble(*number));
        break;
    case VarType::Empty:
    case VarType::Boolean:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Double:
    case VarType::Decimal:
        return serialToDate(CDbl(v));
    case VarType::Object:
        break;
    }
    throw Error::typeMismatch();
}

bool IsNumeric(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty:
    case VarType::Boolean:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Double:
    case VarType::Decimal:
        return true;
    case VarType::String:
        return scanNumber(v.asString()).has_value();
    default:
        return false;
    }
}

bool IsDate(const Variant& v) {
    if (v.type() == VarType::Date)
        return true;
    return v.type() == VarType::String && parseDate(v.asString()).has_value();
}

// ---------------------------------------------------------------------------------------------
// Trim functions: blanks (spaces) only, tabs and line ends stay.

QString RTrim(const QString& s) {
    qsizetype end = s.size();
    while (end > 0 && s[end - 1] == u' ')
        --end;
    return s.left(end);
}

QString LTrim(const QString& s) {
    qsizetype start = 0;
    while (start < s.size() && s[start] == u' ')
        ++start;
    return s.mid(start);
}

QString Trim(const QString& s) {
    return LTrim(RTrim(s));
}

// ---------------------------------------------------------------------------------------------

namespace {
std::optional<QDate> todayOverride;
}

QDate Today() {
    return todayOverride ? *todayOverride : QDate::currentDate();
}

void setTodayForTesting(const QDate& d) {
    if (d.isValid())
        todayOverride = d;
    else
        todayOverride.reset();
}

} // namespace rt
