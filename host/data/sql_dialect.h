#pragma once
// The one translator from the SQL Server text the program writes to the dialect of the
// connection. SQL Server gets the text unchanged; SQLite and PostgreSQL get temporary tables
// for "##" names, drop-if-exists, plain type names, no comma before a closing parenthesis,
// the empty date literal '' of a date column as 1 January 1900, and date literals they accept.

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

namespace host {

enum class Dialect { SqlServer, SQLite, PostgreSQL };

// What the translator must know of the database: the names of the date columns (column
// names carry their table's prefix, so a name identifies a column across tables).
struct DialectCatalog {
    QSet<QString> dateColumns; // upper case
    // SQLite: the declared type of every column of the database's tables, by upper-case
    // name (a result over several tables carries no declared types of its own).
    QHash<QString, QString> declaredTypes;
    bool declaredTypesStale = true;
};

QString translateSql(const QString& sqlServerText, Dialect dialect, const DialectCatalog& catalog);

// The upper-case names of the date columns declared by a CREATE TABLE statement written in the
// SQL Server dialect; empty for any other statement.
QSet<QString> dateColumnsOfCreateTable(const QString& sqlServerText);

// The hidden column that names a stored row, for recordsets that write rows back: SQLite's
// rowid (stable for the row's life, also in temporary tables), PostgreSQL's ctid (the row
// version's address: an UPDATE gives the new one back with RETURNING), SQL Server's
// %%physloc%% (the row's file, page and slot as binary(8); an UPDATE in place keeps it).
// The table a SQL Server CREATE TABLE makes (its name as translated) and its columns'
// declared types ("decimal(5, 0)", "char(25)", by upper-case name); empty for other texts.
struct CreatedTable {
    QString name;
    QHash<QString, QString> declaredTypes;
};
CreatedTable createdTableOf(const QString& sqlServerText);

QString rowIdentityColumn(Dialect dialect);
// What an UPDATE of one row appends to hand back the row's new identity ("" when it keeps it).
QString returningRowIdentity(Dialect dialect);

// The statements of a recordset that writes its rows back, naming each row by its identity.
// A single-table SELECT (translated) with the identity first, as the column `alias`.
QString selectWithRowIdentity(const QString& translatedSelect, const QString& alias,
                              Dialect dialect);
// An UPDATE of the given columns of the row whose identity is the last parameter.
QString updateRowStatement(const QString& table, const QStringList& columns, Dialect dialect);
// An INSERT of one row; where the server can say so (RETURNING), it gives the row's identity
// back. SQL Server cannot: the new row's identity is read from allRowIdentities.
QString insertRowStatement(const QString& table, const QStringList& columns, Dialect dialect);
bool insertReturnsRowIdentity(Dialect dialect);
QString allRowIdentities(const QString& table, Dialect dialect);

// The name a SQL Server temporary table ("##NAME" or "#NAME") gets in SQLite and PostgreSQL.
QString temporaryTableName(const QString& sqlServerName);

// The declared type name SQLite gets for decimal(precision, scale) with a scale above 0: its
// TEXT affinity keeps every digit, and the recordset reads precision and scale back from it.
inline constexpr const char* SqliteExactDecimalType = "DECTEXT";

} // namespace host
