// The window's life through the plug-in contract: placement, load errors, activations, trace
// lines and closing (also while the load still runs).
#include "host/controls/field_controls.h"
#include "host/controls/window_controls.h"
#include "host/data/connection.h"
#include "host/data/recordset.h"
#include "host/services/global_services.h"
#include "host/services/log_service.h"
#include "host/services/navigator.h"
#include "host/window/window_support.h"
#include "tests/runtime/test_helpers.h"
#include "tests/support/pg_server.h"
#include "tests/support/window_driver.h"

#include <QPointer>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

using testsupport::WindowDriver;

// A modal window is placed where the contract says (modeless ones are not: WindowLife).
TEST(WindowPlacement, ModalWindowsArePlacedAtTheContractsPlace) {
    const struct {
        int left, top;             // the contract's, in twips
        int placedLeft, placedTop; // where the window goes, in twips
    } cases[] = {{0, 0, 10, 10}, {1500, 3000, 1500, 3000}, {750, 0, 750, 10}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.left << "," << c.top);
        WindowDriver driver;
        driver.contract->setWindowModal(true);
        driver.contract->setLeft(rt::Variant(std::int32_t{c.left}));
        driver.contract->setTop(rt::Variant(std::int32_t{c.top}));
        // ShowForm returns only when the window has closed: look at the shown and activated
        // window (events may run during the load already) and close it from inside the loop.
        QRect shown;
        QPoint frameMargin; // client origin minus frame origin
        bool moved = false, closedFromInside = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            FRMMG_PREZZOLAMPO* w = driver.window();
            if (w == nullptr || !w->isVisible() || !w->Gbol_Activated)
                return;
            poll.stop();
            EXPECT_TRUE(w->isModal());
            shown = w->geometry();
            frameMargin = w->geometry().topLeft() - w->frameGeometry().topLeft();
            moved = w->testAttribute(Qt::WA_Moved);
            closedFromInside = driver.contract->CloseForm().asBool();
        });
        poll.start(5);
        driver.contract->ShowForm();
        EXPECT_TRUE(closedFromInside) << "ShowForm returned before the window closed";
        WindowDriver::pump();
        EXPECT_EQ(driver.window(), nullptr);
        EXPECT_EQ(shown.size(), QSize(host::twipsToPixels(11975), host::twipsToPixels(7260)));
        // The platform may push a window whose frame would leave the screen, by its frame.
        const QPoint placed(host::twipsToPixels(c.placedLeft), host::twipsToPixels(c.placedTop));
        EXPECT_LE((shown.topLeft() - placed).manhattanLength(), frameMargin.manhattanLength())
            << shown.x() << "," << shown.y();
        EXPECT_TRUE(moved);
        EXPECT_NO_REPORTS(driver);
    }
}

// A log service that acts before it answers (a retry that now succeeds, a failing dialog).
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

TEST(LoadWithUnopenableDatabase, TheAnswerDecidesHowTheLoadGoesOn) {
    QString driverMessage;
    try {
        host::Connection().Open(UnopenableDatabase);
    } catch (const rt::Error& e) {
        driverMessage = e.description();
    }
    ASSERT_FALSE(driverMessage.isEmpty());
    for (const int answer : {host::ErrorContinue, host::ErrorLeave, host::ErrorRetry}) {
        SCOPED_TRACE(answer);
        auto log = std::make_shared<HookedLog>();
        WindowDriver driver({{}, true, QDate::currentDate(), log});
        driver.global->setConnectionString(UnopenableDatabase);
        log->answers = {answer};
        log->defaultAnswer = host::ErrorContinue;
        if (answer == host::ErrorRetry) // the retry finds the database
            log->beforeAnswer = [&] {
                if (log->reports.isEmpty())
                    driver.window()->Gcon_Connect->ConnectionString = driver.connectionString;
            };

        driver.contract->ShowForm();
        FRMMG_PREZZOLAMPO* w = driver.window();
        ASSERT_NE(w, nullptr);
        ASSERT_FALSE(log->reports.isEmpty());
        const host::ScriptedLogService::Report& first = log->reports.first();
        EXPECT_EQ(first.procedure, QStringLiteral("Form_Load"));
        EXPECT_EQ(first.description, driverMessage);
        EXPECT_EQ(first.style, 4370);
        EXPECT_EQ(driver.connectionsMade, 1) << "only the failing statement runs again";
        EXPECT_TRUE(answer == host::ErrorContinue || log->reports.size() == 1) << driver.reports();
        if (answer == host::ErrorLeave) {
            EXPECT_EQ(driver.contract->connection(), nullptr);
            EXPECT_TRUE(w->Gstr_Ditta.isEmpty());
            EXPECT_EQ(w->FME_TESTATA, nullptr);
            EXPECT_EQ(w->Gcls_Rounding, nullptr);
        } else {
            // Every later step ran, the contract's connection too (open only after the retry).
            EXPECT_EQ(driver.contract->connection(), w->Gcon_Connect);
            EXPECT_EQ(w->Gcon_Connect->State(),
                      answer == host::ErrorRetry ? host::adStateOpen : host::adStateClosed);
            EXPECT_EQ(w->Gstr_Ditta, QStringLiteral("1"));
            EXPECT_NE(w->FME_TESTATA, nullptr);
            EXPECT_NE(w->Gcls_Rounding, nullptr);
        }
        if (answer == host::ErrorRetry) {
            ASSERT_NE(w->Rst_Articoli, nullptr);
            EXPECT_GT(w->Rst_Articoli->RecordCount(), 0);
        }
        // Whatever the load left behind, the window shows and closes without crashing.
        WindowDriver::pump();
        log->answers.clear();
        driver.close();
        EXPECT_EQ(driver.window(), nullptr);
    }
}

