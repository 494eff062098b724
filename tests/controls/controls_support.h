#pragma once
// Shared pieces of the control tests: a fresh SQLite database with the tables the controls
// read, and a top-level window that really holds the focus on the offscreen platform.

#include "host/data/connection.h"

#include <QApplication>
#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace controls_test {

// Opens a fresh SQLite database and runs the statements (SQL Server text) on it.
std::shared_ptr<host::Connection> databaseWith(const QStringList& statements);

// The articles of company 1 and 2, their descriptions and options.
std::shared_ptr<host::Connection> articleDatabase();

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
