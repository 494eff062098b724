#pragma once
// The SQL text of the price-list storage, built as the window builds it (SQL Server dialect,
// values written into the text). Pure functions of their arguments: the procedures of
// storage/ read the fields and the header and hand the values here.
//
// Every text placed between single quotes goes through host::escapeSqlText, so a quote in an
// article code, an option, a warehouse, a currency or a note is data, never SQL.

#include "runtime/variant.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

namespace host {
class NumberFormatter;
}

namespace storage {

// The line break of the working-row INSERT: carriage return and line feed.
inline constexpr char CrLf[] = "\r\n";

// A value as the run time writes it in a text concatenation: Null and Empty give "".
QString rawText(const rt::Variant& value);

// ---- Working tables ----

// Drops the table when it exists (SQL Server's temporary space).
QString dropWorkingTableSql(const QString& table);
// The CREATE of a working table: one line, the 48 columns, a comma after the last one.
QString createWorkingTableSql(const QString& table);
QString selectWorkingTableSql(const QString& table);
// The working table a recordset was opened on by selectWorkingTableSql; empty for any other
// text.
QString workingTableOfSelect(const QString& select);

// ---- Look-ups of a stored row ----

// The stored rows of exactly one list, article, option and period.
QString getListinoSql(const QString& company, std::int16_t side, const QString& article,
                      const QString& option, const rt::Variant& listNumber, const QString& firstDay,
                      const QString& lastDay);
// The same question asked before loading and saving; list number 0 leaves the list out.
QString esisteListinoSql(const QString& company, std::int16_t side, const QString& article,
                         const QString& option, std::int16_t listNumber, const QString& firstDay,
                         const QString& lastDay);

// ---- One read for a whole load ----

// A list of a side's load with its proposed period, as the load asks for its stored row.
struct ListPeriod {
    std::int16_t listNumber = 0;
    QString firstDay;
    QString lastDay;
};
// The stored rows of every list of a side's load at once: the conditions of esisteListinoSql
// common to the lists, then one bracket per list with its number and period.
QString storedListsOfLoadSql(const QString& company, std::int16_t side, const QString& article,
                             const QString& option, const QList<ListPeriod>& lists);

// ---- Working rows ----

// A list without a stored row: the parameters' defaults.
struct NewWorkingRow {
    QString company;        // Gstr_Ditta
    rt::Variant side;       // MG44_FLGVENACQ
    QString article;        // the article field's text
    QString option;         // the option field's text
    rt::Variant listNumber; // MG44_NUMLIST
    rt::Variant currency;   // MG44_VALUTA_CG08
    QString firstDay;       // proposed validity, as date text
    QString lastDay;
    rt::Variant commission; // MG44_PERCPROV
    QDate today;
};
QString insertNewWorkingRowSql(const QString& table, const NewWorkingRow& row);

// A list with a stored row: the stored values, read by column name (a reader that throws
// makes the builder throw).
struct StoredWorkingRow {
    std::function<rt::Variant(const QString& column)> stored;
    rt::Variant currency; // MG44_VALUTA_CG08 of the list's parameters
    rt::Variant netPrice; // of the stored values
    QDate today;
};
QString insertStoredWorkingRowSql(const QString& table, const StoredWorkingRow& row);
// Working-row INSERTs of one table as one INSERT of several rows; empty when a text is not a
// working-row INSERT of that table.
QString mergedWorkingInsertSql(const QString& table, const QStringList& inserts);

// ---- Saving a working row to LI10_LISTARTIC ----

// The working row's values in the order of the working columns (at least the saved ones).
using SavedRow = QList<rt::Variant>;
// DecimalDB: the SQL numeric literal of an amount.
using DecimalText = std::function<QString(const rt::Variant&)>;

// The UPDATE of the stored row with the working row's ten key values.
QString updateListinoSql(const SavedRow& row, const DecimalText& decimalDB);
// The INSERT of a new stored row (45 columns).
QString insertListinoSql(const SavedRow& row, const DecimalText& decimalDB);

// DecimalDB through the host's number formatting: its text form when it can give one,
// otherwise the run time's text of the value with "." as decimal separator.
QString decimalDbText(host::NumberFormatter& formatter, const rt::Variant& expression);

} // namespace storage
