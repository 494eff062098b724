#include "host/data/connection.h"

#include "host/data/odbc_server.h"
#include "host/data/recordset.h"
#include "host/data/sql_literal.h"
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

QString serverWords(const QSqlError& error) {
    QString words = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    static const QRegularExpression appendedState(u"\\([0-9A-Z]{0,5}\\)\\s*$"_qs);
    words.remove(appendedState);
    static const QRegularExpression continuation(u"\\s*\\n\\t\\s*"_qs);
    words.replace(continuation, QStringLiteral(" "));
    return words.trimmed();
}

bool sessionEndedBy(const QString& sqlState) {
    return sqlState.startsWith(u"08") || sqlState == u"57P01" || sqlState == u"57P02" ||
           sqlState == u"57P03";
}

Connection::Connection() = default;

Connection::~Connection() {
    Close();
}

void Connection::Open(const QString& connectionString, const QString& user,
                      const QString& password) {
    if (!connectionString.isEmpty())
        ConnectionString = connectionString;
    Close();
    user_ = user;
    password_ = password;
    openSession();
    open_ = true;
}

void Connection::openSession() {
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
        db.setUserName(user_.isEmpty() ? firstOf(settings, {"user id", "user", "username", "uid"})
                                       : user_);
        db.setPassword(password_.isEmpty() ? firstOf(settings, {"password", "pwd"}) : password_);
        // An unreachable server host answers "timeout expired" instead of freezing the window.
        db.setConnectOptions(QStringLiteral("connect_timeout=10"));
    } else if (settings.provider == u"odbc" || settings.provider == u"qodbc") {
        dialect_ = Dialect::SqlServer;
        db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), qtConnectionName_);
        db.setDatabaseName(settings.odbcString);
        if (!user_.isEmpty())
            db.setUserName(user_);
        if (!password_.isEmpty())
            db.setPassword(password_);
    } else {
        qtConnectionName_.clear();
        const DbError error{
            rt::ErrDatabase, QStringLiteral("Provider non riconosciuto: ") + settings.provider, {}};
        errors_ = {error};
        throw rt::Error(error.number, error.description);
    }
    if (!db.open()) {
        DbError error = errorOf(db.lastError());
        error.description = serverWords(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(qtConnectionName_);
        qtConnectionName_.clear();
        errors_ = {error};
        throw rt::Error(error.number, error.description);
    }
    if (db.driverName() == QLatin1String("QODBC"))
        dialect_ = dialectOfOdbcServer(odbcServerName(db));
    lost_ = false;
    lostReason_.clear();
    errors_.clear();
    if (dialect_ == Dialect::PostgreSQL) // no notices such as "table ... does not exist, skipping"
        QSqlQuery(database()).exec(QStringLiteral("SET client_min_messages = warning"));
    readDateColumns();
}

void Connection::Close() {
    closeSession();
    open_ = false;
    lost_ = false;
}

