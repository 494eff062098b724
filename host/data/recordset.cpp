#include "host/data/recordset.h"

#include "host/data/sql_literal.h"

#include "host/data/connection.h"
#include "host/data/recordset_filter.h"
#include "host/data/recordset_values.h"
#include "runtime/errors.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

// Row identity for Update: the recordset fetches, with the rows of a single-table SELECT, a
// hidden column naming the stored row: SQLite's rowid (stable for the life of the row, also in
// temporary tables), PostgreSQL's ctid (the row version's address: it changes when the row is
// updated, so every UPDATE returns the new one with RETURNING and the cursor keeps it) or SQL
// Server's %%physloc%% (the row's place; an UPDATE keeps it). None needs a primary key, which
// the working tables do not have.

namespace host {
namespace {

const QString RowIdentityColumn = QStringLiteral("prz_row_identity");

rt::Error noCurrentRecord() {
    return rt::Error(3021, QStringLiteral("BOF o EOF è True oppure il record corrente è stato "
                                          "eliminato. L'operazione richiesta richiede un record "
                                          "corrente."));
}

rt::Error objectClosed() {
    return rt::Error(3704, QStringLiteral("Operazione non consentita se l'oggetto è chiuso."));
}

rt::Error objectOpen() {
    return rt::Error(3705, QStringLiteral("Operazione non consentita se l'oggetto è aperto."));
}

rt::Error noSuchItem() {
    return rt::Error(3265, QStringLiteral("Impossibile trovare l'elemento nell'insieme "
                                          "corrispondente al nome o al numero richiesto."));
}

rt::Error rowNotFound() {
    return rt::Error(-2147217864,
                     QStringLiteral("Impossibile trovare la riga per l'aggiornamento. Alcuni "
                                    "valori potrebbero essere stati modificati dall'ultima "
                                    "lettura."));
}

// The table of "SELECT list FROM table [WHERE ...] [ORDER BY ...]", empty for anything else.
QString singleTableOf(const QString& translatedSelect) {
    static const QRegularExpression simpleSelect(
        u"^\\s*SELECT\\s+(?!DISTINCT\\b|TOP\\b)([^()]+?)\\s+FROM\\s+([A-Za-z_][A-Za-z0-9_]*)"
        "(\\s+(WHERE|ORDER\\s+BY)\\b.*)?\\s*;?\\s*$"_qs,
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto m = simpleSelect.match(translatedSelect);
    return m.hasMatch() ? m.captured(2) : QString();
}

// Declared column types of a table, by upper-case column name, as the catalog tells them.
QHash<QString, QString> readDeclaredTypes(Connection& connection, const QString& table) {
    QHash<QString, QString> types;
    QSqlQuery query(connection.database());
    if (connection.dialect() == Dialect::SQLite) {
        query.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
        while (query.next())
            types.insert(query.value(1).toString().toUpper(), query.value(2).toString());
        return types;
    }
    // One round trip: a prepared query would add a PREPARE and a DEALLOCATE.
    query.exec(QStringLiteral("SELECT attname, format_type(atttypid, atttypmod) FROM pg_attribute "
                              "WHERE attrelid = to_regclass(%1) AND attnum > 0 AND NOT "
                              "attisdropped")
                   .arg(quotedSqlText(table)));
    while (query.next())
        types.insert(query.value(0).toString().toUpper(), query.value(1).toString());
    return types;
}

// The column facts of a declared type; the same few types come back on every SELECT.
ColumnInfo columnOfDeclaredType(const QString& declaredType) {
    thread_local QHash<QString, ColumnInfo> known;
    const auto it = known.constFind(declaredType);
    if (it != known.cend())
        return *it;
    const ColumnInfo info = columnFromDeclaredType(declaredType);
    known.insert(declaredType, info);
    return info;
}

// PostgreSQL folds unquoted names to lower case; the program writes them in upper case and
// tests them case-sensitively, so a name that comes back all lower case is given back upper.
QString reportedName(const QString& name, Dialect dialect) {
    if (dialect == Dialect::PostgreSQL && name == name.toLower())
        return name.toUpper();
    return name;
}

} // namespace

struct Recordset::Impl {
    struct Row {
        std::vector<rt::Variant> values;
        std::vector<rt::Variant> original;
        std::vector<bool> changed;
        QVariant identity;
        bool dirty = false;
        bool writePending = false; // its UPDATE is held by the connection
    };

