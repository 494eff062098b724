#pragma once
// Window scenarios of the parameter-driven set-up and the header, run on SQLite and on
// PostgreSQL: a demo database whose price-list parameters a case may change before the window
// opens, a fixed "today", and the change of the parameters of one side.

#include "db/demo_database.h"
#include "host/controls/krx_qgrid.h"
#include "host/data/connection.h"
#include "host/data/recordset.h"
#include "host/services/global_services.h"
#include "host/services/log_service.h"
#include "runtime/conversions.h"
#include "tests/runtime/test_helpers.h"
#include "tests/support/pg_server.h"
#include "tests/support/window_driver.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace setuptest {

// Today for every scenario: a day of February in a leap year.
inline const QDate Today(2024, 2, 10);

inline const char* const ArticleWithoutOptions = "VITI-INOX-4X40";
inline const char* const ArticleWithOptions = "SMALTO-ACQUA-075";

class WindowScenario : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        PREZZOLAMPO_CONNECTION_OR_SKIP(cs, QString::fromLatin1(GetParam()));
        connectionString_ = cs;
        rt::setTodayForTesting(Today);
    }
    void TearDown() override { rt::setTodayForTesting(QDate()); }

    // The demo database (made afresh), changed by the statements, then the window shown for
    // the company, or for a calling program's article when one is given.
    std::unique_ptr<testsupport::WindowDriver> openWindow(const QStringList& statements = {},
                                                          int company = demo::DemoCompany,
                                                          const QString& calledWith = {}) {
        auto driver = std::make_unique<testsupport::WindowDriver>(
            testsupport::WindowOptions{connectionString_, true, Today, {}});
        execute(driver->connectionString, statements);
        driver->global->setCompanyCode(QString::number(company));
        if (!calledWith.isNull()) {
            driver->contract->setIsCalled(true);
            driver->contract->setCodiceArticolo(rt::Variant(calledWith));
        }
        driver->show();
        return driver;
    }

    static void execute(const QString& connectionString, const QStringList& statements) {
        if (statements.isEmpty())
            return;
        host::Connection connection;
        connection.Open(connectionString);
        for (const QString& sql : statements)
            connection.Execute(sql);
        connection.Close();
    }

    QString connectionString_;
};

#define SETUP_INSTANTIATE_BACKENDS(Suite)                                                          \
    INSTANTIATE_TEST_SUITE_P(Backends, Suite, ::testing::Values("SQLite", "PostgreSQL"),           \
                             [](const ::testing::TestParamInfo<const char*>& backend) {            \
                                 return std::string(backend.param);                                \
                             })

// An UPDATE of the demo company's parameter rows of one side (and one list when given).
inline QString updateLists(int side, const QString& assignments, int list = 0) {
    QString sql = QStringLiteral("UPDATE MG44_PARMAGLIST SET %1 WHERE MG44_DITTA_CG18 = %2 "
                                 "AND MG44_FLGVENACQ = %3")
                      .arg(assignments)
                      .arg(demo::DemoCompany)
                      .arg(side);
    if (list != 0)
        sql += QStringLiteral(" AND MG44_NUMLIST = %1").arg(list);
    return sql;
}

} // namespace setuptest