void Connection::closeSession() {
    if (qtConnectionName_.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(qtConnectionName_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(qtConnectionName_);
    qtConnectionName_.clear();
    tableColumnTypes_.clear();
}

void Connection::setSessionRestorer(std::function<void(Connection&)> restorer) {
    restorer_ = std::move(restorer);
}

// A new session in place of the lost one. The restorer runs its statements on the new
// session; when it fails, the session counts as lost again, so the next statement starts over
// from a fresh session rather than from a half-restored one.
void Connection::reopenLostSession() {
    if (!lost_ || restoring_)
        return;
    closeSession();
    try {
        openSession();
    } catch (const rt::Error&) {
        lost_ = true;
        const QString words = errors_.isEmpty() ? QString() : errors_.first().description;
        throw rt::Error(rt::ErrDatabase,
                        QStringLiteral("Connessione al database non ripristinata: ") + words);
    }
    if (!restorer_)
        return;
    restoring_ = true;
    try {
        restorer_(*this);
    } catch (...) {
        restoring_ = false;
        lost_ = true;
        throw;
    }
    restoring_ = false;
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

std::shared_ptr<Recordset> Connection::Execute(const QString& commandText, long* recordsAffected) {
    requireOpen();
    auto recordset = std::make_shared<Recordset>();
    if (recordsAffected)
        *recordsAffected = -1;
    if (returnsRows(commandText)) {
        recordset->Open(commandText, *this);
        return recordset;
    }
    const QString translated = translate(commandText);
    recordTrace(commandText, translated);
    QSqlQuery query = runStatement(translated);
    if (query.isSelect()) {
        recordset->openOnExecutedQuery(commandText, query, *this);
    } else {
        if (recordsAffected)
            *recordsAffected = query.numRowsAffected();
        learnCreatedDateColumns(commandText);
    }
    return recordset;
}

// A query for one statement: numbers exact (as text), rows read once, counted. A session that
// ended unnoticed, or that a failure found lost, is opened again first.
QSqlQuery Connection::newStatementQuery(const QString& translatedText) {
    requireOpen();
    sendHeldWritesBefore(translatedText);
    if (!lost_ && !restoring_ && !database().isOpen())
        lost_ = true;
    reopenLostSession();
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
    if (dialect_ == Dialect::PostgreSQL && database().driverName() == QLatin1String("QPSQL"))
        return runStatement(withParametersWritten(translatedText, parameters));
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
    throw failureOf(sqlError);
}

rt::Error Connection::failureOf(const QSqlError& sqlError) {
    DbError error = errorOf(sqlError);
    // The driver sees a dead session (its isOpen asks the client library) once it has read
    // the end of the stream; a server that announced its shutdown says so by SQLSTATE first.
    if (!database().isOpen() || sessionEndedBy(error.sqlState)) {
        lost_ = true;
        const QString words = serverWords(sqlError);
        // A statement on a session the driver had already closed carries no text of its own.
        if (!words.isEmpty())
            lostReason_ = words;
        else if (lostReason_.isEmpty())
            lostReason_ = QStringLiteral("la sessione non è più aperta");
        error.description = lostReason_;
        errors_ = {error};
        return rt::Error(error.number,
                         QStringLiteral("Connessione al database interrotta: ") + lostReason_);
    }
    errors_ = {error};
    return rt::Error(error.number, error.description);
}

void Connection::forgetColumnTypesAfter(const QString& statement) {
    if (tableColumnTypes_.isEmpty() || leavesTablesAsTheyAre(statement))
        return;
    // One table made, dropped or altered: only its own types go (a working table made for a
    // load leaves the stored table's types known). Anything else may change any table.
    static const QRegularExpression oneTable(
        u"^\\s*(CREATE\\s+(TEMP(ORARY)?\\s+)?TABLE|ALTER\\s+TABLE|DROP\\s+TABLE(\\s+IF\\s+"
        "EXISTS)?)\\s+\"?([A-Za-z_][A-Za-z0-9_]*)\"?(.*)$"_qs,
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto m = oneTable.match(statement);
    const bool dropsMore = m.captured(1).startsWith(u"DROP", Qt::CaseInsensitive) &&
                           !m.captured(6).trimmed().remove(u';').isEmpty();
    if (!m.hasMatch() || dropsMore) {
        tableColumnTypes_.clear();
        return;
    }
    const QString table = m.captured(5);
    tableColumnTypes_.removeIf(
        [&](const auto& entry) { return entry.key().compare(table, Qt::CaseInsensitive) == 0; });
}

void Connection::learnCreatedDateColumns(const QString& commandText) {
    // Neither a CREATE TABLE nor any other change of a table can be without the word TABLE.
    if (!containsWordTable(commandText))
        return;
    const QSet<QString> columns = dateColumnsOfCreateTable(commandText);
    catalog_.dateColumns.unite(columns);
    // The column types of a table just made are those its CREATE declared: no catalog trip.
    const CreatedTable created = createdTableOf(commandText);
    if (!created.name.isEmpty() && !created.declaredTypes.isEmpty() &&
        dialect_ == Dialect::PostgreSQL)
        tableColumnTypes_.insert(created.name, created.declaredTypes);
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
