#pragma once
// How the recordset reads column types and values from the drivers and writes them back:
// exact decimals as text, char(n) padded to its size, dates as wall-clock date and time.

#include "host/data/sql_dialect.h"
#include "runtime/variant.h"

#include <QString>
#include <QVariant>
#include <optional>

class QSqlField;

namespace host {

struct ColumnInfo {
    QString name;
    int type = 200; // DataTypeCode
    int precision = 0;
    int scale = 0;
    int size = 0;
};

// From a declared type as SQLite keeps it ("DECTEXT(17,6)", "char(25)", "datetime") or as
// PostgreSQL's format_type prints it ("numeric(17,6)", "character(25)", "timestamp ...").
ColumnInfo columnFromDeclaredType(const QString& declaredType);
// For a column without a declared type (an expression): what the driver tells.
// ODBC drivers give ODBC type codes rather than the server's own (throughOdbc).
ColumnInfo columnFromDriverField(const QSqlField& field, Dialect dialect, bool isDateColumn,
                                 bool throughOdbc = false);

rt::Variant fromDriverValue(const QVariant& value, const ColumnInfo& column);
// What a value assigned to a field becomes (the field's type), as the run time converts it.
rt::Variant assignedValue(const rt::Variant& value, const ColumnInfo& column);
// The text bound for a value (numbers never as binary floating point); null for Null.
QVariant toDriverParameter(const rt::Variant& value, const ColumnInfo& column, Dialect dialect);

std::optional<rt::Decimal> toDecimal(const rt::Variant& value);
std::optional<QDateTime> toDateTime(const QVariant& value);

} // namespace host