    bool open = false;
    QString source;
    QString filterText;
    Connection* connection = nullptr;
    std::weak_ptr<void> connectionAlive;
    Dialect dialect = Dialect::SqlServer;
    QString table; // the table rows are written back to; empty when not updatable
    bool hasIdentity = false;
    std::function<void(Recordset&)> afterBatchUpdate;
    std::vector<ColumnInfo> columns;
    std::vector<Row> rows;
    std::vector<int> view; // indexes of the rows visible through the filter
    int position = 0;      // index into view; -1 before the first, view.size() after the last

    void requireOpen() const {
        if (!open)
            throw objectClosed();
    }
    bool bof() const { return view.empty() || position < 0; }
    bool eof() const { return view.empty() || position >= int(view.size()); }
    Row& current() {
        requireOpen();
        if (bof() || eof())
            throw noCurrentRecord();
        return rows[std::size_t(view[std::size_t(position)])];
    }
    int columnIndex(const QString& name) const {
        // Names equal ignoring case have the same length; most callers spell them exactly.
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const QString& column = columns[i].name;
            if (column.size() == name.size() &&
                (column == name || column.compare(name, Qt::CaseInsensitive) == 0))
                return int(i);
        }
        return -1;
    }
    void requireWritable() const;
    void writeRow(Row& row);
    void holdWrite(Row& row, const QString& statement, const QVariantList& parameters);
    // Indexes of the rows that pass a filter expression (all for an empty one).
    std::vector<int> rowsPassing(const QString& expression) const;
    // Expires when the rows go (closed, destroyed): held writes then have no row to tell.
    std::shared_ptr<int> aliveToken = std::make_shared<int>(0);
};

Recordset::Recordset() : d(std::make_unique<Impl>()) {}
Recordset::~Recordset() = default;

void Recordset::Open(const QString& source, Connection& connection) {
    if (d->open)
        throw objectOpen();
    connection.requireOpen();
    const QString translated = connection.translate(source);
    connection.recordTrace(source, translated);
    const QString table = singleTableOf(translated);
    if (!table.isEmpty() && !rowIdentityColumn(connection.dialect()).isEmpty()) {
        try {
            QSqlQuery query = connection.runStatement(
                selectWithRowIdentity(translated, RowIdentityColumn, connection.dialect()));
            openOnExecutedQuery(source, query, connection, table, true);
            return;
        } catch (const rt::Error&) {
            // Not a plain table (a view, say): read it without a row identity. A lost session
            // is the user's to retry, never a reason to read the rows some other way.
            if (connection.isLost())
                throw;
        }
    }
    QSqlQuery query = connection.runStatement(translated);
    if (query.isSelect())
        openOnExecutedQuery(source, query, connection, table, false);
}

void Recordset::openOnExecutedQuery(const QString& source, QSqlQuery& query, Connection& connection,
                                    const QString& table, bool withRowIdentityColumn) {
    Impl& s = *d;
    s = Impl();
    s.source = source;
    s.connection = &connection;
    s.connectionAlive = connection.lifetime();
    s.dialect = connection.dialect();
    s.table = table;
    s.hasIdentity = withRowIdentityColumn;
    // Every row is taken before the column types are looked up: PostgreSQL delivers a
    // forward-only result row by row, and another statement would discard the rest.
    const QSqlRecord record = query.record();
    const int first = withRowIdentityColumn ? 1 : 0;
    std::vector<std::vector<QVariant>> raw;
    while (query.next()) {
        std::vector<QVariant> values;
        values.reserve(std::size_t(record.count()));
        for (int i = 0; i < record.count(); ++i)
            values.push_back(query.value(i));
        raw.push_back(std::move(values));
    }
    query.finish();
    const QHash<QString, QString> declared = declaredTypesOf(connection, table);
    const bool throughOdbc = connection.database().driverName() == QLatin1String("QODBC");
    for (int i = first; i < record.count(); ++i) {
        const QSqlField field = record.field(i);
        const QString name = reportedName(field.name(), s.dialect);
        const auto known = declared.constFind(name.toUpper());
        const QString decl =
            known != declared.cend() ? *known : connection.declaredSqliteType(name);
        ColumnInfo info =
            !decl.isEmpty()
                ? columnOfDeclaredType(decl)
                : columnFromDriverField(field, s.dialect,
                                        connection.catalog().dateColumns.contains(name.toUpper()),
                                        throughOdbc);
        info.name = name;
        s.columns.push_back(info);
    }
    for (const std::vector<QVariant>& values : raw) {
        Impl::Row row;
        if (withRowIdentityColumn)
            row.identity = values[0];
        row.values.reserve(s.columns.size());
        for (std::size_t c = 0; c < s.columns.size(); ++c)
            row.values.push_back(fromDriverValue(values[c + std::size_t(first)], s.columns[c]));
        row.original = row.values;
        row.changed.assign(s.columns.size(), false);
        s.rows.push_back(std::move(row));
    }
    for (std::size_t i = 0; i < s.rows.size(); ++i)
        s.view.push_back(int(i));
    s.position = 0;
    s.open = true;
}

// The declared types of a table's columns: read once per connection and table, again after
// any statement that may have changed a table.
QHash<QString, QString> Recordset::declaredTypesOf(Connection& connection, const QString& table) {
    if (table.isEmpty() || connection.dialect() == Dialect::SqlServer)
        return {};
    const auto cached = connection.tableColumnTypes_.constFind(table);
    if (cached != connection.tableColumnTypes_.cend())
        return *cached;
    QHash<QString, QString> types = readDeclaredTypes(connection, table);
    connection.tableColumnTypes_.insert(table, types);
    return types;
}

void Recordset::Close() {
    d->requireOpen();
    *d = Impl();
}

int Recordset::State() const {
    return d->open ? 1 : 0;
}

QString Recordset::Source() const {
    return d->source;
}

bool Recordset::BOF() const {
    d->requireOpen();
    return d->bof();
}

bool Recordset::IsEOF() const {
    d->requireOpen();
    return d->eof();
}

void Recordset::MoveFirst() {
    d->requireOpen();
    if (d->view.empty())
        throw noCurrentRecord();
    d->position = 0;
}

void Recordset::MoveLast() {
    d->requireOpen();
    if (d->view.empty())
        throw noCurrentRecord();
    d->position = int(d->view.size()) - 1;
}

void Recordset::MoveNext() {
    d->requireOpen();
    if (d->eof())
        throw noCurrentRecord();
    ++d->position;
}

void Recordset::MovePrevious() {
    d->requireOpen();
    if (d->bof())
        throw noCurrentRecord();
    --d->position;
}

int Recordset::RecordCount() const {
    d->requireOpen();
    return int(d->view.size());
}

int Recordset::AbsolutePosition() const {
    d->requireOpen();
    if (d->view.empty())
        return -1;
    if (d->bof())
        return -2;
    if (d->eof())
        return -3;
    return d->position + 1;
}

void Recordset::setAbsolutePosition(int position) {
    d->requireOpen();
    if (position < 1 || position > int(d->view.size()))
        throw rt::Error(3001, QStringLiteral("Gli argomenti non sono del tipo corretto, non "
                                             "rientrano nell'intervallo accettabile o sono in "
                                             "conflitto."));
    d->position = position - 1;
}

// A bookmark is the row's place among all fetched rows, so it outlives any filter.
rt::Variant Recordset::Bookmark() const {
    d->current();
    return rt::Variant(std::int32_t(d->view[std::size_t(d->position)] + 1));
}

void Recordset::setBookmark(const rt::Variant& bookmark) {
    d->requireOpen();
    const auto row = bookmark.isNumeric() ? toDecimal(bookmark) : std::nullopt;
    if (row) {
        const auto target = int(row->toInt64()) - 1;
        for (std::size_t i = 0; i < d->view.size(); ++i) {
            if (d->view[i] == target) {
                d->position = int(i);
                return;
            }
        }
    }
    throw rt::Error(3001, QStringLiteral("Gli argomenti non sono del tipo corretto, non "
                                         "rientrano nell'intervallo accettabile o sono in "
                                         "conflitto."));
}

std::vector<int> Recordset::Impl::rowsPassing(const QString& expression) const {
    std::vector<int> passing;
    if (expression.trimmed().isEmpty()) {
        for (std::size_t i = 0; i < rows.size(); ++i)
            passing.push_back(int(i));
        return passing;
    }
    const RecordFilter filter = RecordFilter::parse(expression, [this](const QString& name) {
        const int index = columnIndex(name);
        if (index < 0)
            throw rt::Error(3001, QStringLiteral("Gli argomenti non sono del tipo corretto, "
                                                 "non rientrano nell'intervallo accettabile "
                                                 "o sono in conflitto."));
        return index;
    });
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (filter.matches(rows[i].values))
            passing.push_back(int(i));
    return passing;
}

void Recordset::setFilter(const QString& expression) {
    d->requireOpen();
    d->view = d->rowsPassing(expression);
    d->filterText = expression.trimmed();
    d->position = 0;
}

std::shared_ptr<Recordset> Recordset::rowsMatching(const QString& expression) const {
    d->requireOpen();
    auto copy = std::make_shared<Recordset>();
    Impl& c = *copy->d;
    c.open = true;
    c.source = d->source;
    c.connection = d->connection;
    c.connectionAlive = d->connectionAlive;
    c.dialect = d->dialect;
    c.columns = d->columns; // no table: a copy has nothing to write back to
    for (const int i : d->rowsPassing(expression)) {
        c.view.push_back(int(c.rows.size()));
        c.rows.push_back(d->rows[std::size_t(i)]);
    }
    return copy;
}

void Recordset::setFilter(FilterGroup) {
    setFilter(QString());
}

QString Recordset::Filter() const {
    return d->filterText;
}

int Recordset::FieldCount() const {
    d->requireOpen();
    return int(d->columns.size());
}

Field Recordset::Fields(int index) {
    d->requireOpen();
    if (index < 0 || index >= int(d->columns.size()))
        throw noSuchItem();
    return Field(this, index);
}

Field Recordset::Fields(const QString& name) {
    d->requireOpen();
    const int index = d->columnIndex(name);
    if (index < 0)
        throw noSuchItem();
    return Field(this, index);
}

bool Recordset::hasField(const QString& name) const {
    return d->open && d->columnIndex(name) >= 0;
}

void Recordset::Update() {
    Impl::Row& row = d->current();
    if (row.dirty)
        d->writeRow(row);
}

void Recordset::UpdateBatch(int affect) {
    if (affect == adAffectCurrent) {
        Impl::Row& row = d->current();
        if (!row.dirty)
            return;
        d->writeRow(row);
    } else {
        d->requireOpen();
        bool wrote = false;
        for (Impl::Row& row : d->rows) {
            if (row.dirty) {
                d->writeRow(row);
                wrote = true;
            }
        }
        if (!wrote)
            return;
    }
    if (d->afterBatchUpdate)
        d->afterBatchUpdate(*this);
}

void Recordset::setAfterBatchUpdate(std::function<void(Recordset&)> handler) {
    d->afterBatchUpdate = std::move(handler);
}

void Recordset::Impl::requireWritable() const {
    if (connectionAlive.expired())
        throw objectClosed();
    if (table.isEmpty() || !hasIdentity)
        throw rt::Error(3251, QStringLiteral("Il recordset non supporta gli aggiornamenti. "
                                             "Questo potrebbe essere dovuto a una limitazione "
                                             "del provider o del tipo di blocco selezionato."));
}

void Recordset::writeRowsIntoNewTable() {
    d->requireOpen();
    d->requireWritable();
    QStringList names;
    for (const ColumnInfo& column : d->columns)
        names << column.name;
    const QString statement = insertRowStatement(d->table, names, d->dialect);
    const bool returning = insertReturnsRowIdentity(d->dialect);
    QSet<QByteArray> held; // the identities of the rows written so far, where not returned
    for (Impl::Row& row : d->rows) {
        QVariantList parameters;
        for (std::size_t c = 0; c < d->columns.size(); ++c)
            parameters << toDriverParameter(row.values[c], d->columns[c], d->dialect);
        QSqlQuery query = d->connection->runStatement(statement, parameters);
        if (returning) {
            if (!query.next())
                throw rowNotFound();
            row.identity = query.value(0);
        } else {
            // The table is new and this cursor's alone: the row just written is the one whose
            // place no row written before holds.
            row.identity = QVariant();
            QSqlQuery places = d->connection->runStatement(allRowIdentities(d->table, d->dialect));
            while (places.next()) {
                const QByteArray place = places.value(0).toByteArray();
                if (!held.contains(place)) {
                    row.identity = places.value(0);
                    held.insert(place);
                    break;
                }
            }
            if (!row.identity.isValid())
                throw rowNotFound();
        }
        row.original = row.values;
        row.changed.assign(d->columns.size(), false);
        row.dirty = false;
    }
}

void Recordset::Impl::writeRow(Row& row) {
    requireWritable();
    if (row.writePending) // its identity comes with the answer to the held write
        connection->sendHeldWrites();
    QStringList assigned;
    QVariantList parameters;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (!row.changed[c])
            continue;
        assigned << columns[c].name;
        parameters << toDriverParameter(row.values[c], columns[c], dialect);
    }
    parameters << row.identity;
    const QString statement = updateRowStatement(table, assigned, dialect);
    if (connection->holdingWrites())
        return holdWrite(row, statement, parameters);
    QSqlQuery query = connection->runStatement(statement, parameters);
    if (!returningRowIdentity(dialect).isEmpty()) {
        if (!query.next())
            throw rowNotFound();
        row.identity = query.value(0);
    } else if (query.numRowsAffected() == 0) {
        throw rowNotFound();
    }
    row.original = row.values;
    row.changed.assign(columns.size(), false);
    row.dirty = false;
}

