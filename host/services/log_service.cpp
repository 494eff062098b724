#include "host/services/log_service.h"

#include "host/window/window_support.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTextStream>
#include <cstdio>

namespace host {

namespace {

constexpr int ButtonSetMask = 0x7;
constexpr int IconMask = 0x70;
constexpr int DefaultButtonMask = 0x300;
const QString Continuation = QStringLiteral("\n    ");

QMessageBox::Icon iconOf(int style) {
    switch (style & IconMask) {
    case vbCritical:
        return QMessageBox::Critical;
    case vbQuestion:
        return QMessageBox::Question;
    case vbExclamation:
        return QMessageBox::Warning;
    case vbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int defaultButtonIndex(int style) {
    return (style & DefaultButtonMask) >> 8;
}

// The button Esc presses: Annulla where there is one, OK alone, otherwise none (Esc does
// nothing, as with the desktop's Sì/No and Interrompi/Riprova/Ignora boxes).
std::optional<int> escapeAnswer(const QList<int>& buttons) {
    if (buttons.contains(vbCancel))
        return vbCancel;
    if (buttons == QList<int>{vbOK})
        return vbOK;
    return std::nullopt;
}

bool quitting = false;

// The boxes on the screen, answered when the program quits without questions.
QList<QPointer<QMessageBox>>& openBoxes() {
    static QList<QPointer<QMessageBox>> boxes;
    return boxes;
}

std::shared_ptr<LogService>& fallback() {
    static std::shared_ptr<LogService> log;
    return log;
}

void writeToStandardError(const QString& line) {
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
    std::fflush(stderr);
}

// What a box nobody answers answers: its Esc answer, else its default button.
int unansweredAnswer(const QList<int>& buttons, int defaultIndex, std::optional<int> escape) {
    return escape.value_or(buttons.at(defaultIndex < buttons.size() ? defaultIndex : 0));
}

QString indented(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text.replace(u'\n', Continuation);
}

// Shows a modal box with the given buttons and answers the one pressed.
int showBox(QMessageBox::Icon icon, const QString& title, const QString& text,
            const QList<int>& buttons, int defaultIndex, std::optional<int> escape,
            bool systemModal) {
    QMessageBox box(icon, title, text, QMessageBox::NoButton, QApplication::activeWindow());
    if (systemModal)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    QList<QPair<QPushButton*, int>> made;
    for (int answer : buttons)
        made.append({box.addButton(buttonCaption(answer), QMessageBox::ActionRole), answer});
    box.setDefaultButton(made.at(defaultIndex < made.size() ? defaultIndex : 0).first);
    for (const auto& [button, answer] : made)
        if (escape && answer == *escape)
            box.setEscapeButton(button);
    openBoxes().append(&box);
    box.exec();
    openBoxes().removeAll(&box);
    for (const auto& [button, answer] : made)
        if (box.clickedButton() == button)
            return answer;
    return unansweredAnswer(buttons, defaultIndex, escape);
}

// Shows the box, or while the program quits without questions answers it unseen; the log line
// then goes to standard error, so that what nobody saw is still read somewhere.
int ask(const QString& logLine, QMessageBox::Icon icon, const QString& title, const QString& text,
        const QList<int>& buttons, int defaultIndex, std::optional<int> escape, bool systemModal) {
    if (!quitting)
        return showBox(icon, title, text, buttons, defaultIndex, escape, systemModal);
    const int answer = unansweredAnswer(buttons, defaultIndex, escape);
    writeToStandardError(logLine + QStringLiteral(" | risposta senza domanda: ") +
                         buttonCaption(answer));
    return answer;
}

int errorActionOf(int answer) {
    switch (answer) {
    case vbRetry:
        return ErrorRetry;
    case vbIgnore:
        return ErrorContinue;
    default:
        return ErrorLeave;
    }
}

} // namespace

QList<int> messageButtons(int style) {
    switch (style & ButtonSetMask) {
    case vbOKCancel:
        return {vbOK, vbCancel};
    case vbAbortRetryIgnore:
        return {vbAbort, vbRetry, vbIgnore};
    case vbYesNoCancel:
        return {vbYes, vbNo, vbCancel};
    case vbYesNo:
        return {vbYes, vbNo};
    case vbRetryCancel:
        return {vbRetry, vbCancel};
    default:
        return {vbOK};
    }
}

int defaultButtonAnswer(int style) {
    const QList<int> buttons = messageButtons(style);
    const int index = defaultButtonIndex(style);
    return buttons.at(index < buttons.size() ? index : 0);
}

QString buttonCaption(int answer) {
    switch (answer) {
    case vbOK:
        return QStringLiteral("OK");
    case vbCancel:
        return QStringLiteral("Annulla");
    case vbAbort:
        return QStringLiteral("Interrompi");
    case vbRetry:
        return QStringLiteral("Riprova");
    case vbIgnore:
        return QStringLiteral("Ignora");
    case vbYes:
        return QStringLiteral("Sì");
    case vbNo:
        return QStringLiteral("No");
    default:
        return QString::number(answer);
    }
}

// --- DialogLogService -------------------------------------------------------------------

DialogLogService::DialogLogService(QString logFilePath) : logFilePath_(std::move(logFilePath)) {}

QString errorReportText(const QString& caption, const QString& procedure,
                        const std::optional<rt::Error>& error, const QList<DbError>& dbErrors) {
    QStringList lines;
    if (!caption.isEmpty())
        lines << QStringLiteral("Finestra: %1").arg(caption);
    lines << QStringLiteral("Procedura: %1").arg(procedure);
    if (error)
        lines << QStringLiteral("Errore n. %1: %2").arg(error->number()).arg(error->description());
    else
        lines << QStringLiteral("Errore sconosciuto");
    if (!dbErrors.isEmpty()) {
        lines << QStringLiteral("Errori della connessione:");
        for (const DbError& e : dbErrors) {
            QString line = QStringLiteral("  %1 - %2").arg(e.number).arg(e.description);
            if (!e.sqlState.isEmpty())
                line += QStringLiteral(" [%1]").arg(e.sqlState);
            lines << line;
        }
    }
    return lines.join(u'\n');
}

QString DialogLogService::reportText(const QString& caption, const QString& procedure) const {
    return errorReportText(caption, procedure, error_, dbErrors_);
}

int DialogLogService::reportError(const QString& appTitle, const QString& caption,
                                  const QString& procedure, int style) {
    const QString text = reportText(caption, procedure);
    const QString logLine = QStringLiteral("ERRORE | %1 | %2").arg(appTitle, indented(text));
    appendToLog(logLine);
    const QList<int> buttons{vbAbort, vbRetry, vbIgnore};
    const int pressed = ask(logLine, iconOf(style), appTitle, text, buttons,
                            defaultButtonIndex(style), vbAbort, (style & vbSystemModal) != 0);
    appendToLog(QStringLiteral("RISPOSTA | %1 | %2").arg(procedure, buttonCaption(pressed)));
    error_.reset();
    dbErrors_.clear();
    return errorActionOf(pressed);
}

int DialogLogService::message(const QString& text, int style, const QString& title) {
    const QString logLine = QStringLiteral("MESSAGGIO | %1 | %2").arg(title, indented(text));
    appendToLog(logLine);
    const QList<int> buttons = messageButtons(style);
    const int pressed = ask(logLine, iconOf(style), title, text, buttons, defaultButtonIndex(style),
                            escapeAnswer(buttons), (style & vbSystemModal) != 0);
    appendToLog(QStringLiteral("RISPOSTA | %1 | %2").arg(title, buttonCaption(pressed)));
    return pressed;
}

void DialogLogService::appendToLog(const QString& text) const {
    if (logFilePath_.isEmpty())
        return;
    const QString line =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")) +
        QStringLiteral(" | ") + text;
    QFile file(logFilePath_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        OutputDebugString(QStringLiteral("log non scrivibile (%1): %2").arg(logFilePath_, line));
        return;
    }
    QTextStream out(&file);
    out << line << '\n';
}

// --- Reports nobody else can make ----------------------------------------------------------

void quitWithoutQuestions(bool on) {
    quitting = on;
    if (!quitting)
        return;
    const QList<QPointer<QMessageBox>> boxes = openBoxes();
    for (const QPointer<QMessageBox>& box : boxes)
        if (box)
            box->reject();
}

bool quittingWithoutQuestions() {
    return quitting;
}

void setFallbackLogService(std::shared_ptr<LogService> log) {
    fallback() = std::move(log);
}

std::shared_ptr<LogService> fallbackLogService() {
    return fallback();
}

int reportUnheardError(const QString& appTitle, const QString& caption, const QString& procedure,
                       const rt::Error& error, const QList<DbError>& dbErrors,
                       const QString& failure, int style) {
    const rt::Error reported =
        failure.isEmpty()
            ? error
            : rt::Error(error.number(),
                        error.description() +
                            QStringLiteral("\nLa segnalazione dell'errore non è riuscita: ") +
                            failure);
    writeToStandardError(
        QStringLiteral("ERRORE | %1 | %2")
            .arg(appTitle, indented(errorReportText(caption, procedure, reported, dbErrors))));
    const std::shared_ptr<LogService> log = fallback();
    if (!log)
        return ErrorLeave;
    try {
        log->setError(reported);
        log->setConnectionErrors(dbErrors);
        return log->reportError(appTitle, caption, procedure, style);
    } catch (const std::exception& e) {
        writeToStandardError(QStringLiteral("ERRORE | %1 | segnalazione non riuscita: %2")
                                 .arg(appTitle, QString::fromUtf8(e.what())));
        return ErrorLeave;
    }
}

// --- ScriptedLogService -----------------------------------------------------------------

int ScriptedLogService::reportError(const QString&, const QString&, const QString& procedure,
                                    int style) {
    reports.append({procedure, error_ ? error_->number() : 0,
                    error_ ? error_->description() : QString(), dbErrors_, style});
    error_.reset();
    dbErrors_.clear();
    return answers.isEmpty() ? defaultAnswer : answers.takeFirst();
}

int ScriptedLogService::message(const QString& text, int style, const QString& title) {
    messages.append({text, style, title});
    return messageAnswers.isEmpty() ? defaultButtonAnswer(style) : messageAnswers.takeFirst();
}

} // namespace host
