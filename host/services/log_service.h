#pragma once
// Log service: reports run-time errors and shows messages. The window never shows a message
// box itself: every message and error question goes through here, so tests can script them.

#include "host/data/connection.h"
#include "runtime/errors.h"
#include "runtime/variant.h"

#include <QList>
#include <QString>
#include <memory>
#include <optional>

namespace host {

class Cinterface;

// Message styles as the desktop message box numbers them: a button set (0..5), plus an icon
// (16, 32, 48, 64), plus the default button (0, 256, 512), plus 4096 (system-modal).
enum MessageStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton2 = 256,
    vbDefaultButton3 = 512,
    vbSystemModal = 4096,
};
// Answers of a message: the button pressed.
enum MessageAnswer : int {
    vbOK = 1,
    vbCancel = 2,
    vbAbort = 3,
    vbRetry = 4,
    vbIgnore = 5,
    vbYes = 6,
    vbNo = 7,
};
// The buttons of a style's button set with their answers, left to right, and the answer of
// the style's default button (what Enter presses).
QList<int> messageButtons(int style);
int defaultButtonAnswer(int style);
// The Italian caption of a button: "OK", "Annulla", "Interrompi", "Riprova", "Ignora", "Sì", "No".
QString buttonCaption(int answer);
// The error report's answers as the window's error routine acts on them.
enum ErrorAction : int { ErrorContinue = 2, ErrorLeave = 3, ErrorRetry = 4 };

class LogService : public rt::Object {
  public:
    virtual void attach(std::shared_ptr<Cinterface> contract) { contract_ = std::move(contract); }
    // The error about to be reported, and the connection's error collection.
    virtual void setError(const rt::Error& error) { error_ = error; }
    virtual void setConnectionErrors(const QList<DbError>& errors) { dbErrors_ = errors; }
    // Reports the error set before; answers ErrorContinue (Ignora), ErrorRetry (Riprova) or
    // ErrorLeave (Interrompi).
    virtual int reportError(const QString& appTitle, const QString& caption,
                            const QString& procedure, int style) = 0;
    // A message with text, style and title; answers the button pressed.
    virtual int message(const QString& text, int style, const QString& title) = 0;

  protected:
    std::shared_ptr<Cinterface> contract_;
    std::optional<rt::Error> error_;
    QList<DbError> dbErrors_;
};

// The text of an error report: window, procedure, error number and text, connection's errors.
QString errorReportText(const QString& caption, const QString& procedure,
                        const std::optional<rt::Error>& error, const QList<DbError>& dbErrors);

// The interactive log service: a dialog with the procedure, the error's number and text and
// the connection's errors, buttons Interrompi / Riprova / Ignora (answers 3, 4, 2; the style's
// default button, Riprova for 4370; Esc answers Interrompi); every report and message is also
// appended to a log file with a timestamp (no file when the path is empty). A log file that
// cannot be written never stops the window: the line goes to the debug-output channel.
// Once the program quits without questions (below), nothing is shown: each report and message
// is logged, written to standard error and answered at once.
class DialogLogService : public LogService {
  public:
    explicit DialogLogService(QString logFilePath);
    QString reportText(const QString& caption, const QString& procedure) const;
    int reportError(const QString& appTitle, const QString& caption, const QString& procedure,
                    int style) override;
    int message(const QString& text, int style, const QString& title) override;
    QString logFilePath() const { return logFilePath_; }
    // One line in the log file, with its timestamp.
    void appendToLog(const QString& text) const;

  private:
    QString logFilePath_;
};

// A log service that answers from a script and remembers what it was asked (tests).
class ScriptedLogService : public LogService {
  public:
    struct Report {
        QString procedure;
        int number = 0;
        QString description;
        QList<DbError> dbErrors;
        int style = 0;
    };
    struct Message {
        QString text;
        int style = 0;
        QString title;
    };
    // Answers given to the next reports, in order; when empty, defaultAnswer.
    QList<int> answers;
    int defaultAnswer = ErrorLeave;
    // Answers given to the next messages, in order; when empty, the style's default button.
    QList<int> messageAnswers;
    QList<Report> reports;
    QList<Message> messages;

    int reportError(const QString& appTitle, const QString& caption, const QString& procedure,
                    int style) override;
    int message(const QString& text, int style, const QString& title) override;
};

// ---- Reports nobody else can make ----

// The program ends without a user to answer (its quit hook): from then on no question is
// shown, each is answered at once (an error report Interrompi, a message its Esc answer or
// else its default button), and the questions on the screen are answered so. False asks
// questions again (tests).
void quitWithoutQuestions(bool on = true);
bool quittingWithoutQuestions();

// The log service of last resort: it reports what a window's own log service cannot, an error
// raised before the window made its log service or one whose report failed. The host program
// installs a dialog log service on its log file; tests a scripted one.
void setFallbackLogService(std::shared_ptr<LogService> log);
std::shared_ptr<LogService> fallbackLogService();
// Writes the report to standard error, then hands it to the fallback log service and answers
// as an error report does. `failure` says why the window's own report failed (empty: the window
// had no log service). Without a fallback, or when it fails too, the answer is Interrompi.
int reportUnheardError(const QString& appTitle, const QString& caption, const QString& procedure,
                       const rt::Error& error, const QList<DbError>& dbErrors,
                       const QString& failure, int style);

} // namespace host
