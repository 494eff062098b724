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
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {
namespace {

const QString PostgresBin = QStringLiteral("/usr/lib/postgresql/15/bin");

struct Cluster {
    bool tried = false;
    QString baseConnection; // without Database
    QString adminDatabase;
    QString reason;
    QString dir;
    QString userPrefix;
    int port = 0; // of the server this process started
};

Cluster& cluster() {
    static Cluster c;
    return c;
}

std::mutex& clusterMutex() {
    static std::mutex m;
    return m;
}

int freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

// Runs a shell command, its output going to logFile; true when it exits with 0.
bool run(const QString& command, const QString& logFile) {
    const QString full = command + QStringLiteral(" >>") + logFile + QStringLiteral(" 2>&1");
    return std::system(full.toLocal8Bit().constData()) == 0;
}

QString tail(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray all = f.readAll();
    return QString::fromLocal8Bit(all.right(600)).trimmed();
}

void stopCluster() {
    const Cluster& c = cluster();
    if (c.dir.isEmpty())
        return;
    run(c.userPrefix + PostgresBin + QStringLiteral("/pg_ctl -D ") + c.dir +
            QStringLiteral("/data -m immediate -w stop"),
        QStringLiteral("/dev/null"));
    QDir(c.dir).removeRecursively();
}

bool startServer(const Cluster& c, const QString& log) {
    return run(c.userPrefix + PostgresBin + QStringLiteral("/pg_ctl -D ") + c.dir +
                   QStringLiteral("/data -l ") + c.dir +
                   QStringLiteral("/data/server.log -o \"-p %1 -k %2 -c listen_addresses=127.0.0.1 "
                                  "-c fsync=off\" -w start")
                       .arg(c.port)
                       .arg(c.dir),
               log);
}

bool startCluster(Cluster& c) {
    if (!QFile::exists(PostgresBin + QStringLiteral("/initdb"))) {
        c.reason = QStringLiteral("initdb non trovato in ") + PostgresBin;
        return false;
    }
    QByteArray pattern = QDir::tempPath().toLocal8Bit() + "/prezzolampo-pg-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        c.reason = QStringLiteral("impossibile creare la cartella temporanea");
        return false;
    }
    c.dir = QString::fromLocal8Bit(pattern);
    if (::geteuid() == 0) {
        const passwd* pg = ::getpwnam("postgres");
        if (!pg || ::chown(pattern.constData(), pg->pw_uid, pg->pw_gid) != 0) {
            c.reason = QStringLiteral("utente postgres assente: impossibile avviare il server "
                                      "come root");
            return false;
        }
        c.userPrefix = QStringLiteral("runuser -u postgres -- ");
    }
    ::chmod(pattern.constData(), 0700);
    const QString log = c.dir + QStringLiteral("/setup.log");
    if (!run(c.userPrefix + PostgresBin + QStringLiteral("/initdb -D ") + c.dir +
                 QStringLiteral("/data -U postgres --auth=trust -E UTF8 --no-sync"),
             log)) {
        c.reason = QStringLiteral("initdb non riuscito: ") + tail(log);
        return false;
    }
    const int port = freeLoopbackPort();
    c.port = port;
    if (!startServer(c, log)) {
        c.reason = QStringLiteral("pg_ctl start non riuscito: ") + tail(log);
        return false;
    }
    std::atexit(stopCluster);
    // A test process that dies without running its exit handlers (a sanitizer abort, a kill)
    // must not leave its server behind: a watcher stops it when the process is gone.
    run(QStringLiteral("nohup sh -c 'while kill -0 %1 2>/dev/null; do sleep 1; done; %2%3/pg_ctl "
                       "-D %4/data -m immediate stop; rm -rf %4' >/dev/null 2>&1 &")
            .arg(::getpid())
            .arg(c.userPrefix, PostgresBin, c.dir),
        QStringLiteral("/dev/null"));
    c.baseConnection =
        QStringLiteral("Provider=PostgreSQL;Host=127.0.0.1;Port=%1;User ID=postgres").arg(port);
    c.adminDatabase = QStringLiteral("postgres");
    return true;
}

void useGivenServer(Cluster& c, const QString& given) {
    QStringList kept;
    for (const QString& part : given.split(u';', Qt::SkipEmptyParts)) {
        const QString key = part.section(u'=', 0, 0).trimmed().toLower();
        if (key == u"database")
            c.adminDatabase = part.section(u'=', 1).trimmed();
        else
            kept << part;
    }
    c.baseConnection = kept.join(u';');
    if (c.adminDatabase.isEmpty())
        c.adminDatabase = QStringLiteral("postgres");
}

Cluster& readyCluster() {
    Cluster& c = cluster();
    if (c.tried)
        return c;
    c.tried = true;
    const QByteArray given = qgetenv("PREZZOLAMPO_PG");
    if (!given.isEmpty())
        useGivenServer(c, QString::fromLocal8Bit(given));
    else if (!startCluster(c))
        c.baseConnection.clear();
    return c;
}

QString valueOf(const QString& connection, const char* key) {
    for (const QString& part : connection.split(u';', Qt::SkipEmptyParts))
        if (part.section(u'=', 0, 0).trimmed().compare(QLatin1String(key), Qt::CaseInsensitive) ==
            0)
            return part.section(u'=', 1).trimmed();
    return {};
}

// CREATE DATABASE through the admin database; empty text on success, else the server's reason.
QString createDatabase(const Cluster& c, const QString& name) {
    try {
        host::Connection admin;
        admin.Open(c.baseConnection + QStringLiteral(";Database=") + c.adminDatabase);
        admin.Execute(QStringLiteral("CREATE DATABASE ") + name);
        return {};
    } catch (const rt::Error& e) {
        return e.description();
    }
}

} // namespace

