// Log service: error reports, messages by style, the log file, and the unheard reports.
#include "host/services/log_service.h"
#include "tests/runtime/test_helpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// The message box on the screen, waited for at most two seconds; nullptr when none came.
QMessageBox* waitForBox() {
    for (QDeadlineTimer deadline(2000); !deadline.hasExpired();) {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->isVisible())
            return box;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return nullptr;
}

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly | QIODevice::Text) ? QString::fromUtf8(f.readAll())
                                                         : QString();
}

// What the user saw in the box, and the button (by caption) or key that answered it.
struct Seen {
    QString title, text;
    QStringList buttons;
    QString defaultButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Answers the next message box by the button with the caption, or by Esc for an empty one.
void answerNextBox(Seen& seen, const QString& caption) {
    QTimer::singleShot(0, [&seen, caption] {
        QMessageBox* box = waitForBox();
        if (!box)
            return;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            seen.buttons << b->text();
        seen.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        if (caption.isEmpty())
            QCoreApplication::sendEvent(box, &esc);
        for (QAbstractButton* b : box->buttons())
            if (b->text() == caption)
                b->click();
    });
}

const rt::Error TypeMismatch(rt::ErrTypeMismatch, QStringLiteral("Tipo non corrispondente"));

// An error report of TypeMismatch (style 4370) or a message; answers the button pressed.
int ask(host::DialogLogService& log, int style) {
    if (style != 4370)
        return log.message(u"Parametri mancanti"_qs, style, u"Attenzione"_qs);
    log.setError(TypeMismatch);
    return log.reportError(u"prezzolampo"_qs, u"Listini"_qs, u"SetupGrids"_qs, style);
}

class DialogLogServiceTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString logPath() const { return dir.filePath(QStringLiteral("prezzolampo.log")); }
};

TEST_F(DialogLogServiceTest, BoxesFollowTheirStyleAndAnswerTheButtonPressed) {
    const QStringList abortRetryIgnore = {"Interrompi", "Riprova", "Ignora"};
    const struct {
        int style;
        const char* press; // a caption, or "" for Esc (which presses Interrompi)
        int answer;
        QStringList buttons;
        const char* defaultButton;
        QMessageBox::Icon icon;
    } cases[] = {
        {4370, "Riprova", host::ErrorRetry, abortRetryIgnore, "Riprova", QMessageBox::Critical},
        {4370, "Ignora", host::ErrorContinue, abortRetryIgnore, "Riprova", QMessageBox::Critical},
        {4370, "", host::ErrorLeave, abortRetryIgnore, "Riprova", QMessageBox::Critical},
        {48, "OK", host::vbOK, {"OK"}, "OK", QMessageBox::Warning},
        {64 + 1, "Annulla", host::vbCancel, {"OK", "Annulla"}, "OK", QMessageBox::Information},
        {16 + 4 + 256, "Sì", host::vbYes, {"Sì", "No"}, "No", QMessageBox::Critical},
        {3 + 512, "No", host::vbNo, {"Sì", "No", "Annulla"}, "Annulla", QMessageBox::NoIcon},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.style << " " << c.press);
        // The warning's log file cannot be written: that never stops the message.
        host::DialogLogService log(c.style == 48 ? dir.filePath(QStringLiteral("no/dir/x.log"))
                                                 : logPath());
        Seen seen;
        answerNextBox(seen, QString::fromUtf8(c.press));
        EXPECT_EQ(ask(log, c.style), c.answer);
        EXPECT_EQ(seen.title, c.style == 4370 ? u"prezzolampo"_qs : u"Attenzione"_qs);
        EXPECT_EQ(seen.buttons, c.buttons);
        EXPECT_EQ(seen.defaultButton, QString::fromUtf8(c.defaultButton));
        EXPECT_EQ(seen.icon, c.icon);
    }
    const QString log = readAll(logPath());
    EXPECT_EQ(log.count(QStringLiteral("| MESSAGGIO | Attenzione | Parametri mancanti\n")), 3);
    EXPECT_EQ(log.count(QStringLiteral("| RISPOSTA | Attenzione | Annulla\n")), 1);
}

TEST_F(DialogLogServiceTest, ErrorReportShowsAndLogsTheErrorAndTheConnectionsErrors) {
    host::DialogLogService log(logPath());
    log.setError(rt::Error(rt::ErrDatabase, QStringLiteral("Nome di colonna non valido")));
    log.setConnectionErrors({{207, u"Invalid column name 'X'."_qs, u"42S22"_qs},
                             {8180, u"Statement(s) could not be prepared."_qs, {}}});
    Seen seen;
    answerNextBox(seen, QStringLiteral("Ignora"));
    log.reportError(u"prezzolampo"_qs, u"Listini"_qs, u"UpdateRecord"_qs, 4370);

    const QString text = u"Finestra: Listini\n"
                         "Procedura: UpdateRecord\n"
                         "Errore n. -2147217900: Nome di colonna non valido\n"
                         "Errori della connessione:\n"
                         "  207 - Invalid column name 'X'. [42S22]\n"
                         "  8180 - Statement(s) could not be prepared."_qs;
    EXPECT_EQ(seen.text, text);
    // The log file has the same text, indented, between time-stamped lines.
    static const QRegularExpression stamp(
        u"^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} "_qs,
        QRegularExpression::MultilineOption);
    EXPECT_EQ(readAll(logPath()).replace(stamp, u"T "_qs),
              u"T | ERRORE | prezzolampo | "_qs + QString(text).replace(u"\n"_qs, u"\n    "_qs) +
                  u"\nT | RISPOSTA | UpdateRecord | Ignora\n"_qs);

    // The next report starts afresh: the errors were reported once.
    answerNextBox(seen, QStringLiteral("Interrompi"));
    log.reportError(QStringLiteral("prezzolampo"), QString(), QStringLiteral("Form_Load"), 4370);
    EXPECT_EQ(seen.text, QStringLiteral("Procedura: Form_Load\nErrore sconosciuto"));
}

