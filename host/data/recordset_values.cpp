#include "host/data/recordset_values.h"

#include "host/data/recordset.h"
#include "runtime/conversions.h"

#include <QRegularExpression>
#include <QSqlField>
#include <limits>

namespace host {
namespace {

constexpr int LongTextSize = std::numeric_limits<std::int32_t>::max();

ColumnInfo column(int type, int precision, int scale, int size) {
    ColumnInfo info;
    info.type = type;
    info.precision = precision;
    info.scale = scale;
    info.size = size;
    return info;
}

// Sizes ADO reports for fixed-size types.
ColumnInfo fixed(int type) {
    switch (type) {
    case adSmallInt:
        return column(type, 5, 0, 2);
    case adInteger:
        return column(type, 10, 0, 4);
    case adBigInt:
        return column(type, 19, 0, 8);
    case adDouble:
        return column(type, 15, 0, 8);
    case adBoolean:
        return column(type, 0, 0, 2);
    case adDBTimeStamp:
        return column(type, 23, 3, 16);
    default:
        return column(type, 0, 0, 0);
    }
}

} // namespace

ColumnInfo columnFromDeclaredType(const QString& declaredType) {
    static const QRegularExpression shape(
        u"^\\s*([A-Za-z ]+?)\\s*(?:\\(\\s*(\\d+)\\s*(?:,\\s*(\\d+)\\s*)?\\))?"
        "\\s*(?:without time zone|with time zone)?\\s*$"_qs);
    const auto m = shape.match(declaredType);
    const QString name = m.hasMatch() ? m.captured(1).toLower() : declaredType.toLower();
    const int first = m.captured(2).toInt();
    const int second = m.captured(3).toInt();
    if (name == u"dectext" || name == u"decimal" || name == u"numeric")
        return column(adNumeric, m.captured(2).isEmpty() ? 28 : first, second, 19);
    if (name == u"char" || name == u"character" || name == u"bpchar" || name == u"nchar")
        return column(adChar, 255, 255, m.captured(2).isEmpty() ? 1 : first);
    if (name == u"varchar" || name == u"character varying" || name == u"nvarchar")
        return column(adVarChar, 255, 255, m.captured(2).isEmpty() ? LongTextSize : first);
    if (name == u"text" || name == u"clob")
        return column(adVarChar, 255, 255, LongTextSize);
    if (name.contains(u"date") || name.contains(u"time"))
        return fixed(adDBTimeStamp);
    if (name == u"smallint" || name == u"tinyint" || name == u"int2")
        return fixed(adSmallInt);
    if (name == u"integer" || name == u"int" || name == u"int4")
        return fixed(adInteger);
    if (name == u"bigint" || name == u"int8")
        return fixed(adBigInt);
    if (name == u"double" || name == u"double precision" || name == u"float" || name == u"real" ||
        name == u"float8" || name == u"float4")
        return fixed(adDouble);
    if (name == u"boolean" || name == u"bool" || name == u"bit")
        return fixed(adBoolean);
    return column(adVarChar, 255, 255, LongTextSize);
}

ColumnInfo columnFromDriverField(const QSqlField& field, Dialect dialect, bool isDateColumn,
                                 bool throughOdbc) {
    if (isDateColumn)
        return fixed(adDBTimeStamp);
    constexpr int OdbcNumeric = 2; // SQL_NUMERIC
    constexpr int OdbcDecimal = 3; // SQL_DECIMAL
    if (throughOdbc && (field.typeID() == OdbcNumeric || field.typeID() == OdbcDecimal))
        return column(adNumeric, field.length() > 0 ? field.length() : 28,
                      std::max(0, field.precision()), 19);
    if (dialect == Dialect::PostgreSQL && !throughOdbc) {
        switch (field.typeID()) {
        case 1700:
            return column(adNumeric, field.length() > 0 ? field.length() : 28,
                          std::max(0, field.precision()), 19);
        case 1042:
            return column(adChar, 255, 255, std::max(1, field.length()));
        case 1043:
        case 25:
            return column(adVarChar, 255, 255, field.length() > 0 ? field.length() : LongTextSize);
        case 1082:
        case 1114:
        case 1184:
            return fixed(adDBTimeStamp);
        case 21:
            return fixed(adSmallInt);
        case 23:
            return fixed(adInteger);
        case 20:
            return fixed(adBigInt);
        case 700:
        case 701:
            return fixed(adDouble);
        case 16:
            return fixed(adBoolean);
        default:
            break;
        }
    }
    switch (field.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        return fixed(adInteger);
    case QMetaType::Double:
        return fixed(adDouble);
    case QMetaType::Bool:
        return fixed(adBoolean);
    case QMetaType::QDateTime:
    case QMetaType::QDate:
        return fixed(adDBTimeStamp);
    default:
        return column(adVarChar, 255, 255, LongTextSize);
    }
}

namespace {

// Digits of text[from, from + count) as a number; -1 when one is not an ASCII digit.
int digitsAt(QStringView text, qsizetype from, qsizetype count) {
    int n = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        n = n * 10 + (c - u'0');
    }
    return n;
}

// "yyyy-MM-dd HH:mm:ss" and "yyyy-MM-dd", the texts the drivers give for stored dates, read
// without the general parser; nothing for any other text or a day or time that does not exist
// (the general parser then decides).
std::optional<QDateTime> commonDateTime(QStringView text) {
    const bool withTime = text.size() == 19;
    if ((!withTime && text.size() != 10) || text[4] != u'-' || text[7] != u'-')
        return std::nullopt;
    const QDate day(digitsAt(text, 0, 4), digitsAt(text, 5, 2), digitsAt(text, 8, 2));
    if (!day.isValid() || digitsAt(text, 0, 4) < 0)
        return std::nullopt;
    QTime time(0, 0);
    if (withTime) {
        if (text[10] != u' ' || text[13] != u':' || text[16] != u':')
            return std::nullopt;
        time = QTime(digitsAt(text, 11, 2), digitsAt(text, 14, 2), digitsAt(text, 17, 2));
        if (!time.isValid())
            return std::nullopt;
    }
    const QDateTime dt(day, time);
    if (!dt.isValid() || dt.date() != day || dt.time() != time)
        return std::nullopt; // a local time that does not exist
    return dt;
}

} // namespace

