#pragma once
// Helpers shared by the host tests: an in-memory SQLite connection filled with SQL Server
// text, as the window writes it; waiting for events; reading a log file.

#include "host/data/connection.h"
#include "tests/runtime/test_helpers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <functional>
#include <memory>

inline std::shared_ptr<host::Connection> memoryConnection(const QStringList& statements = {}) {
    auto connection = std::make_shared<host::Connection>();
    connection->Open(QStringLiteral("Provider=SQLite;Data Source=:memory:"));
    for (const QString& s : statements)
        connection->Execute(s);
    connection->clearTrace();
    return connection;
}

// Lets events run until the condition holds (at most two seconds); answers the condition.
inline bool processEventsUntil(const std::function<bool()>& condition) {
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return condition();
}

// The whole text of a file; empty when it cannot be read.
inline QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly | QIODevice::Text) ? QString::fromUtf8(f.readAll())
                                                         : QString();
}
