#pragma once
// Connection: the window's database connection, opened by a connection string, executing
// command text written in the SQL Server dialect. Every statement passes through the one
// dialect translator (sql_dialect.h) on its way to SQLite or PostgreSQL; SQL Server through
// ODBC receives it unchanged.
//
// Connection strings:
//   "Provider=SQLite;Data Source=/path/to/file.db"   (":memory:" for an in-memory database)
//   "Provider=PostgreSQL;Host=127.0.0.1;Port=5432;Database=name;User ID=user;Password=pw"
//   "Provider=ODBC;<ODBC connection string>"          (SQL Server through FreeTDS, or
//                                                      PostgreSQL through psqlODBC: the
//                                                      driver names the server, which decides
//                                                      the dialect)

#include "host/data/sql_dialect.h"
#include "runtime/errors.h"
#include "runtime/variant.h"

#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace host {

class Recordset;

// One entry of the connection's error collection, filled by the last failing operation.
struct DbError {
    int number = 0;
    QString description;
    QString sqlState;
};

enum ObjectState { adStateClosed = 0, adStateOpen = 1 };

// The server's words in a driver error, as one text: the breaks that continue a sentence
// and the SQLSTATE the driver appends in parentheses are taken out.
QString serverWords(const QSqlError& error);
// Whether a SQLSTATE says the session has ended: a connection exception (class 08), or the
// server shutting down, crashed or still starting (57P01, 57P02, 57P03).
bool sessionEndedBy(const QString& sqlState);

class Connection : public rt::Object, public std::enable_shared_from_this<Connection> {
  public:
    Connection();
    ~Connection() override;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QString ConnectionString;

    // Opens with ConnectionString (or the given one). Throws rt::Error (number rt::ErrDatabase,
    // the driver's message) and fills Errors() when the database cannot be opened.
    void Open(const QString& connectionString = {}, const QString& user = {},
              const QString& password = {});
    // Closes the connection; temporary tables of the connection end with it.
    void Close();
    int State() const;

    // A lost session: the server went away or ended it (stopped, restarted, the session
    // terminated). The statement that finds it fails with the server's words; the connection
    // stays open for the program and the next statement opens a new session first, with the
    // same connection string, then lets the restorer put back what the lost session held
    // (its temporary tables) before it runs. While the server is unreachable every statement
    // fails with the reason the new session could not be opened.
    bool isLost() const { return lost_; }
    void setSessionRestorer(std::function<void(Connection&)> restorer);
    Dialect dialect() const;

    // Executes command text. A statement that returns rows gives an open recordset positioned
    // on its first row (or at EOF when empty); any other statement gives a closed recordset.
    // Throws rt::Error with the server's message, filling Errors(), when the server refuses.
    // recordsAffected, when given, receives the rows a statement changed (-1 for a SELECT).
    std::shared_ptr<Recordset> Execute(const QString& commandText, long* recordsAffected = nullptr);

    // The error collection of the last failing operation (cleared by the next success).
    const QList<DbError>& Errors() const { return errors_; }

    // Statement trace: the command texts as the program wrote them, in order.
    const QStringList& trace() const { return trace_; }
    // The same statements as sent to the server after translation.
    const QStringList& translatedTrace() const { return translatedTrace_; }
    void clearTrace();

    // For the data layer itself (recordsets) and tests.
    QSqlDatabase database() const;
    QString translate(const QString& commandText) const;
    void recordTrace(const QString& original, const QString& translated);
    void setErrors(QList<DbError> errors) { errors_ = std::move(errors); }
    const DialectCatalog& catalog() const { return catalog_; }
    // SQLite: the declared type of a column of any table of the database ("" when unknown).
    QString declaredSqliteType(const QString& column);
    DialectCatalog& catalog() { return catalog_; }

