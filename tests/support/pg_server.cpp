#include "tests/support/pg_server.h"

#include "host/data/connection.h"
#include "runtime/errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <cstdlib>
#include <mutex>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {
namespace {

const QString PostgresBin = u"/usr/lib/postgresql/15/bin/"_qs;

struct Cluster {
    std::mutex mutex;
    bool tried = false;
    QString baseConnection; // the last value of a key counts: a Database added after it does
    QString reason;
    QString dir;        // of the server this process started
    QString userPrefix; // runuser, as the server refuses to run as root
    int port = 0;
};

Cluster& cluster() {
    static Cluster c;
    return c;
}

int freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
                       ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    ::close(fd);
    return bound ? ntohs(address.sin_port) : 0;
}

// Runs a shell command, its output appended to the cluster's log; when it fails, the end of
// the log becomes the reason.
bool run(Cluster& c, const QString& command) {
    const QString log = c.dir + u"/setup.log"_qs;
    if (std::system(qPrintable(command + u" >>"_qs + log + u" 2>&1"_qs)) == 0)
        return true;
    QFile f(log);
    c.reason = command + u" non riuscito: "_qs +
               (f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll().right(600)) : "")
                   .trimmed();
    return false;
}

QString pgCtl(const Cluster& c, const QString& arguments) {
    return c.userPrefix + PostgresBin + u"pg_ctl -D "_qs + c.dir + u"/data "_qs + arguments;
}

void stopCluster() {
    std::system(qPrintable(pgCtl(cluster(), u"-m immediate -w stop >/dev/null 2>&1"_qs)));
    QDir(cluster().dir).removeRecursively();
}

bool startServer(Cluster& c) {
    const QString options = u"-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off"_qs;
    return run(c, pgCtl(c, u"-l %1/data/server.log -o \"%2\" -w start"_qs.arg(
                               c.dir, options.arg(c.port).arg(c.dir))));
}

void startCluster(Cluster& c) {
    if (!QFile::exists(PostgresBin + u"initdb"_qs)) {
        c.reason = u"initdb non trovato in "_qs + PostgresBin;
        return;
    }
    QTemporaryDir dir(QDir::tempPath() + u"/prezzolampo-pg-XXXXXX"_qs); // mode 0700
    dir.setAutoRemove(false);
    c.dir = dir.path();
    if (::geteuid() == 0) {
        const passwd* pg = ::getpwnam("postgres");
        c.userPrefix = u"runuser -u postgres -- "_qs;
        if (!pg || ::chown(qPrintable(c.dir), pg->pw_uid, pg->pw_gid) != 0) {
            c.reason = u"utente postgres assente: impossibile avviare il server come root"_qs;
            return;
        }
    }
    c.port = freeLoopbackPort();
    if (!run(c, c.userPrefix + PostgresBin + u"initdb -D "_qs + c.dir +
                    u"/data -U postgres --auth=trust -E UTF8 --no-sync"_qs) ||
        !startServer(c))
        return;
    std::atexit(stopCluster);
    // A test process that dies without running its exit handlers (a sanitizer abort, a kill)
    // must not leave its server behind: a watcher stops it when the process is gone.
    const QString watcher = u"while kill -0 %1 2>/dev/null; do sleep 1; done; %2; rm -rf %3"_qs;
    std::system(qPrintable(u"nohup sh -c '%1' >/dev/null 2>&1 &"_qs.arg(
        watcher.arg(::getpid()).arg(pgCtl(c, u"-m immediate stop"_qs), c.dir))));
    c.baseConnection =
        u"Provider=PostgreSQL;Host=127.0.0.1;Port=%1;User ID=postgres"_qs.arg(c.port);
}

// The value of a key (lower case) of a connection string; the last one counts, as for
// host::Connection.
QString valueOf(const QString& connection, const char* key) {
    QString value;
    for (const QString& part : connection.split(u';'))
        if (part.section(u'=', 0, 0).trimmed().toLower() == QLatin1String(key))
            value = part.section(u'=', 1).trimmed();
    return value;
}

// Opens the connection and runs the statement; empty on success, else the server's reason.
QString failureOf(const QString& connection, const QString& statement = {}) {
    try {
        host::Connection db;
        db.Open(connection);
        if (!statement.isEmpty())
            db.Execute(statement);
        return {};
    } catch (const rt::Error& e) {
        return e.description();
    }
}

} // namespace

QString testPostgresConnectionString() {
    Cluster& c = cluster();
    std::lock_guard lock(c.mutex);
    if (!std::exchange(c.tried, true)) {
        c.baseConnection = qEnvironmentVariable("PREZZOLAMPO_PG");
        if (c.baseConnection.isEmpty())
            startCluster(c);
    }
    if (c.baseConnection.isEmpty())
        return {};
    static int counter = 0;
    const QString name = u"prz_test_%1_%2"_qs.arg(::getpid()).arg(++counter);
    // The databases are made from "postgres", or from the one the given server names.
    const QString failure =
        failureOf(u"Database=postgres;"_qs + c.baseConnection, u"CREATE DATABASE "_qs + name);
    if (!failure.isEmpty()) {
        c.reason = u"CREATE DATABASE non riuscito: "_qs + failure;
        return {};
    }
    return c.baseConnection + u";Database="_qs + name;
}

QString testOdbcPostgresConnectionString() {
    const QString native = testPostgresConnectionString();
    if (native.isEmpty())
        return {};
    // bytea travels as binary data (not as a large object) with ByteaAsLongVarBinary.
    const QString odbc =
        u"Provider=ODBC;Driver={PostgreSQL Unicode};Server=%1;Port=%2;"
        "Database=%3;Uid=%4;Pwd=%5;ByteaAsLongVarBinary=1"_qs.arg(
            valueOf(native, "host"), valueOf(native, "port"), valueOf(native, "database"),
            valueOf(native, "user id"), valueOf(native, "password"));
    // The driver is asked once: a missing one is a reason like a missing server.
    static const QString missing = failureOf(odbc);
    if (missing.isEmpty())
        return odbc;
    std::lock_guard lock(cluster().mutex);
    cluster().reason = u"driver ODBC di PostgreSQL non disponibile: "_qs + missing;
    return {};
}

bool stopTestPostgres() {
    Cluster& c = cluster();
    std::lock_guard lock(c.mutex);
    return c.port != 0 && run(c, pgCtl(c, u"-m fast -w stop"_qs));
}

bool startTestPostgres() {
    Cluster& c = cluster();
    std::lock_guard lock(c.mutex);
    return c.port != 0 && startServer(c);
}

QString postgresUnavailableReason() {
    std::lock_guard lock(cluster().mutex);
    return cluster().reason;
}

bool postgresRequired() {
    return qgetenv("CI") == "true";
}

QString testSqliteConnectionString() {
    static QTemporaryDir dir;
    static int counter = 0;
    return u"Provider=SQLite;Data Source=%1/test_%2.db"_qs.arg(dir.path()).arg(++counter);
}

QString testConnectionString(const QString& backend) {
    if (backend == u"PostgreSQL")
        return testPostgresConnectionString();
    if (backend == u"PostgreSQL_ODBC")
        return testOdbcPostgresConnectionString();
    return testSqliteConnectionString();
}

} // namespace testsupport
