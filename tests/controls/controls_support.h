#pragma once
// Shared pieces of the control tests: a fresh SQLite database with the tables the controls
// read, and a top-level window that really holds the focus on the offscreen platform.

#include "host/data/connection.h"
#include "tests/support/pg_server.h"

#include <QApplication>
#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace controls_test {

// Opens a fresh SQLite database and runs the statements (SQL Server text) on it.
inline std::shared_ptr<host::Connection> databaseWith(const QStringList& statements) {
    auto connection = std::make_shared<host::Connection>();
    connection->Open(testsupport::testSqliteConnectionString());
    for (const QString& sql : statements)
        connection->Execute(sql);
    return connection;
}

// Shows the window and waits until it is the active one, so that focus changes happen.
inline bool showActive(QWidget& window) {
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
}

// Lets committed edits and queued focus changes land.
inline void settle() {
    QApplication::processEvents();
    QApplication::processEvents();
}

} // namespace controls_test