    // Runs already translated text (exact numerics as text); throws and fills Errors() on
    // failure. Not traced: the trace holds the program's command texts.
    QSqlQuery runStatement(const QString& translatedText);
    // The same with positional parameters ("?"), every value bound as text or as a null.
    // PostgreSQL gets the values written into the text: Qt's driver would spend a round
    // trip each on PREPARE and DEALLOCATE around the statement.
    QSqlQuery runStatement(const QString& translatedText, const QVariantList& parameters);
    // Throws rt::Error 3704 when the connection is not open.
    void requireOpen() const;
    // Every statement sent to the server, traced or not (recordset updates, metadata).
    int statementCount() const { return statementCount_; }
    // Expires when the connection is destroyed; recordsets hold it to know.
    std::weak_ptr<void> lifetime() const { return lifetime_; }
    // Fills Errors() from the driver's error and throws it as rt::Error.
    [[noreturn]] void fail(const QSqlError& error);

    // ---- Writes held for one round trip (connection_together.cpp) ----
    // What became of one statement sent with others.
    struct StatementOutcome {
        bool ok = false;
        QString error;          // the server's words when not ok
        long rowsAffected = -1; // -1 when the driver cannot tell
        QVariant firstValue;    // the first column of the first row returned, if any
    };
    // Runs already translated statements as if each were sent alone (each its own
    // transaction outside an open one; a failure stops none of the others), in one round trip
    // where the driver allows it (PostgreSQL: the client library's pipeline), else one after
    // the other. Never throws for a statement: its outcome says.
    QList<StatementOutcome> runTogether(const QList<QPair<QString, QVariantList>>& statements);
    // While writes are held (see HeldWrites), writeLater queues a statement on a table whose
    // answer nothing waits for; the queue leaves in one round trip when the outermost holder
    // ends, or before any statement that names one of the queued tables.
    bool holdingWrites() const { return holdDepth_ > 0; }
    void writeLater(const QString& table, const QString& translatedText,
                    const QVariantList& parameters,
                    std::function<void(const StatementOutcome&)> done);
    void sendHeldWrites();

  private:
    friend class Recordset;
    friend class HeldWrites;
    struct HeldWrite {
        QString table;
        QString text;
        QVariantList parameters;
        std::function<void(const StatementOutcome&)> done;
    };
    // Sends the held writes first when the statement names one of their tables.
    void sendHeldWritesBefore(const QString& translatedText);
    QList<StatementOutcome> runPipelined(const QList<QPair<QString, QVariantList>>& statements);
    QList<StatementOutcome> runOneByOne(const QList<QPair<QString, QVariantList>>& statements);
    void openSession();
    void closeSession();
    void reopenLostSession();
    // After a failure: whether the session is gone, and the error as the user reads it.
    rt::Error failureOf(const QSqlError& sqlError);
    // Forgets the cached column types when the statement may change a table.
    void forgetColumnTypesAfter(const QString& statement);
    QSqlQuery newStatementQuery(const QString& translatedText);
    void learnCreatedDateColumns(const QString& commandText);
    void readDateColumns();
    void readSqliteDeclaredTypes();

    std::shared_ptr<int> lifetime_ = std::make_shared<int>(0);
    int statementCount_ = 0;
    QString qtConnectionName_;
    Dialect dialect_ = Dialect::SqlServer;
    bool open_ = false;
    bool lost_ = false;
    bool restoring_ = false;
    QString user_;
    QString password_;
    QString lostReason_; // the server's words when the session was found lost
    std::function<void(Connection&)> restorer_;
    QList<DbError> errors_;
    QStringList trace_;
    QStringList translatedTrace_;
    DialectCatalog catalog_;
    // The declared column types of the tables recordsets were read from (by upper-case column
    // name), so a SELECT does not ask the catalog again; emptied by anything but DML.
    QHash<QString, QHash<QString, QString>> tableColumnTypes_;
    int holdDepth_ = 0;
    bool sendingHeld_ = false;
    QList<HeldWrite> heldWrites_;
};

// Holds the writes of a connection for its lifetime (a pass over many rows): they leave
// together when it ends. Nested holders send at the outermost end.
class HeldWrites {
  public:
    explicit HeldWrites(Connection* connection);
    ~HeldWrites();
    HeldWrites(const HeldWrites&) = delete;
    HeldWrites& operator=(const HeldWrites&) = delete;

  private:
    Connection* connection_;
};

} // namespace host