std::optional<QDateTime> toDateTime(const QVariant& value) {
    if (value.metaType().id() == QMetaType::QDateTime) {
        const QDateTime dt = value.toDateTime();
        return QDateTime(dt.date(), dt.time());
    }
    if (value.metaType().id() == QMetaType::QDate)
        return QDateTime(value.toDate(), QTime(0, 0));
    const QString text = value.toString().trimmed();
    if (auto common = commonDateTime(text))
        return common;
    for (const char* format :
         {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-ddTHH:mm:ss",
          "yyyy-MM-ddTHH:mm:ss.zzz", "yyyy-MM-dd", "yyyyMMdd"}) {
        const QDateTime dt = QDateTime::fromString(text, QString::fromLatin1(format));
        if (dt.isValid())
            return QDateTime(dt.date(), dt.time());
    }
    return std::nullopt;
}

rt::Variant fromDriverValue(const QVariant& value, const ColumnInfo& column) {
    if (value.isNull())
        return rt::Variant::null();
    switch (column.type) {
    case adNumeric: {
        if (auto exact = rt::Decimal::parse(value.toString().trimmed()))
            return *exact;
        return rt::Decimal::fromDouble(value.toDouble());
    }
    case adSmallInt:
        return rt::Variant(std::int16_t(value.toInt()));
    case adInteger: {
        const qlonglong v = value.toLongLong();
        if (v >= std::numeric_limits<std::int32_t>::min() &&
            v <= std::numeric_limits<std::int32_t>::max())
            return rt::Variant(std::int32_t(v));
        return rt::Decimal(std::int64_t(v));
    }
    case adBigInt:
        return rt::Decimal(std::int64_t(value.toLongLong()));
    case adDouble:
        return value.toDouble();
    case adBoolean:
        return value.toBool();
    case adDBTimeStamp: {
        if (auto dt = toDateTime(value))
            return *dt;
        return value.toString();
    }
    case adChar: {
        // char(n) comes back padded to its size, as SQL Server returns it.
        const QString text = value.toString();
        return column.size > text.size() ? text.leftJustified(column.size, u' ') : text;
    }
    default:
        return value.toString();
    }
}

rt::Variant assignedValue(const rt::Variant& value, const ColumnInfo& column) {
    if (value.isNull() || value.isEmpty())
        return rt::Variant::null();
    switch (column.type) {
    case adNumeric:
    case adBigInt:
        return rt::CDec(value);
    case adSmallInt:
        return rt::CInt(value);
    case adInteger:
        return rt::CLng(value);
    case adDouble:
        return rt::CDbl(value);
    case adBoolean:
        return rt::CBool(value);
    case adDBTimeStamp:
        return rt::CDate(value);
    default:
        return rt::CStr(value);
    }
}

std::optional<rt::Decimal> toDecimal(const rt::Variant& value) {
    switch (value.type()) {
    case rt::VarType::Integer:
        return rt::Decimal(int(value.asInteger()));
    case rt::VarType::Long:
        return rt::Decimal(int(value.asLong()));
    case rt::VarType::Double:
        return rt::Decimal::fromDouble(value.asDouble());
    case rt::VarType::Decimal:
        return value.asDecimal();
    case rt::VarType::Boolean:
        return rt::Decimal(value.asBool() ? -1 : 0);
    case rt::VarType::String: {
        const QString text = value.asString().trimmed();
        if (auto d = rt::Decimal::parse(text))
            return d;
        return rt::Decimal::parse(text, u',');
    }
    default:
        return std::nullopt;
    }
}

QVariant toDriverParameter(const rt::Variant& value, const ColumnInfo& column, Dialect) {
    const QVariant null{QMetaType::fromType<QString>()};
    switch (value.type()) {
    case rt::VarType::Empty:
    case rt::VarType::Null:
    case rt::VarType::Object:
        return null;
    case rt::VarType::Date:
        return value.asDate().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case rt::VarType::Boolean:
        return QStringLiteral("%1").arg(value.asBool() ? 1 : 0);
    case rt::VarType::String:
        return value.asString();
    case rt::VarType::Double:
        if (column.type != adDouble)
            return rt::Decimal::fromDouble(value.asDouble()).toString();
        return QString::number(value.asDouble(), 'g', 17);
    default:
        return toDecimal(value)->toString();
    }
}

} // namespace host
