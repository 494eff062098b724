// Reports that no window's log service makes: the log service of last resort, and the program
// that quits without a user to answer its questions.
#include "host/services/log_service.h"
#include "tests/host/host_test_helpers.h"

#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A log service whose every report fails.
class BrokenLog : public host::ScriptedLogService {
  public:
    int reportError(const QString&, const QString&, const QString&, int) override {
        throw rt::Error(rt::ErrInternal, QStringLiteral("dialogo non disponibile"));
    }
};

const rt::Error TypeMismatch(rt::ErrTypeMismatch, QStringLiteral("Tipo non corrispondente"));

TEST(UnheardReports, GoToStandardErrorAndToTheFallbackLogService) {
    auto scripted = std::make_shared<host::ScriptedLogService>();
    scripted->answers = {host::ErrorContinue, host::ErrorRetry};
    const struct {
        const char* name;
        std::shared_ptr<host::LogService> fallback;
        QString failure;
        int answer;
        QString shownDescription; // "" = no report reaches a fallback
    } cases[] = {
        {"no log service yet", scripted, QString(), host::ErrorContinue,
         TypeMismatch.description()},
        {"the window's report failed", scripted, QStringLiteral("oggetto perso"), host::ErrorRetry,
         TypeMismatch.description() +
             QStringLiteral("\nLa segnalazione dell'errore non è riuscita: oggetto perso")},
        {"no fallback installed", nullptr, QString(), host::ErrorLeave, QString()},
        {"the fallback fails too", std::make_shared<BrokenLog>(), QString(), host::ErrorLeave,
         QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        scripted->reports.clear();
        host::setFallbackLogService(c.fallback);
        ::testing::internal::CaptureStderr();
        const int answer = host::reportUnheardError(
            QStringLiteral("prezzolampo"), QStringLiteral("Listini"), QStringLiteral("Form_Load"),
            TypeMismatch, {}, c.failure, 4370);
        const QString standardError =
            QString::fromStdString(::testing::internal::GetCapturedStderr());
        EXPECT_EQ(answer, c.answer);
        EXPECT_TRUE(standardError.contains(QStringLiteral("Procedura: Form_Load")) &&
                    standardError.contains(QStringLiteral("Errore n. 13: Tipo non corrispondente")))
            << standardError.toStdString();
        EXPECT_EQ(scripted->reports.size(), c.shownDescription.isEmpty() ? 0 : 1);
        for (const auto& r : scripted->reports)
            EXPECT_EQ(QStringList({r.procedure, QString::number(r.number), r.description,
                                   QString::number(r.style)}),
                      QStringList({"Form_Load", "13", c.shownDescription, "4370"}));
    }
    host::setFallbackLogService(nullptr);
}

class QuittingWithoutQuestions : public ::testing::Test {
  protected:
    void TearDown() override { host::quitWithoutQuestions(false); }
    QTemporaryDir dir;
    QString logPath() const { return dir.filePath(QStringLiteral("prezzolampo.log")); }
};

TEST_F(QuittingWithoutQuestions, NothingIsShownEveryQuestionIsAnsweredAndWrittenDown) {
    const struct {
        int style; // 4370: an error report
        int answer;
        const char* logged;
    } cases[] = {
        {4370, host::ErrorLeave, "Interrompi"},
        {host::vbExclamation, host::vbOK, "OK"},
        {host::vbYesNo | host::vbDefaultButton2, host::vbNo, "No"},
        {host::vbYesNoCancel, host::vbCancel, "Annulla"},
    };
    host::quitWithoutQuestions();
    int shown = 0;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&shown] {
        if (qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            ++shown;
    });
    watcher.start(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        host::DialogLogService log(logPath());
        log.setError(TypeMismatch);
        ::testing::internal::CaptureStderr();
        const int answer =
            c.style == 4370
                ? log.reportError(QStringLiteral("prezzolampo"), QStringLiteral("Listini"),
                                  QStringLiteral("Form_Unload"), c.style)
                : log.message(QStringLiteral("Le date di validità non sono corrette!"), c.style,
                              QStringLiteral("Attenzione"));
        const QString standardError =
            QString::fromStdString(::testing::internal::GetCapturedStderr());
        EXPECT_EQ(answer, c.answer);
        const QString logged = QStringLiteral("| RISPOSTA | %1 | %2")
                                   .arg(c.style == 4370 ? "Form_Unload" : "Attenzione", c.logged);
        EXPECT_TRUE(standardError.contains(QStringLiteral("risposta senza domanda: ") + c.logged))
            << standardError.toStdString();
        EXPECT_TRUE(readAll(logPath()).contains(logged)) << logged.toStdString();
    }
    EXPECT_EQ(shown, 0);
}

TEST_F(QuittingWithoutQuestions, AQuestionOnTheScreenIsAnsweredWhenTheProgramQuits) {
    host::DialogLogService log(logPath());
    log.setError(TypeMismatch);
    // The box stands on the screen until the program is told to quit.
    QTimer::singleShot(0, [] {
        processEventsUntil([] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            return box && box->isVisible();
        });
        host::quitWithoutQuestions();
    });
    EXPECT_EQ(log.reportError(QStringLiteral("prezzolampo"), QStringLiteral("Listini"),
                              QStringLiteral("Form_Unload"), 4370),
              host::ErrorLeave);
    EXPECT_TRUE(readAll(logPath()).contains(QStringLiteral("RISPOSTA | Form_Unload | Interrompi")));
}

} // namespace
