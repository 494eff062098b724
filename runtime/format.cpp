// Format(value, pattern): the numeric and date patterns of the desktop run time, with the
// separators of an Italian desktop ("," decimals, "." thousands, "/" dates, ":" times).

#include "runtime/conversions.h"

#include "runtime/errors.h"

#include <QStringList>

namespace rt {

namespace {

// Splits a pattern at ";" outside quotes and escapes.
QStringList sections(const QString& pattern) {
    QStringList result{QString()};
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        QChar ch = pattern[i];
        if (ch == u'"')
            quoted = !quoted;
        if (ch == u';' && !quoted) {
            result.append(QString());
            continue;
        }
        result.last() += ch;
        if (ch == u'\\' && i + 1 < pattern.size())
            result.last() += pattern[++i];
    }
    return result;
}

// Walks a pattern section: literal characters (quoted text, escaped characters) are handed to
// `literal`, every other character to `token` with its index.
template <typename Literal, typename Token>
void walk(const QString& section, Literal literal, Token token) {
    for (qsizetype i = 0; i < section.size(); ++i) {
        QChar ch = section[i];
        if (ch == u'"') {
            qsizetype close = section.indexOf(u'"', i + 1);
            if (close < 0)
                close = section.size();
            literal(section.mid(i + 1, close - i - 1));
            i = close;
        } else if (ch == u'\\') {
            if (i + 1 < section.size())
                literal(QString(section[++i]));
        } else {
            token(ch, i);
        }
    }
}

bool isDatePattern(const QString& pattern) {
    bool date = false, digits = false;
    walk(
        pattern, [](const QString&) {},
        [&](QChar ch, qsizetype) {
            QChar lower = ch.toLower();
            if (lower == u'd' || lower == u'm' || lower == u'y' || lower == u'h' || lower == u'n' ||
                lower == u's')
                date = true;
            if (ch == u'0' || ch == u'#')
                digits = true;
        });
    return date && !digits;
}

// ---------------------------------------------------------------------------------------------
// Numbers

struct NumberPattern {
    QString prefix, suffix;
    int integerZeros = 0;   // "0" placeholders before the decimal point
    int fractionZeros = 0;  // "0" placeholders after it
    int fractionDigits = 0; // "0" and "#" placeholders after it
    bool hasPoint = false, grouping = false, percent = false;
};

NumberPattern parseNumberPattern(const QString& section) {
    NumberPattern p;
    bool seenDigit = false;
    walk(
        section, [&](const QString& text) { (seenDigit ? p.suffix : p.prefix) += text; },
        [&](QChar ch, qsizetype) {
            if (ch == u'0' || ch == u'#') {
                seenDigit = true;
                if (!p.hasPoint) {
                    p.integerZeros += ch == u'0' ? 1 : 0;
                } else {
                    ++p.fractionDigits;
                    if (ch == u'0')
                        p.fractionZeros = p.fractionDigits;
                }
            } else if (ch == u'.' && !p.hasPoint) {
                p.hasPoint = true;
                seenDigit = true;
            } else if (ch == u',' && seenDigit && !p.hasPoint) {
                p.grouping = true;
            } else {
                if (ch == u'%')
                    p.percent = true;
                (seenDigit ? p.suffix : p.prefix) += ch;
            }
        });
    return p;
}

// |value| rounded half away from zero to `decimals` digits, as integer and fraction digits.
std::pair<QString, QString> roundedDigits(const Decimal& value, int decimals) {
    QString text = value.toString(u'.');
    if (text.startsWith(u'-'))
        text.remove(0, 1);
    qsizetype point = text.indexOf(u'.');
    QString integer = point < 0 ? text : text.left(point);
    QString fraction = point < 0 ? QString() : text.mid(point + 1);
    bool roundUp = fraction.size() > decimals && fraction[decimals] >= u'5';
    fraction = fraction.left(decimals).leftJustified(decimals, u'0');
    if (roundUp) {
        QString all = integer + fraction;
        qsizetype i = all.size() - 1;
        for (; i >= 0 && all[i] == u'9'; --i)
            all[i] = u'0';
        if (i < 0)
            all.prepend(u'1');
        else
            all[i] = QChar(all[i].unicode() + 1);
        integer = all.left(all.size() - decimals);
        fraction = all.right(decimals);
    }
    return {integer, fraction};
}

QString grouped(const QString& integer) {
    QString result;
    for (qsizetype i = 0; i < integer.size(); ++i) {
        if (i > 0 && (integer.size() - i) % 3 == 0)
            result += u'.';
        result += integer[i];
    }
    return result;
}

QString formatNumber(const Decimal& magnitude, const NumberPattern& p) {
    Decimal value = p.percent ? magnitude * Decimal(100) : magnitude;
    auto [integer, fraction] = roundedDigits(value, p.fractionDigits);
    while (fraction.size() > p.fractionZeros && fraction.endsWith(u'0'))
        fraction.chop(1);
    if (integer == u"0")
        integer.clear();
    integer = integer.rightJustified(p.integerZeros, u'0');
    if (p.grouping)
        integer = grouped(integer);
    QString number = p.hasPoint ? integer + u',' + fraction : integer;
    return p.prefix + number + p.suffix;
}

Decimal decimalOf(const Variant& v) {
    return v.type() == VarType::Double ? Decimal::fromDouble(v.asDouble()) : CDec(v);
}

QString formatNumeric(const Variant& v, const QString& pattern) {
    Decimal value = decimalOf(v);
    QStringList parts = sections(pattern);
    if (value.isNegative() && parts.size() > 1 && !parts[1].isEmpty())
        return formatNumber(-value, parseNumberPattern(parts[1]));
    if (value.isZero() && parts.size() > 2 && !parts[2].isEmpty())
        return formatNumber(value, parseNumberPattern(parts[2]));
    NumberPattern p = parseNumberPattern(parts[0]);
    QString text = formatNumber(value.isNegative() ? -value : value, p);
    return value.isNegative() ? u'-' + text : text;
}

// ---------------------------------------------------------------------------------------------
// Dates

const char* const MonthNames[] = {"gennaio",   "febbraio", "marzo",    "aprile",
                                  "maggio",    "giugno",   "luglio",   "agosto",
                                  "settembre", "ottobre",  "novembre", "dicembre"};
const char* const DayNames[] = {"lunedì",  "martedì", "mercoledì", "giovedì",
                                "venerdì", "sabato",  "domenica"};

QString dayToken(const QDate& d, qsizetype count) {
    QString name = QString::fromUtf8(DayNames[d.dayOfWeek() - 1]);
    switch (count) {
    case 1:
        return QString::number(d.day());
    case 2:
        return QString::number(d.day()).rightJustified(2, u'0');
    case 3:
        return name.left(3);
    case 4:
        return name;
    default:
        return d.toString(QStringLiteral("dd/MM/yyyy"));
    }
}

QString monthToken(const QDate& d, qsizetype count) {
    QString name = QString::fromLatin1(MonthNames[d.month() - 1]);
    if (count >= 4)
        return name;
    if (count == 3)
        return name.left(3);
    return QString::number(d.month()).rightJustified(count, u'0');
}

QString yearToken(const QDate& d, qsizetype count) {
    if (count == 1)
        return QString::number(d.dayOfYear());
    if (count == 2)
        return QString::number(d.year() % 100).rightJustified(2, u'0');
    return QString::number(d.year());
}

QString twoOrOne(int value, qsizetype count) {
    return QString::number(value).rightJustified(count >= 2 ? 2 : 1, u'0');
}

QString formatDate(const QDateTime& value, const QString& pattern) {
    const QDate d = value.date();
    const QTime t = value.time();
    QString out;
    QChar previous;     // the last letter token, to tell months from minutes
    qsizetype skip = 0; // characters of the current run already consumed
    walk(
        pattern, [&](const QString& text) { out += text; },
        [&](QChar ch, qsizetype i) {
            if (skip > 0) {
                --skip;
                return;
            }
            QChar lower = ch.toLower();
            qsizetype count = 1;
            while (i + count < pattern.size() && pattern[i + count].toLower() == lower)
                ++count;
            bool letter = true;
            if (lower == u'd')
                out += dayToken(d, count);
            else if (lower == u'm' && previous == u'h' && count <= 2)
                out += twoOrOne(t.minute(), count);
            else if (lower == u'm')
                out += monthToken(d, count);
            else if (lower == u'y')
                out += yearToken(d, count);
            else if (lower == u'h')
                out += twoOrOne(t.hour(), count);
            else if (lower == u'n')
                out += twoOrOne(t.minute(), count);
            else if (lower == u's')
                out += twoOrOne(t.second(), count);
            else
                letter = false;
            if (letter) {
                previous = lower;
                skip = count - 1;
            } else {
                out += ch; // "/" and ":" are already the Italian separators
            }
        });
    return out;
}

// The named formats of the run time that the program may meet.
QString namedPattern(const QString& pattern) {
    static const std::pair<const char*, const char*> names[] = {
        {"Fixed", "0.00"},
        {"Standard", "#,##0.00"},
        {"Percent", "0.00%"},
        {"Short Date", "dd/mm/yyyy"},
        {"Short Time", "hh:mm"},
        {"Long Time", "hh:mm:ss"},
        {"Medium Date", "dd-mmm-yy"},
    };
    for (const auto& [name, expansion] : names)
        if (pattern.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(expansion);
    return pattern;
}

} // namespace

QString Format(const Variant& v, const QString& rawPattern) {
    if (v.isNull() || v.isEmpty())
        return QString();
    QString pattern = namedPattern(rawPattern);
    if (pattern.isEmpty() || pattern.compare(u"General Number", Qt::CaseInsensitive) == 0 ||
        pattern.compare(u"General Date", Qt::CaseInsensitive) == 0)
        return CStr(v);
    if (isDatePattern(pattern)) {
        if (v.type() == VarType::Date || IsDate(v))
            return formatDate(CDate(v), pattern);
        if (v.type() != VarType::String && IsNumeric(v))
            return formatDate(CDate(v), pattern);
        return CStr(v);
    }
    if (v.type() == VarType::Date || IsNumeric(v))
        return formatNumeric(v, pattern);
    return CStr(v); // a text that is no number is returned as it is
}

} // namespace rt
