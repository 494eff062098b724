#pragma once
// Recordset: a client-side static cursor over the rows of a query, as the window uses it:
// BOF/EOF, moves, RecordCount, AbsolutePosition, Bookmark, Filter, fields by name and
// position, assignment, Update and UpdateBatch writing rows back to their table.

#include "runtime/variant.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QSqlQuery;

namespace host {

class Connection;

// ADO data-type codes of the fields.
enum DataTypeCode : int {
    adSmallInt = 2,
    adInteger = 3,
    adDouble = 5,
    adDate = 7,
    adBSTR = 8,
    adBoolean = 11,
    adDecimal = 14,
    adTinyInt = 16,
    adBigInt = 20,
    adChar = 129,
    adWChar = 130,
    adNumeric = 131,
    adDBTimeStamp = 135,
    adUnsignedTinyInt = 17,
    adVarChar = 200,
    adVarWChar = 202,
    adLongVarWChar = 203,
};

// Which rows a batch update writes.
enum AffectEnum { adAffectCurrent = 1, adAffectAll = 3 };

// The filter value that clears a filter (Filter = 0 in the window's code).
enum FilterGroup { adFilterNone = 0 };

class Recordset;

class Field {
  public:
    QString Name() const;
    int Type() const;          // DataTypeCode
    int Precision() const;     // numeric columns
    int NumericScale() const;  // numeric columns
    int DefinedSize() const;   // text columns
    rt::Variant Value() const; // of the current row; throws 3021 without a current row
    void setValue(const rt::Variant& v);
    rt::Variant OriginalValue() const;

  private:
    friend class Recordset;
    Field(Recordset* rs, int index) : rs_(rs), index_(index) {}
    Recordset* rs_;
    int index_;
};

class Recordset : public rt::Object {
  public:
    Recordset();
    ~Recordset() override;

    // Opens a SELECT on the connection; every row is fetched at once.
    void Open(const QString& source, Connection& connection);
    void Close();
    int State() const;
    QString Source() const;

    bool BOF() const;
    bool IsEOF() const; // EOF is a C macro; this is the recordset's EOF
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();

    int RecordCount() const;      // rows visible through the filter
    int AbsolutePosition() const; // 1-based; -1 (unknown), -2 (BOF), -3 (EOF) as ADO
    void setAbsolutePosition(int position);
    rt::Variant Bookmark() const;
    void setBookmark(const rt::Variant& bookmark);

    // Filter expressions as the program writes them: "MG44_FLGVENACQ = 0", "LI10_NUMLIST =5",
    // "MG44_NUMSCPERC>=1", "MG44_PERCPROV <> 0", "MG44_FLGRICHPREZZO=1", "NAME = 'text'",
    // joined by AND / OR. An empty text or adFilterNone clears the filter.
    void setFilter(const QString& expression);
    void setFilter(FilterGroup none);
    // A new read-only recordset of the rows that pass the filter expression, on the first one.
    std::shared_ptr<Recordset> rowsMatching(const QString& expression) const;
    QString Filter() const;

    int FieldCount() const;
    Field Fields(int index);
    Field Fields(const QString& name); // throws 3265 when there is no such field
    bool hasField(const QString& name) const;

    // Writes the current row's changed fields back to its table.
    void Update();
    // Writes every changed row back to its table (adAffectCurrent: only the current row).
    void UpdateBatch(int affect = adAffectAll);
    // Called after a batch update wrote rows back: the owner of the rows learns that someone
    // else changed them (the window saves such a row to the stored price lists).
    void setAfterBatchUpdate(std::function<void(Recordset&)> handler);
    // Writes every row as it stands, pending changes included, into its table made anew
    // empty under the same name (a temporary table of a session that was lost). The rows keep
    // their order and place and count as written.
    void writeRowsIntoNewTable();

    // For the connection: takes every row of a statement it has already executed.
    void openOnExecutedQuery(const QString& source, QSqlQuery& query, Connection& connection,
                             const QString& table = {}, bool withRowIdentity = false);

    struct Impl;

  private:
    friend class Field;
    static QHash<QString, QString> declaredTypesOf(Connection& connection, const QString& table);
    std::unique_ptr<Impl> d;
};

} // namespace host