enum class ClosePath { CloseForm, CloseBox, CloseFormTwice };

// A window's life: shown (with a calling program's article), activated again, closed.
TEST(WindowLife, ActivationsThenAnUnloadThatReleasesTheContract) {
    const struct {
        const char* backend;
        ClosePath path;
        bool called; // the calling program hands in blanks; else a code without IsCalled
    } cases[] = {{"SQLite", ClosePath::CloseForm, true},
                 {"SQLite", ClosePath::CloseBox, false},
                 {"SQLite", ClosePath::CloseFormTwice, false},
                 {"PostgreSQL", ClosePath::CloseForm, false}}; // last: its absence skips the rest
    const QSize designed = FRMMG_PREZZOLAMPO().size();
    QSet<QString> windowIds;
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.backend << " " << int(c.path));
        PREZZOLAMPO_CONNECTION_OR_SKIP(database, QString::fromLatin1(c.backend));
        WindowDriver driver({database, true, QDate::currentDate(), nullptr});
        driver.contract->setIsCalled(c.called);
        driver.contract->setCodiceArticolo(rt::Variant(c.called ? "    " : "ART001"));
        driver.contract->setLeft(rt::Variant(std::int32_t{1500}));
        driver.contract->setTop(rt::Variant(std::int32_t{3000}));
        driver.show();
        QPointer<FRMMG_PREZZOLAMPO> w = driver.window();
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->isVisible() && !w->isModal());
        EXPECT_FALSE(w->testAttribute(Qt::WA_Moved)) << "a modeless window is not placed";
        EXPECT_EQ(w->size(), designed);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Creazione veloce Listini Anagrafici"));
        // A caller's blanks enter nothing; a code without IsCalled is ignored.
        EXPECT_EQ(w->TXT_CODART->text(), QString());
        EXPECT_TRUE(w->TXT_CODART->isEnabled());

        // A second activation runs Status but not the first activation's block.
        ASSERT_TRUE(w->Gbol_Activated);
        EXPECT_EQ(driver.contract->ActiveFrame(), w->FME_TESTATA);
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

        const std::shared_ptr<host::Connection> connection = w->Gcon_Connect;
        const std::shared_ptr<host::HeaderFrame> frame = w->FME_TESTATA;
        ASSERT_NE(connection, nullptr);
        ASSERT_EQ(connection->State(), host::adStateOpen);

        bool closed = false;
        if (c.path == ClosePath::CloseBox) {
            w->close();
            closed = w && !w->ActiveInterface;
        } else {
            closed = driver.contract->CloseForm().asBool() &&
                     (c.path == ClosePath::CloseForm || driver.contract->CloseForm().asBool());
        }
        EXPECT_TRUE(closed);
        EXPECT_EQ(driver.formEvents(0), 1);
        EXPECT_EQ(driver.formEvents(1), 1) << "tsOpen only at the first activation";
        EXPECT_EQ(driver.script->closings, QStringList{QStringLiteral("Listini veloci")});
        EXPECT_EQ(driver.navigator->scriptModel(), nullptr);
        EXPECT_EQ(connection->State(), host::adStateClosed);
        ASSERT_NE(frame, nullptr);
        EXPECT_TRUE(frame->ended());
        EXPECT_EQ(driver.contract->connection(), nullptr);
        EXPECT_EQ(driver.contract->ActiveDll(), nullptr);
        EXPECT_NO_REPORTS(driver);
        WindowDriver::pump();
        EXPECT_TRUE(w.isNull()) << "the closed window is deleted";

        // Nothing the window left keeps the instance: it goes with the host's, with its TER line.
        const std::weak_ptr<CLSMG_PREZZOLAMPO> watch = driver.contract;
        const QString id = driver.contract->GetInstanceId().asString();
        driver.contract.reset();
        EXPECT_TRUE(watch.expired()) << "something still holds the instance after it closed";
        EXPECT_TRUE(
            driver.trace.contains("QVMA:|" + id + "|TER|RIDE_PREZZOLAMPO|CLSMG_PREZZOLAMPO"));
        if (auto kept = watch.lock()) // the test ends cleanly even when the instance was kept
            kept->setActiveFrame(nullptr);

        // The window traces its start and end under an identifier of its own.
        static const QRegularExpression windowLine(QStringLiteral(
            "^QVMA:\\|([0-9A-F]{32})\\|(INI|TER)\\|RIDE_PREZZOLAMPO\\|FRMMG_PREZZOLAMPO$"));
        const QStringList lines = driver.trace.filter(windowLine);
        const QString windowId = lines.value(0).section(u'|', 1, 1);
        EXPECT_EQ(lines,
                  (QStringList{"QVMA:|" + windowId + "|INI|RIDE_PREZZOLAMPO|FRMMG_PREZZOLAMPO",
                               "QVMA:|" + windowId + "|TER|RIDE_PREZZOLAMPO|FRMMG_PREZZOLAMPO"}))
            << driver.trace.join(u'\n').toStdString();
        windowIds.insert(windowId);
    }
    EXPECT_EQ(windowIds.size(), qsizetype(std::size(cases)));
}

