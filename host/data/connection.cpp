#include "host/data/connection.h"

#include "host/data/recordset.h"
#include "runtime/errors.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <atomic>

namespace host {
namespace {

std::atomic<int> connectionCounter{0};

struct ConnectionSettings {
    QString provider;
    QHash<QString, QString> values; // keys in lower case
    QString odbcString;
};

ConnectionSettings parseConnectionString(const QString& text) {
    ConnectionSettings settings;
    const QStringList parts = text.split(u';');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString key = parts[i].section(u'=', 0, 0).trimmed().toLower();
        const QString value = parts[i].section(u'=', 1).trimmed();
        if (key == u"provider") {
            settings.provider = value.toLower();
            if (settings.provider == u"odbc")
                settings.odbcString = parts.mid(i + 1).join(u';');
            if (settings.provider == u"odbc")
                break;
        } else if (!key.isEmpty()) {
            settings.values.insert(key, value);
        }
    }
    return settings;
}

QString firstOf(const ConnectionSettings& s, std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
        const auto it = s.values.find(QString::fromLatin1(key));
        if (it != s.values.end())
            return *it;
    }
    return {};
}

DbError errorOf(const QSqlError& e) {
    DbError error;
    error.number = rt::ErrDatabase;
    error.description = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    error.sqlState = e.nativeErrorCode();
    return error;
}

// Statements that read or write rows and leave every table's columns as they are. Anything
// else (DDL, PRAGMA, transaction control, ...) is treated as a possible change of a table.
bool leavesTablesAsTheyAre(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    const QStringView rest = QStringView(text).mid(i);
    for (const char* keyword : {"SELECT", "INSERT", "UPDATE", "DELETE"}) {
        const QLatin1String word(keyword);
        if (rest.startsWith(word, Qt::CaseInsensitive) &&
            (rest.size() == word.size() ||
             !(rest[word.size()].isLetterOrNumber() || rest[word.size()] == u'_')))
            return true;
    }
    return false;
}

// "TABLE" in any case. No character outside ASCII folds to one of its letters, so an ASCII
// comparison finds what a case-insensitive search would.
bool containsWordTable(const QString& text) {
    static constexpr char16_t table[] = u"table";
    for (qsizetype i = 0; i + 5 <= text.size(); ++i) {
        qsizetype k = 0;
        while (k < 5 && (text[i + k].unicode() | 0x20) == table[k])
            ++k;
        if (k == 5)
            return true;
    }
    return false;
}

bool returnsRows(const QString& text) {
    static const QRegularExpression select(u"^\\s*(SELECT|WITH)\\b"_qs,
                                           QRegularExpression::CaseInsensitiveOption);
    return select.match(text).hasMatch();
}

} // namespace

Connection::Connection() = default;

Connection::~Connection() {
    Close();
}

void Connection::Open(const QString& connectionString, const QString& user,
                      const QString& password) {
    if (!connectionString.isEmpty())
        ConnectionString = connectionString;
    Close();
    const ConnectionSettings settings = parseConnectionString(ConnectionString);
    qtConnectionName_ = QStringLiteral("prezzolampo_connection_%1").arg(++connectionCounter);
    QSqlDatabase db;
    if (settings.provider == u"sqlite" || settings.provider == u"qsqlite") {
        dialect_ = Dialect::SQLite;
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), qtConnectionName_);
        db.setDatabaseName(firstOf(settings, {"data source", "database"}));
    } else if (settings.provider == u"postgresql" || settings.provider == u"qpsql") {
        dialect_ = Dialect::PostgreSQL;
        db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), qtConnectionName_);
        db.setHostName(firstOf(settings, {"host", "server"}));
        const QString port = firstOf(settings, {"port"});
        if (!port.isEmpty())
            db.setPort(port.toInt());
        db.setDatabaseName(firstOf(settings, {"database", "initial catalog"}));
        db.setUserName(user.isEmpty() ? firstOf(settings, {"user id", "user", "username", "uid"})
                                      : user);
        db.setPassword(password.isEmpty() ? firstOf(settings, {"password", "pwd"}) : password);
    } else if (settings.provider == u"odbc" || settings.provider == u"qodbc") {
        dialect_ = Dialect::SqlServer;
        db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), qtConnectionName_);
        db.setDatabaseName(settings.odbcString);
        if (!user.isEmpty())
            db.setUserName(user);
        if (!password.isEmpty())
            db.setPassword(password);
    } else {
        qtConnectionName_.clear();
        const DbError error{
            rt::ErrDatabase, QStringLiteral("Provider non riconosciuto: ") + settings.provider, {}};
        errors_ = {error};
        throw rt::Error(error.number, error.description);
    }
    if (!db.open()) {
        const DbError error = errorOf(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(qtConnectionName_);
        qtConnectionName_.clear();
        errors_ = {error};
        throw rt::Error(error.number, error.description);
    }
    open_ = true;
    errors_.clear();
    if (dialect_ == Dialect::PostgreSQL) // no notices such as "table ... does not exist, skipping"
        QSqlQuery(database()).exec(QStringLiteral("SET client_min_messages = warning"));
    readDateColumns();
}