// The row counts as written at once; when the held write fails or finds no row, the row takes
// its changes back, so that the next Update writes them again.
void Recordset::Impl::holdWrite(Row& row, const QString& statement,
                                const QVariantList& parameters) {
    const std::size_t index = std::size_t(&row - rows.data());
    const std::vector<bool> changed = row.changed;
    const std::weak_ptr<int> alive = aliveToken;
    const bool returning = !returningRowIdentity(dialect).isEmpty();
    row.writePending = true;
    row.original = row.values;
    row.changed.assign(columns.size(), false);
    row.dirty = false;
    connection->writeLater(
        table, statement, parameters, [this, index, changed, alive, returning](const auto& o) {
            if (alive.expired() || index >= rows.size())
                return;
            Row& written = rows[index];
            written.writePending = false;
            if (o.ok && (returning ? !o.firstValue.isNull() : o.rowsAffected != 0)) {
                if (returning)
                    written.identity = o.firstValue;
                return;
            }
            for (std::size_t c = 0; c < changed.size() && c < written.changed.size(); ++c)
                if (changed[c])
                    written.changed[c] = true;
            written.dirty = true;
        });
}

// ---- Field ----

QString Field::Name() const {
    return rs_->d->columns[std::size_t(index_)].name;
}

int Field::Type() const {
    return rs_->d->columns[std::size_t(index_)].type;
}

int Field::Precision() const {
    return rs_->d->columns[std::size_t(index_)].precision;
}

int Field::NumericScale() const {
    return rs_->d->columns[std::size_t(index_)].scale;
}

int Field::DefinedSize() const {
    return rs_->d->columns[std::size_t(index_)].size;
}

rt::Variant Field::Value() const {
    return rs_->d->current().values[std::size_t(index_)];
}

rt::Variant Field::OriginalValue() const {
    return rs_->d->current().original[std::size_t(index_)];
}

void Field::setValue(const rt::Variant& v) {
    auto& row = rs_->d->current();
    const auto c = std::size_t(index_);
    row.values[c] = assignedValue(v, rs_->d->columns[c]);
    row.changed[c] = true;
    row.dirty = true;
}

} // namespace host
