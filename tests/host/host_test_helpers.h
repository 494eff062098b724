#pragma once
// An in-memory SQLite connection for the host tests, filled with the given statements.

#include "host/data/connection.h"
#include "tests/runtime/test_helpers.h"

#include <QStringList>
#include <memory>

inline std::shared_ptr<host::Connection> memoryConnection(const QStringList& statements = {}) {
    auto connection = std::make_shared<host::Connection>();
    connection->Open(QStringLiteral("Provider=SQLite;Data Source=:memory:"));
    for (const QString& s : statements)
        connection->Execute(s);
    connection->clearTrace();
    return connection;
}
