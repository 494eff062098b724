#pragma once
// The one place that turns values into SQL literals.

#include <QString>
#include <QVariantList>

namespace host {

// A text between single quotes, each quote inside doubled: a quote in an article code,
// an option or a note is data, never SQL.
QString quotedSqlText(const QString& text);
// Only the doubling, for builders that write the surrounding quotes themselves.
QString escapeSqlText(const QString& text);

// The statement with each "?" outside quotes replaced by its value: a null as NULL, bytes in
// PostgreSQL's hex form ('\x...'), any other value as a quoted text (the server converts it
// to the column's type, as it does a bound text). Placeholders beyond the values stay.
QString withParametersWritten(const QString& statement, const QVariantList& values);

} // namespace host