QString testPostgresConnectionString() {
    std::lock_guard lock(clusterMutex());
    Cluster& c = readyCluster();
    if (c.baseConnection.isEmpty())
        return {};
    static int counter = 0;
    const QString name = QStringLiteral("prz_test_%1_%2").arg(::getpid()).arg(++counter);
    const QString failure = createDatabase(c, name);
    if (!failure.isEmpty()) {
        c.reason = QStringLiteral("CREATE DATABASE non riuscito: ") + failure;
        return {};
    }
    return c.baseConnection + QStringLiteral(";Database=") + name;
}

QString testOdbcPostgresConnectionString() {
    const QString native = testPostgresConnectionString();
    if (native.isEmpty())
        return {};
    // bytea travels as binary data (not as a large object) with ByteaAsLongVarBinary.
    const QString odbc =
        QStringLiteral("Provider=ODBC;Driver={PostgreSQL Unicode};Server=%1;Port=%2;"
                       "Database=%3;Uid=%4;Pwd=%5;ByteaAsLongVarBinary=1")
            .arg(valueOf(native, "Host"), valueOf(native, "Port"), valueOf(native, "Database"),
                 valueOf(native, "User ID"), valueOf(native, "Password"));
    // The driver is asked once: a missing one is a reason like a missing server.
    static const QString missing = [&odbc] {
        try {
            host::Connection probe;
            probe.Open(odbc);
            return QString();
        } catch (const rt::Error& e) {
            return QStringLiteral("driver ODBC di PostgreSQL non disponibile: ") + e.description();
        }
    }();
    if (!missing.isEmpty()) {
        std::lock_guard lock(clusterMutex());
        cluster().reason = missing;
        return {};
    }
    return odbc;
}

bool stopTestPostgres() {
    std::lock_guard lock(clusterMutex());
    const Cluster& c = cluster();
    return c.port != 0 && run(c.userPrefix + PostgresBin + QStringLiteral("/pg_ctl -D ") + c.dir +
                                  QStringLiteral("/data -m fast -w stop"),
                              c.dir + QStringLiteral("/setup.log"));
}

bool startTestPostgres() {
    std::lock_guard lock(clusterMutex());
    const Cluster& c = cluster();
    return c.port != 0 && startServer(c, c.dir + QStringLiteral("/setup.log"));
}

QString postgresUnavailableReason() {
    std::lock_guard lock(clusterMutex());
    return cluster().reason;
}

bool postgresRequired() {
    return qgetenv("CI") == "true";
}

QString testSqliteConnectionString() {
    static QTemporaryDir dir;
    static int counter = 0;
    return QStringLiteral("Provider=SQLite;Data Source=%1/test_%2.db")
        .arg(dir.path())
        .arg(++counter);
}

QString testConnectionString(const QString& backend) {
    if (backend == u"PostgreSQL")
        return testPostgresConnectionString();
    if (backend == u"PostgreSQL_ODBC")
        return testOdbcPostgresConnectionString();
    return testSqliteConnectionString();
}

} // namespace testsupport