// Errors before the window has its log service go to the log service of last resort.
TEST(ErrorRoutine, IsNeverSilentAndTheWindowStillCloses) {
    const struct {
        std::function<void(WindowDriver&)> breakHost;
        QString reported;          // what the log service of last resort was asked
        const char* standardError; // a text the report wrote to standard error
        bool windowLogFails;       // the window's own log service fails its reports
    } cases[] = {
        {[](WindowDriver& d) {
             d.global->factory().logService = [] { return std::shared_ptr<host::LogService>(); };
         },
         "Form_Load 429", "Impossibile creare l'oggetto.", false},
        {[](WindowDriver& d) { d.global->setConnectionString(UnopenableDatabase); },
         "Form_Load -2147217900",
         "La segnalazione dell'errore non è riuscita: dialogo non disponibile", true},
    };
    // It answers Interrompi to every report: the load stops where it failed.
    const auto fallback = std::make_shared<host::ScriptedLogService>();
    host::setFallbackLogService(fallback);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reported.toStdString());
        fallback->reports.clear();
        auto log = std::make_shared<HookedLog>();
        if (c.windowLogFails)
            log->beforeAnswer = [] {
                throw rt::Error(rt::ErrInternal, QStringLiteral("dialogo non disponibile"));
            };
        WindowDriver driver({{}, true, QDate::currentDate(), log});
        c.breakHost(driver);
        ::testing::internal::CaptureStderr();
        driver.show();
        const QString standardError =
            QString::fromStdString(::testing::internal::GetCapturedStderr());
        const host::ScriptedLogService::Report report = fallback->reports.value(0);
        EXPECT_EQ(fallback->reports.size(), 1);
        EXPECT_EQ(u"%1 %2"_qs.arg(report.procedure).arg(report.number), c.reported);
        EXPECT_TRUE(standardError.contains(QString::fromUtf8(c.standardError)))
            << standardError.toStdString();

        // The window whose load stopped early closes at the first asking, without questions.
        fallback->reports.clear();
        const std::shared_ptr<host::Connection> connection = driver.contract->connection();
        EXPECT_TRUE(driver.close());
        EXPECT_TRUE(fallback->reports.isEmpty());
        EXPECT_EQ(driver.formEvents(0), 1);
        EXPECT_TRUE(!connection || connection->State() == host::adStateClosed);
    }
    host::setFallbackLogService(nullptr);
}

// A close asked while the load lets pending events run waits for the load; the window then
// unloads before it is ever shown.
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
    EXPECT_NO_REPORTS(driver);
    EXPECT_EQ(driver.formEvents(0), 1);
    EXPECT_EQ(driver.contract->connection(), nullptr);
    EXPECT_TRUE(driver.contract->CloseForm().asBool());
}

} // namespace
