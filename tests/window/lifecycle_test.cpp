// The window's life through the plug-in contract: placement, load errors and the user's
// answers, trace lines, activations, a calling program's article, and closing.
#include "host/controls/field_controls.h"
#include "host/controls/window_controls.h"
#include "host/data/connection.h"
#include "host/data/recordset.h"
#include "host/services/global_services.h"
#include "host/services/log_service.h"
#include "host/services/navigator.h"
#include "host/window/window_support.h"
#include "tests/support/pg_server.h"
#include "tests/support/window_driver.h"

#include <QRegularExpression>
#include <QSet>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

using testsupport::WindowDriver;
using testsupport::WindowOptions;

constexpr int PlacedWidthTwips = 11975;
constexpr int PlacedHeightTwips = 7260;

struct PlacementCase {
    const char* name;
    bool modal;
    int left, top;             // the contract's, in twips
    int placedLeft, placedTop; // where a placed window goes, in twips
};

class WindowPlacement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(WindowPlacement, ModalWindowsArePlacedModelessOnesAreNot) {
    const PlacementCase& c = GetParam();
    WindowDriver driver;
    driver.contract->setWindowModal(c.modal);
    driver.contract->setLeft(rt::Variant(std::int32_t{c.left}));
    driver.contract->setTop(rt::Variant(std::int32_t{c.top}));

    QRect shownGeometry;
    QPoint frameMargin; // client origin minus frame origin
    bool movedWhileShown = false;
    bool closedFromInside = false;
    if (c.modal) {
        // ShowForm returns only when the window has closed: look at it and close it from
        // inside the modal loop.
        // Events may run during the load already: wait for the shown and activated window.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            FRMMG_PREZZOLAMPO* w = driver.window();
            if (w == nullptr || !w->isVisible() || !w->Gbol_Activated)
                return;
            poll.stop();
            EXPECT_TRUE(w->isModal());
            shownGeometry = w->geometry();
            frameMargin = w->geometry().topLeft() - w->frameGeometry().topLeft();
            movedWhileShown = w->testAttribute(Qt::WA_Moved);
            closedFromInside = driver.contract->CloseForm().asBool();
        });
        poll.start(5);
        driver.contract->ShowForm();
        EXPECT_TRUE(closedFromInside) << "ShowForm returned before the window closed";
        WindowDriver::pump();
        EXPECT_EQ(driver.window(), nullptr);
        EXPECT_EQ(shownGeometry.size(), QSize(host::twipsToPixels(PlacedWidthTwips),
                                              host::twipsToPixels(PlacedHeightTwips)));
        // The platform may push a window whose frame would leave the screen, by its frame.
        const QPoint placed(host::twipsToPixels(c.placedLeft), host::twipsToPixels(c.placedTop));
        EXPECT_LE((shownGeometry.topLeft() - placed).manhattanLength(),
                  frameMargin.manhattanLength())
            << shownGeometry.x() << "," << shownGeometry.y();
        EXPECT_TRUE(movedWhileShown);
    } else {
        driver.show();
        ASSERT_NE(driver.window(), nullptr);
        EXPECT_TRUE(driver.window()->isVisible());
        EXPECT_FALSE(driver.window()->isModal());
        EXPECT_FALSE(driver.window()->testAttribute(Qt::WA_Moved));
        const FRMMG_PREZZOLAMPO designed;
        EXPECT_EQ(driver.window()->size(), designed.size());
        EXPECT_TRUE(driver.close());
    }
    EXPECT_NO_REPORTS(driver);
}

INSTANTIATE_TEST_SUITE_P(
    ShowForm, WindowPlacement,
    ::testing::Values(PlacementCase{"ModalAtDefaultPlace", true, 0, 0, 10, 10},
                      PlacementCase{"ModalAtContractPlace", true, 1500, 3000, 1500, 3000},
                      PlacementCase{"ModalLeftOnlyGiven", true, 750, 0, 750, 10},
                      PlacementCase{"ModelessWithPlace", false, 1500, 3000, 0, 0}),
    [](const ::testing::TestParamInfo<PlacementCase>& row) { return row.param.name; });