TEST(MessageStyles, GiveButtonsAndDefaultAnswer) {
    const struct {
        int style;
        QList<int> buttons;
        int defaultAnswer;
    } cases[] = {
        {3, {host::vbYes, host::vbNo, host::vbCancel}, host::vbYes},
        {4 + 512, {host::vbYes, host::vbNo}, host::vbYes}, // no third button: the first
        {5 + 256, {host::vbRetry, host::vbCancel}, host::vbCancel},
        {7, {host::vbOK}, host::vbOK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        EXPECT_EQ(host::messageButtons(c.style), c.buttons);
        EXPECT_EQ(host::defaultButtonAnswer(c.style), c.defaultAnswer);
    }
}

// A log service whose every report fails.
class BrokenLog : public host::ScriptedLogService {
  public:
    int reportError(const QString&, const QString&, const QString&, int) override {
        throw rt::Error(rt::ErrInternal, QStringLiteral("dialogo non disponibile"));
    }
};

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
            u"prezzolampo"_qs, u"Listini"_qs, u"Form_Load"_qs, TypeMismatch, {}, c.failure, 4370);
        const QString standardError =
            QString::fromStdString(::testing::internal::GetCapturedStderr());
        EXPECT_EQ(answer, c.answer);
        EXPECT_TRUE(standardError.contains(
            u"Procedura: Form_Load\n    Errore n. 13: Tipo non corrispondente"_qs))
            << standardError.toStdString();
        EXPECT_EQ(scripted->reports.size(), c.shownDescription.isEmpty() ? 0 : 1);
        for (const auto& r : scripted->reports)
            EXPECT_EQ(QStringList({r.procedure, QString::number(r.number), r.description,
                                   QString::number(r.style)}),
                      QStringList({"Form_Load", "13", c.shownDescription, "4370"}));
    }
    host::setFallbackLogService(nullptr);
}

class QuittingWithoutQuestions : public DialogLogServiceTest {
  protected:
    void TearDown() override { host::quitWithoutQuestions(false); }
};

TEST_F(QuittingWithoutQuestions, AQuestionOnTheScreenIsAnsweredThenNoneIsShownAndAllWrittenDown) {
    // The box stands on the screen until the program is told to quit.
    QTimer::singleShot(0, [] {
        waitForBox();
        host::quitWithoutQuestions();
    });
    host::DialogLogService onScreen(dir.filePath(QStringLiteral("schermo.log")));
    EXPECT_EQ(ask(onScreen, 4370), host::ErrorLeave);
    EXPECT_TRUE(readAll(onScreen.logFilePath()).contains(u"RISPOSTA | SetupGrids | Interrompi"_qs));
    ASSERT_TRUE(host::quittingWithoutQuestions());

    const struct {
        int style, answer; // style 4370: an error report
        const char* logged;
    } cases[] = {
        {4370, host::ErrorLeave, "Interrompi"},
        {host::vbExclamation, host::vbOK, "OK"},
        {host::vbYesNo | host::vbDefaultButton2, host::vbNo, "No"},
        {host::vbYesNoCancel, host::vbCancel, "Annulla"},
    };
    int shown = 0;
    QTimer watcher;
    // A box shown would wait for an answer: the watcher closes it so that the test goes on.
    QObject::connect(&watcher, &QTimer::timeout, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++shown;
            box->done(QMessageBox::Cancel);
        }
    });
    watcher.start(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        host::DialogLogService log(logPath());
        ::testing::internal::CaptureStderr();
        const int answer = ask(log, c.style);
        const QString standardError =
            QString::fromStdString(::testing::internal::GetCapturedStderr());
        EXPECT_EQ(answer, c.answer);
        const QString logged = QStringLiteral("| RISPOSTA | %1 | %2")
                                   .arg(c.style == 4370 ? "SetupGrids" : "Attenzione", c.logged);
        EXPECT_TRUE(standardError.contains(QStringLiteral("risposta senza domanda: ") + c.logged))
            << standardError.toStdString();
        EXPECT_TRUE(readAll(logPath()).contains(logged)) << logged.toStdString();
    }
    EXPECT_EQ(shown, 0);
}

} // namespace
