#pragma once
// The schemas of the tables the price-list window reads and writes. The one source is the
// SQL Server text of schema.sqlserver.sql (a Qt resource of this library); the SQLite and
// PostgreSQL forms are what the connection's dialect translator makes of it.

#include "host/data/sql_dialect.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace demo {

// The tables of the schema, in creation order.
QStringList schemaTableNames();

// The SQL Server text of the schema file, as stored in the resource.
QString sqlServerSchemaText();

// Splits a script into its statements: a statement ends with ";" at the end of a line;
// lines starting with "--" are comments and are left out. Statements come back trimmed.
QStringList splitSqlStatements(const QString& script);

// The CREATE TABLE statements of the schema in SQL Server text.
QStringList schemaStatements();

// What the translator needs to know of the schema (its date columns).
host::DialectCatalog schemaCatalog();

// A one-line CREATE TABLE laid out one column per line: a line break after the first "(",
// after each ", " between its parentheses, and before the last ")". Nothing else changes, so
// the statement means the same to every database.
QString layoutCreateTable(const QString& statement);

// The schema as the translator produces it for a dialect, as the text of a script file
// (a header comment, then each statement followed by ";" and a blank line).
QString schemaScript(host::Dialect dialect);

// "sqlite", "postgresql" or "sqlserver" (case-insensitive) to its dialect.
std::optional<host::Dialect> dialectFromName(const QString& name);
// The file name under db/ of a dialect's schema: "schema.sqlite.sql", ...
QString schemaFileName(host::Dialect dialect);

} // namespace demo