// A log service that can change the world before it answers (a retry that now succeeds).
class HookedLog : public host::ScriptedLogService {
  public:
    std::function<void()> beforeAnswer;
    int reportError(const QString& appTitle, const QString& caption, const QString& procedure,
                    int style) override {
        if (beforeAnswer)
            beforeAnswer();
        return ScriptedLogService::reportError(appTitle, caption, procedure, style);
    }
};

const QString UnopenableDatabase =
    QStringLiteral("Provider=SQLite;Data Source=/nonexistent-prezzolampo/dir/demo.db");

QString openFailureMessage(const QString& connectionString) {
    host::Connection connection;
    try {
        connection.Open(connectionString);
    } catch (const rt::Error& e) {
        return e.description();
    }
    return {};
}

struct LoadErrorCase {
    const char* name;
    int answer;
    bool fixBeforeRetry; // the retry finds the database
};

class LoadWithUnopenableDatabase : public ::testing::TestWithParam<LoadErrorCase> {};

TEST_P(LoadWithUnopenableDatabase, TheAnswerDecidesHowTheLoadGoesOn) {
    const LoadErrorCase& c = GetParam();
    auto log = std::make_shared<HookedLog>();
    WindowOptions options;
    options.log = log;
    WindowDriver driver(options);
    driver.global->setConnectionString(UnopenableDatabase);
    const QString driverMessage = openFailureMessage(UnopenableDatabase);
    ASSERT_FALSE(driverMessage.isEmpty());
    log->answers = {c.answer};
    log->defaultAnswer = host::ErrorContinue;
    if (c.fixBeforeRetry)
        log->beforeAnswer = [&] {
            if (log->reports.isEmpty())
                driver.window()->Gcon_Connect->ConnectionString = driver.connectionString;
        };

    // The load runs inside ShowForm; the activation waits for the event loop.
    driver.contract->ShowForm();
    FRMMG_PREZZOLAMPO* w = driver.window();
    ASSERT_NE(w, nullptr);
    ASSERT_FALSE(log->reports.isEmpty());
    const host::ScriptedLogService::Report& first = log->reports.first();
    EXPECT_EQ(first.procedure, QStringLiteral("Form_Load"));
    EXPECT_EQ(first.description, driverMessage);
    EXPECT_EQ(first.style, 4370);
    EXPECT_EQ(driver.connectionsMade, 1) << "only the failing statement runs again";

    switch (c.answer) {
    case host::ErrorContinue:
        // Every later step ran: the contract got the (closed) connection, the company and the
        // header frame were set up.
        EXPECT_EQ(driver.contract->connection(), w->Gcon_Connect);
        EXPECT_EQ(w->Gcon_Connect->State(), host::adStateClosed);
        EXPECT_EQ(w->Gstr_Ditta, QStringLiteral("1"));
        EXPECT_NE(w->FME_TESTATA, nullptr);
        EXPECT_NE(w->Gcls_Rounding, nullptr);
        break;
    case host::ErrorLeave:
        EXPECT_EQ(log->reports.size(), 1);
        EXPECT_EQ(driver.contract->connection(), nullptr);
        EXPECT_TRUE(w->Gstr_Ditta.isEmpty());
        EXPECT_EQ(w->FME_TESTATA, nullptr);
        EXPECT_EQ(w->Gcls_Rounding, nullptr);
        break;
    case host::ErrorRetry:
        EXPECT_EQ(log->reports.size(), 1) << driver.reports();
        EXPECT_EQ(w->Gcon_Connect->State(), host::adStateOpen);
        EXPECT_EQ(driver.contract->connection(), w->Gcon_Connect);
        ASSERT_NE(w->Rst_Articoli, nullptr);
        EXPECT_EQ(w->Rst_Articoli->State(), host::adStateOpen);
        EXPECT_GT(w->Rst_Articoli->RecordCount(), 0);
        break;
    }
    // Whatever the load left behind, the window shows and closes without crashing.
    WindowDriver::pump();
    log->answers.clear();
    driver.close();
    EXPECT_EQ(driver.window(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(FormLoad, LoadWithUnopenableDatabase,
                         ::testing::Values(LoadErrorCase{"Continue", host::ErrorContinue, false},
                                           LoadErrorCase{"Leave", host::ErrorLeave, false},
                                           LoadErrorCase{"RetrySucceeds", host::ErrorRetry, true}),
                         [](const ::testing::TestParamInfo<LoadErrorCase>& row) {
                             return row.param.name;
                         });

TEST(WindowTrace, EachWindowTracesItsStartAndEndUnderItsOwnIdentifier) {
    const QRegularExpression line(QStringLiteral(
        "^QVMA:\\|([0-9A-F]{32})\\|(INI|TER)\\|RIDE_PREZZOLAMPO\\|FRMMG_PREZZOLAMPO$"));
    QStringList lines;
    host::setDebugOutputSink([&](const QString& l) { lines.append(l); });
    { FRMMG_PREZZOLAMPO first, second; }
    host::setDebugOutputSink({});
    ASSERT_EQ(lines.size(), 4);
    QStringList phases, ids;
    for (const QString& l : lines) {
        const auto match = line.match(l);
        ASSERT_TRUE(match.hasMatch()) << l.toStdString();
        phases.append(match.captured(2));
        ids.append(match.captured(1));
    }
    EXPECT_EQ(phases, (QStringList{"INI", "INI", "TER", "TER"}));
    EXPECT_NE(ids[0], ids[1]);
    // Each TER line carries the identifier of one window's INI line.
    EXPECT_EQ(QSet<QString>(ids.begin(), ids.begin() + 2),
              QSet<QString>(ids.begin() + 2, ids.end()));
}

TEST(WindowActivation, ASecondActivationRunsStatusButNotTheFirstActivationBlock) {
    WindowDriver driver;
    driver.show();
    FRMMG_PREZZOLAMPO* w = driver.window();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->Gbol_Activated);
    EXPECT_EQ(driver.formEvents(1), 1);
    EXPECT_EQ(driver.contract->ActiveFrame(), w->FME_TESTATA);
    EXPECT_EQ(driver.global->currentContract(), driver.contract);
    EXPECT_TRUE(w->RESIZEFORM->started());
    const int refreshesAfterFirst = driver.navigator->refreshCount();
    EXPECT_GE(refreshesAfterFirst, 1);

    QWidget other;
    other.show();
    other.activateWindow();
    WindowDriver::pump();
    driver.global->setCurrentContract(nullptr); // another window took over
    w->activateWindow();
    WindowDriver::pump();

    EXPECT_GT(driver.navigator->refreshCount(), refreshesAfterFirst);
    EXPECT_EQ(driver.global->currentContract(), driver.contract);
    EXPECT_EQ(driver.formEvents(1), 1) << "tsOpen only at the first activation";
    EXPECT_NO_REPORTS(driver);
    EXPECT_TRUE(driver.close());
}

struct CalledCase {
    const char* name;
    bool isCalled;
    const char* code;
    const char* shownText;
    bool enabled;
};

class CalledWithArticle : public ::testing::TestWithParam<CalledCase> {};

TEST_P(CalledWithArticle, TheFirstActivationPutsTheCallersArticle) {
    const CalledCase& c = GetParam();
    WindowDriver driver;
    driver.contract->setIsCalled(c.isCalled);
    driver.contract->setCodiceArticolo(rt::Variant(c.code));
    driver.show();
    FRMMG_PREZZOLAMPO* w = driver.window();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->TXT_CODART->text(), QString::fromUtf8(c.shownText));
    EXPECT_EQ(w->TXT_CODART->isEnabled(), c.enabled);
    EXPECT_TRUE(driver.close());
}

INSTANTIATE_TEST_SUITE_P(
    FormActivate, CalledWithArticle,
    // An article the caller hands in is entered as tests/setup/called_article_test.cpp shows.
    ::testing::Values(CalledCase{"CalledWithBlanks", true, "    ", "", true},
                      CalledCase{"NotCalledIgnoresCode", false, "ART001", "", true}),
    [](const ::testing::TestParamInfo<CalledCase>& row) { return row.param.name; });

enum class ClosePath { CloseForm, CloseBox, CloseFormTwice };

struct CloseCase {
    const char* name;
    const char* backend;
    ClosePath path;
};

class WindowClosing : public ::testing::TestWithParam<CloseCase> {};

TEST_P(WindowClosing, UnloadTellsTheScriptModelOnceAndReleasesTheContract) {
    const CloseCase& c = GetParam();
    PREZZOLAMPO_CONNECTION_OR_SKIP(database, QString::fromLatin1(c.backend));
    WindowOptions options;
    options.connectionString = database;
    WindowDriver driver(options);
    driver.show();
    QPointer<FRMMG_PREZZOLAMPO> w = driver.window();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(driver.log->reports.isEmpty()) << driver.reports();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Creazione veloce Listini Anagrafici"));
    const std::shared_ptr<host::Connection> connection = w->Gcon_Connect;
    const std::shared_ptr<host::HeaderFrame> frame = w->FME_TESTATA;
    ASSERT_NE(connection, nullptr);
    ASSERT_EQ(connection->State(), host::adStateOpen);
    EXPECT_EQ(driver.contract->connection(), connection);

    bool closed = false;
    switch (c.path) {
    case ClosePath::CloseForm:
        closed = driver.contract->CloseForm().asBool();
        break;
    case ClosePath::CloseBox:
        w->close();
        closed = w && !w->ActiveInterface;
        break;
    case ClosePath::CloseFormTwice:
        closed = driver.contract->CloseForm().asBool() && driver.contract->CloseForm().asBool();
        break;
    }
    EXPECT_TRUE(closed);
    EXPECT_EQ(driver.formEvents(0), 1);
    EXPECT_EQ(driver.formEvents(1), 1);
    EXPECT_EQ(driver.script->closings, QStringList{QStringLiteral("Listini veloci")});
    EXPECT_EQ(driver.navigator->scriptModel(), nullptr);
    EXPECT_EQ(connection->State(), host::adStateClosed);
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->ended());
    EXPECT_EQ(driver.contract->connection(), nullptr);
    EXPECT_EQ(driver.contract->ActiveDll(), nullptr);
    EXPECT_EQ(driver.global->currentContract(), nullptr);
    EXPECT_TRUE(driver.global->closedContracts().isEmpty());
    EXPECT_NO_REPORTS(driver);
    WindowDriver::pump();
    EXPECT_TRUE(w.isNull()) << "the closed window is deleted";
    EXPECT_EQ(driver.contract->FrmPrezzoLampo(), nullptr);

    // Nothing the window left keeps the instance: it goes, with its TER line, with the host's.
    const std::weak_ptr<CLSMG_PREZZOLAMPO> watch = driver.contract;
    const QString id = driver.contract->GetInstanceId().asString();
    driver.contract.reset();
    EXPECT_TRUE(watch.expired()) << "something still holds the instance after its window closed";
    EXPECT_TRUE(driver.trace.contains("QVMA:|" + id + "|TER|RIDE_PREZZOLAMPO|CLSMG_PREZZOLAMPO"));
    if (auto kept = watch.lock()) // the test ends cleanly even when the instance was kept
        kept->setActiveFrame(nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    FormUnload, WindowClosing,
    ::testing::Values(CloseCase{"SQLiteCloseForm", "SQLite", ClosePath::CloseForm},
                      CloseCase{"SQLiteCloseBox", "SQLite", ClosePath::CloseBox},
                      CloseCase{"SQLiteCloseFormTwice", "SQLite", ClosePath::CloseFormTwice},
                      CloseCase{"PostgreSQLCloseForm", "PostgreSQL", ClosePath::CloseForm}),
    [](const ::testing::TestParamInfo<CloseCase>& row) { return row.param.name; });

} // namespace