void Connection::Close() {
    if (qtConnectionName_.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(qtConnectionName_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(qtConnectionName_);
    qtConnectionName_.clear();
    open_ = false;
    tableColumnTypes_.clear();
}

int Connection::State() const {
    return open_ ? adStateOpen : adStateClosed;
}

Dialect Connection::dialect() const {
    return dialect_;
}

QSqlDatabase Connection::database() const {
    return QSqlDatabase::database(qtConnectionName_, false);
}

QString Connection::translate(const QString& commandText) const {
    return translateSql(commandText, dialect_, catalog_);
}

void Connection::recordTrace(const QString& original, const QString& translated) {
    trace_.append(original);
    translatedTrace_.append(translated);
}

void Connection::clearTrace() {
    trace_.clear();
    translatedTrace_.clear();
}

void Connection::requireOpen() const {
    if (!open_)
        throw rt::Error(3704, QStringLiteral("Operazione non consentita se l'oggetto è chiuso."));
}

std::shared_ptr<Recordset> Connection::Execute(const QString& commandText) {
    requireOpen();
    auto recordset = std::make_shared<Recordset>();
    if (returnsRows(commandText)) {
        recordset->Open(commandText, *this);
        return recordset;
    }
    const QString translated = translate(commandText);
    recordTrace(commandText, translated);
    QSqlQuery query = runStatement(translated);
    if (query.isSelect())
        recordset->openOnExecutedQuery(commandText, query, *this);
    else
        learnCreatedDateColumns(commandText);
    return recordset;
}

// A query for one statement: numbers exact (as text), rows read once, counted.
QSqlQuery Connection::newStatementQuery(const QString& translatedText) {
    requireOpen();
    QSqlQuery query(database());
    query.setNumericalPrecisionPolicy(QSql::HighPrecision);
    query.setForwardOnly(true);
    ++statementCount_;
    forgetColumnTypesAfter(translatedText);
    return query;
}

QSqlQuery Connection::runStatement(const QString& translatedText) {
    QSqlQuery query = newStatementQuery(translatedText);
    if (!query.exec(translatedText))
        fail(query.lastError());
    errors_.clear();
    return query;
}

QSqlQuery Connection::runStatement(const QString& translatedText, const QVariantList& parameters) {
    QSqlQuery query = newStatementQuery(translatedText);
    if (!query.prepare(translatedText))
        fail(query.lastError());
    for (const QVariant& value : parameters)
        query.addBindValue(value);
    if (!query.exec())
        fail(query.lastError());
    errors_.clear();
    return query;
}

void Connection::fail(const QSqlError& sqlError) {
    const DbError error = errorOf(sqlError);
    errors_ = {error};
    throw rt::Error(error.number, error.description);
}

void Connection::forgetColumnTypesAfter(const QString& statement) {
    if (!tableColumnTypes_.isEmpty() && !leavesTablesAsTheyAre(statement))
        tableColumnTypes_.clear();
}

void Connection::learnCreatedDateColumns(const QString& commandText) {
    // Neither a CREATE TABLE nor any other change of a table can be without the word TABLE.
    if (!containsWordTable(commandText))
        return;
    const QSet<QString> columns = dateColumnsOfCreateTable(commandText);
    catalog_.dateColumns.unite(columns);
    static const QRegularExpression ddl(QStringLiteral("\\b(CREATE|DROP|ALTER)\\s+TABLE\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    if (ddl.match(commandText).hasMatch())
        catalog_.declaredTypesStale = true;
}

QString Connection::declaredSqliteType(const QString& column) {
    if (dialect_ != Dialect::SQLite)
        return {};
    if (catalog_.declaredTypesStale)
        readSqliteDeclaredTypes();
    return catalog_.declaredTypes.value(column.toUpper());
}

void Connection::readSqliteDeclaredTypes() {
    catalog_.declaredTypes.clear();
    QSqlQuery query(database());
    query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' UNION ALL "
                              "SELECT name FROM sqlite_temp_master WHERE type = 'table'"));
    QStringList tables;
    while (query.next())
        tables << query.value(0).toString();
    for (const QString& table : tables) {
        QSqlQuery info(database());
        info.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
        while (info.next())
            catalog_.declaredTypes.insert(info.value(1).toString().toUpper(),
                                          info.value(2).toString());
    }
    catalog_.declaredTypesStale = false;
}

// The translator needs the date columns of the tables already in the database.
void Connection::readDateColumns() {
    if (dialect_ == Dialect::SqlServer)
        return;
    QSqlQuery query(database());
    if (dialect_ == Dialect::PostgreSQL) {
        query.exec(QStringLiteral(
            "SELECT DISTINCT upper(column_name) FROM information_schema.columns "
            "WHERE data_type IN ('timestamp without time zone', 'timestamp with time zone', "
            "'date') AND table_schema NOT IN ('pg_catalog', 'information_schema')"));
        while (query.next())
            catalog_.dateColumns.insert(query.value(0).toString());
        return;
    }
    query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
    QStringList tables;
    while (query.next())
        tables << query.value(0).toString();
    for (const QString& table : tables) {
        QSqlQuery info(database());
        info.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
        while (info.next()) {
            const QString type = info.value(2).toString().toLower();
            if (type.contains(u"date") || type.contains(u"time"))
                catalog_.dateColumns.insert(info.value(1).toString().toUpper());
        }
    }
}

} // namespace host
