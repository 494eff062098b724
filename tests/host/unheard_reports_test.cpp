// Reports that no window's log service makes: the log service of last resort, and the program
// that quits without a user to answer its questions.
#include "host/services/log_service.h"
#include "tests/host/host_test_helpers.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly | QIODevice::Text) ? QString::fromUtf8(f.readAll())
                                                         : QString();
}

// A log service whose every report fails.
class BrokenLog : public host::ScriptedLogService {
  public:
    int reportError(const QString&, const QString&, const QString&, int) override {
        throw rt::Error(rt::ErrInternal, QStringLiteral("dialogo non disponibile"));
    }
};

const rt::Error TypeMismatch(rt::ErrTypeMismatch, QStringLiteral("Tipo non corrispondente"));

TEST(UnheardReports, GoToStandardErrorAndToTheFallbackLogService) {
    struct Case {
        const char* name;
        std::shared_ptr<host::LogService> fallback;
        QString failure;
        int answer;
        QString shownDescription; // "" = no report reaches a fallback
    };
    auto scripted = std::make_shared<host::ScriptedLogService>();
    scripted->answers = {host::ErrorContinue, host::ErrorRetry};
    const std::vector<Case> table = {
        {"no log service yet", scripted, QString(), host::ErrorContinue,
         TypeMismatch.description()},
        {"the window's report failed", scripted, QStringLiteral("oggetto perso"), host::ErrorRetry,
         TypeMismatch.description() +
             QStringLiteral("\nLa segnalazione dell'errore non è riuscita: oggetto perso")},
        {"no fallback installed", nullptr, QString(), host::ErrorLeave, QString()},
        {"the fallback fails too", std::make_shared<BrokenLog>(), QString(), host::ErrorLeave,
         QString()},
    };
    for (const auto& c : table) {
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
        EXPECT_TRUE(standardError.contains(QStringLiteral("Procedura: Form_Load")))
            << standardError.toStdString();
        EXPECT_TRUE(standardError.contains(QStringLiteral("Errore n. 13: Tipo non corrispondente")))
            << standardError.toStdString();
        if (c.shownDescription.isEmpty())
            continue;
        ASSERT_EQ(scripted->reports.size(), 1);
        EXPECT_EQ(scripted->reports[0].procedure, QStringLiteral("Form_Load"));
        EXPECT_EQ(scripted->reports[0].number, rt::ErrTypeMismatch);
        EXPECT_EQ(scripted->reports[0].description, c.shownDescription);
        EXPECT_EQ(scripted->reports[0].style, 4370);
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
        const char* name;
        bool report;
        int style;
        int answer;
        const char* logged;
    } table[] = {
        {"error report", true, 4370, host::ErrorLeave, "Interrompi"},
        {"message with OK", false, host::vbExclamation, host::vbOK, "OK"},
        {"yes or no, No the default", false, host::vbYesNo | host::vbDefaultButton2, host::vbNo,
         "No"},
        {"yes, no or cancel", false, host::vbYesNoCancel, host::vbCancel, "Annulla"},
    };
    host::quitWithoutQuestions();
    for (const auto& c : table) {
        SCOPED_TRACE(c.name);
        host::DialogLogService log(logPath());
        int shown = 0;
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&shown] {
            if (qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                ++shown;
        });
        watcher.start(0);
        ::testing::internal::CaptureStderr();
        int answer = 0;
        if (c.report) {
            log.setError(TypeMismatch);
            answer = log.reportError(QStringLiteral("prezzolampo"), QStringLiteral("Listini"),
                                     QStringLiteral("Form_Unload"), c.style);
        } else {
            answer = log.message(QStringLiteral("Le date di validità non sono corrette!"), c.style,
                                 QStringLiteral("Attenzione"));
        }
        const QString standardError =
            QString::fromStdString(::testing::internal::GetCapturedStderr());
        EXPECT_EQ(answer, c.answer);
        EXPECT_EQ(shown, 0);
        const QString expectedAnswer =
            QStringLiteral("risposta senza domanda: ") + QString::fromLatin1(c.logged);
        EXPECT_TRUE(standardError.contains(expectedAnswer)) << standardError.toStdString();
        EXPECT_TRUE(readAll(logPath()).contains(QString::fromLatin1(c.logged)));
    }
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
