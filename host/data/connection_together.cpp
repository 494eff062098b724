// Statements sent together: one round trip for several statements whose answers nothing waits
// for, and the writes a pass holds until it ends.
#include "host/data/connection.h"
#include "host/data/sql_literal.h"

#include <QSqlDriver>
#include <libpq-fe.h>
#include <utility>

namespace host {
namespace {

// The PostgreSQL session under Qt's driver; nullptr when it is not one, or not idle.
PGconn* idleSessionOf(const QSqlDatabase& db) {
    if (db.driverName() != QLatin1String("QPSQL") || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    // Qt registers the handle under the client library's struct name.
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        return nullptr;
    PGconn* session = *static_cast<PGconn* const*>(handle.constData());
    if (!session || PQstatus(session) != CONNECTION_OK ||
        PQpipelineStatus(session) != PQ_PIPELINE_OFF || PQisBusy(session))
        return nullptr;
    return session;
}

Connection::StatementOutcome outcomeOf(const PGresult* result) {
    Connection::StatementOutcome o;
    const ExecStatusType status = PQresultStatus(result);
    o.ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
    if (!o.ok) {
        o.error = QString::fromUtf8(PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY));
        return o;
    }
    const QByteArray affected(PQcmdTuples(const_cast<PGresult*>(result)));
    o.rowsAffected = affected.isEmpty() ? -1 : affected.toLong();
    if (PQntuples(result) > 0 && PQnfields(result) > 0 && !PQgetisnull(result, 0, 0))
        o.firstValue = QString::fromUtf8(PQgetvalue(result, 0, 0));
    return o;
}

} // namespace

HeldWrites::HeldWrites(Connection* connection) : connection_(connection) {
    if (connection_)
        ++connection_->holdDepth_;
}

HeldWrites::~HeldWrites() {
    if (!connection_ || --connection_->holdDepth_ > 0)
        return;
    try {
        connection_->sendHeldWrites();
    } catch (const rt::Error&) {
        // Each write's own outcome has told its owner; a closed connection takes them along.
    }
}

void Connection::writeLater(const QString& table, const QString& translatedText,
                            const QVariantList& parameters,
                            std::function<void(const StatementOutcome&)> done) {
    heldWrites_.append({table, translatedText, parameters, std::move(done)});
    if (!holdingWrites())
        sendHeldWrites();
}

void Connection::sendHeldWrites() {
    if (heldWrites_.isEmpty() || sendingHeld_)
        return;
    const QList<HeldWrite> writes = std::exchange(heldWrites_, {});
    QList<QPair<QString, QVariantList>> statements;
    for (const HeldWrite& write : writes)
        statements.append({write.text, write.parameters});
    sendingHeld_ = true;
    QList<StatementOutcome> outcomes;
    try {
        outcomes = runTogether(statements);
    } catch (...) {
        sendingHeld_ = false;
        throw;
    }
    sendingHeld_ = false;
    for (qsizetype i = 0; i < writes.size(); ++i)
        writes[i].done(outcomes.value(i));
}

void Connection::sendHeldWritesBefore(const QString& translatedText) {
    if (heldWrites_.isEmpty() || sendingHeld_)
        return;
    for (const HeldWrite& write : heldWrites_) {
        if (translatedText.contains(write.table, Qt::CaseInsensitive)) {
            sendHeldWrites();
            return;
        }
    }
}

QList<Connection::StatementOutcome>
Connection::runTogether(const QList<QPair<QString, QVariantList>>& statements) {
    requireOpen();
    if (statements.size() > 1 && dialect_ == Dialect::PostgreSQL && !lost_ &&
        idleSessionOf(database()))
        return runPipelined(statements);
    return runOneByOne(statements);
}

QList<Connection::StatementOutcome>
Connection::runOneByOne(const QList<QPair<QString, QVariantList>>& statements) {
    QList<StatementOutcome> outcomes;
    for (const auto& [text, parameters] : statements) {
        StatementOutcome o;
        try {
            QSqlQuery query = runStatement(text, parameters);
            o.ok = true;
            o.rowsAffected = query.numRowsAffected();
            if (query.isSelect() && query.next())
                o.firstValue = query.value(0);
        } catch (const rt::Error& e) {
            o.error = e.description();
        }
        outcomes << o;
    }
    return outcomes;
}

// Each statement followed by a sync: its own implicit transaction, as when sent alone, so a
// failing one aborts none of the others. All are sent before any answer is read.
QList<Connection::StatementOutcome>
Connection::runPipelined(const QList<QPair<QString, QVariantList>>& statements) {
    PGconn* session = idleSessionOf(database());
    QList<StatementOutcome> outcomes(statements.size());
    if (!session || PQenterPipelineMode(session) != 1)
        return runOneByOne(statements);
    qsizetype sent = 0;
    for (const auto& [text, parameters] : statements) {
        const QString written = withParametersWritten(text, parameters);
        ++statementCount_;
        forgetColumnTypesAfter(written);
        if (PQsendQueryParams(session, written.toUtf8().constData(), 0, nullptr, nullptr, nullptr,
                              nullptr, 0) != 1 ||
            PQpipelineSync(session) != 1)
            break;
        ++sent;
    }
    bool broken = false;
    for (qsizetype i = 0; i < sent && !broken; ++i) {
        PGresult* first = PQgetResult(session);
        if (!first) {
            broken = true;
            break;
        }
        outcomes[i] = outcomeOf(first);
        PQclear(first);
        while (PGresult* more = PQgetResult(session)) // the rest of this statement's results
            PQclear(more);
        PGresult* sync = PQgetResult(session);
        broken = !sync || PQresultStatus(sync) != PGRES_PIPELINE_SYNC;
        PQclear(sync);
    }
    PQexitPipelineMode(session);
    if (PQstatus(session) != CONNECTION_OK) {
        lost_ = true;
        lostReason_ = QString::fromUtf8(PQerrorMessage(session)).trimmed();
    }
    for (StatementOutcome& o : outcomes) {
        if (!o.ok && o.error.isEmpty())
            o.error = lost_ ? QStringLiteral("Connessione al database interrotta: ") + lostReason_
                            : QStringLiteral("Istruzione non eseguita");
        if (!o.ok)
            errors_ = {DbError{rt::ErrDatabase, o.error, {}}};
    }
    return outcomes;
}

} // namespace host
