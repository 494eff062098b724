// The error routine is never silent, and a window closes whatever its load left behind: errors
// before the window has its log service, a report that fails, a load that stopped early, and a
// close asked for while the load still runs.
#include "host/data/connection.h"
#include "host/services/global_services.h"
#include "host/services/log_service.h"
#include "host/services/navigator.h"
#include "tests/runtime/test_helpers.h"
#include "tests/support/window_driver.h"

#include <QPointer>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

using testsupport::WindowDriver;
using testsupport::WindowOptions;

// A log service whose reports fail: the dialog cannot be shown.
class FailingLog : public host::ScriptedLogService {
  public:
    int reportError(const QString&, const QString&, const QString&, int) override {
        throw rt::Error(rt::ErrInternal, QStringLiteral("dialogo non disponibile"));
    }
};

QStringList procedures(const host::ScriptedLogService& log) {
    QStringList names;
    for (const host::ScriptedLogService::Report& r : log.reports)
        names.append(QStringLiteral("%1 %2").arg(r.procedure).arg(r.number));
    return names;
}

struct EarlyFailure {
    const char* name;
    std::function<void(WindowDriver&)> breakHost;
    QStringList reported;        // what the log service of last resort was asked, in order
    const char* standardError;   // a text the report wrote to standard error
    bool windowLogFails = false; // the window's own log service fails its reports
};

class ErrorRoutine : public ::testing::TestWithParam<EarlyFailure> {
  protected:
    void SetUp() override { host::setFallbackLogService(fallback); }
    void TearDown() override { host::setFallbackLogService(nullptr); }
    std::shared_ptr<host::ScriptedLogService> fallback =
        std::make_shared<host::ScriptedLogService>();
};

TEST_P(ErrorRoutine, IsNeverSilentAndTheWindowStillCloses) {
    const EarlyFailure& c = GetParam();
    WindowOptions options;
    if (c.windowLogFails)
        options.log = std::make_shared<FailingLog>();
    WindowDriver driver(options);
    c.breakHost(driver);
    fallback->defaultAnswer = host::ErrorLeave; // Interrompi: the load stops where it failed

    ::testing::internal::CaptureStderr();
    driver.show();
    const QString standardError = QString::fromStdString(::testing::internal::GetCapturedStderr());
    EXPECT_EQ(procedures(*fallback), c.reported);
    EXPECT_TRUE(standardError.contains(QString::fromUtf8(c.standardError)))
        << standardError.toStdString();

    // The window whose load stopped early closes at the first asking, without questions.
    fallback->reports.clear();
    const std::shared_ptr<host::Connection> connection = driver.contract->connection();
    EXPECT_TRUE(driver.close());
    EXPECT_TRUE(fallback->reports.isEmpty()) << procedures(*fallback).join(u',').toStdString();
    EXPECT_EQ(driver.formEvents(0), 1);
    if (connection) {
        EXPECT_EQ(connection->State(), host::adStateClosed);
    }
}

INSTANTIATE_TEST_SUITE_P(
    BeforeTheLogService, ErrorRoutine,
    ::testing::Values(EarlyFailure{"NoLogService",
                                   [](WindowDriver& d) {
                                       d.global->factory().logService = [] {
                                           return std::shared_ptr<host::LogService>();
                                       };
                                   },
                                   {"Form_Load 429"},
                                   "Impossibile creare l'oggetto."},
                      EarlyFailure{
                          "ReportFailsOnAnUnopenableDatabase",
                          [](WindowDriver& d) {
                              d.global->setConnectionString(QStringLiteral(
                                  "Provider=SQLite;Data Source=/nonexistent-prezzolampo/dir/x.db"));
                          },
                          {"Form_Load -2147217900"},
                          "La segnalazione dell'errore non è riuscita: dialogo non disponibile",
                          true}),
    [](const ::testing::TestParamInfo<EarlyFailure>& row) { return row.param.name; });

// The host closes the window while the window's load lets pending events run: the close waits
// for the load, then the window unloads before it is ever shown.
TEST(CloseDuringLoad, TheWindowClosesWhenItsLoadIsOver) {
    WindowDriver driver;
    std::optional<bool> answeredDuringLoad;
    QTimer::singleShot(0, [&] {
        QPointer<FRMMG_PREZZOLAMPO> w = driver.window();
        if (w && !w->Gcls_Rounding)
            answeredDuringLoad = driver.contract->CloseForm().asBool();
    });
    driver.contract->ShowForm();
    ASSERT_TRUE(answeredDuringLoad.has_value()) << "the close did not come during the load";
    EXPECT_FALSE(*answeredDuringLoad) << "the window cannot close while it loads";
    ASSERT_NE(driver.window(), nullptr);
    EXPECT_TRUE(driver.window()->isUnloaded());
    EXPECT_FALSE(driver.window()->isVisible());
    EXPECT_TRUE(driver.log->reports.isEmpty()) << procedures(*driver.log).join(u',').toStdString();
    EXPECT_EQ(driver.formEvents(0), 1);
    EXPECT_EQ(driver.contract->connection(), nullptr);
    EXPECT_TRUE(driver.contract->CloseForm().asBool());
}

} // namespace
