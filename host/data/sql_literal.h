#pragma once
// The one place that turns values into SQL literals.

#include <QString>

namespace host {

// A text between single quotes, each quote inside doubled: a quote in an article code,
// an option or a note is data, never SQL.
QString quotedSqlText(const QString& text);
// Only the doubling, for builders that write the surrounding quotes themselves.
QString escapeSqlText(const QString& text);

} // namespace host
