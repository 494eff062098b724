#include "host/window/window_support.h"

#include "runtime/errors.h"

#include <QApplication>
#include <QHash>
#include <QKeyEvent>
#include <QMutex>
#include <QPointer>
#include <QUuid>
#include <QWidget>
#include <cstdio>

namespace host {

void placeInTwips(QWidget* widget, int left, int top, int width, int height) {
    if (widget)
        widget->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                            twipsToPixels(height));
}

// --- Redraw freeze ----------------------------------------------------------------------

namespace {

struct LockedWindow {
    QPointer<QWidget> window;
    bool updatesWereEnabled = true;
};
LockedWindow lockedWindow;

void releaseLockedWindow() {
    if (lockedWindow.window && lockedWindow.updatesWereEnabled)
        lockedWindow.window->setUpdatesEnabled(true);
    lockedWindow = {};
}

} // namespace

void LockWindowUpdate(QWidget* window) {
    if (window && window == lockedWindow.window)
        return;
    releaseLockedWindow();
    if (!window)
        return;
    lockedWindow = {window, window->updatesEnabled()};
    window->setUpdatesEnabled(false);
}

bool isWindowUpdateLocked() {
    return !lockedWindow.window.isNull();
}

void DoEvents() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void DoEventsKeepingInput() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// --- Keys -------------------------------------------------------------------------------

namespace {

struct Key {
    int code = 0;
    Qt::KeyboardModifiers modifiers;
    QString text;
};

struct NamedKey {
    int code;
    QString text;
};

const QHash<QString, NamedKey>& namedKeys() {
    static const QHash<QString, NamedKey> keys = [] {
        QHash<QString, NamedKey> k{
            {QStringLiteral("DOWN"), {Qt::Key_Down, {}}},
            {QStringLiteral("UP"), {Qt::Key_Up, {}}},
            {QStringLiteral("LEFT"), {Qt::Key_Left, {}}},
            {QStringLiteral("RIGHT"), {Qt::Key_Right, {}}},
            {QStringLiteral("ENTER"), {Qt::Key_Return, QStringLiteral("\r")}},
            {QStringLiteral("TAB"), {Qt::Key_Tab, QStringLiteral("\t")}},
            {QStringLiteral("ESC"), {Qt::Key_Escape, QStringLiteral("\x1b")}},
            {QStringLiteral("ESCAPE"), {Qt::Key_Escape, QStringLiteral("\x1b")}},
            {QStringLiteral("HOME"), {Qt::Key_Home, {}}},
            {QStringLiteral("END"), {Qt::Key_End, {}}},
            {QStringLiteral("DEL"), {Qt::Key_Delete, {}}},
            {QStringLiteral("DELETE"), {Qt::Key_Delete, {}}},
            {QStringLiteral("BS"), {Qt::Key_Backspace, QStringLiteral("\b")}},
            {QStringLiteral("BKSP"), {Qt::Key_Backspace, QStringLiteral("\b")}},
            {QStringLiteral("BACKSPACE"), {Qt::Key_Backspace, QStringLiteral("\b")}},
            {QStringLiteral("PGUP"), {Qt::Key_PageUp, {}}},
            {QStringLiteral("PGDN"), {Qt::Key_PageDown, {}}},
            {QStringLiteral("INSERT"), {Qt::Key_Insert, {}}},
        };
        for (int n = 1; n <= 12; ++n)
            k.insert(QStringLiteral("F%1").arg(n), {Qt::Key_F1 + n - 1, {}});
        return k;
    }();
    return keys;
}

Key plainKey(QChar c, Qt::KeyboardModifiers modifiers) {
    const QChar upper = c.toUpper();
    const int code = upper.unicode() < 0x100 ? static_cast<int>(upper.unicode())
                                             : static_cast<int>(Qt::Key_unknown);
    return {code, modifiers, QString(c)};
}

[[noreturn]] void invalidKeys() {
    throw rt::Error(rt::ErrInvalidProcedureCall,
                    QStringLiteral("Chiamata di routine o argomento non validi"));
}

// "{NAME}" or "{NAME n}" at position i (on '{'); appends the keys, returns the position after.
qsizetype parseBraced(const QString& keys, qsizetype i, Qt::KeyboardModifiers modifiers,
                      QList<Key>& out) {
    // "{}}" is the closing brace itself.
    qsizetype close = keys.indexOf(u'}', keys.mid(i + 1, 1) == u"}" ? i + 2 : i + 1);
    if (close < 0)
        invalidKeys();
    const QString inside = keys.mid(i + 1, close - i - 1);
    const QStringList parts = inside.split(u' ', Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.size() > 2)
        invalidKeys();
    int count = 1;
    if (parts.size() == 2) {
        bool ok = false;
        count = parts.at(1).toInt(&ok);
        if (!ok || count < 0)
            invalidKeys();
    }
    const QString name = parts.at(0).toUpper();
    Key key;
    if (auto named = namedKeys().constFind(name); named != namedKeys().constEnd()) {
        const bool backTab = named->code == Qt::Key_Tab && modifiers.testFlag(Qt::ShiftModifier);
        key = {backTab ? static_cast<int>(Qt::Key_Backtab) : named->code, modifiers, named->text};
    } else if (parts.at(0).size() == 1) {
        key = plainKey(parts.at(0).at(0), modifiers);
    } else {
        invalidKeys();
    }
    for (int n = 0; n < count; ++n)
        out.append(key);
    return close + 1;
}

QList<Key> parseKeys(const QString& keys) {
    QList<Key> out;
    Qt::KeyboardModifiers modifiers;
    for (qsizetype i = 0; i < keys.size();) {
        const QChar c = keys.at(i);
        if (c == u'+' || c == u'^' || c == u'%') {
            modifiers |=
                c == u'+' ? Qt::ShiftModifier : (c == u'^' ? Qt::ControlModifier : Qt::AltModifier);
            ++i;
            continue;
        }
        if (c == u'{') {
            i = parseBraced(keys, i, modifiers, out);
        } else if (c == u'~') {
            out.append({Qt::Key_Return, modifiers, QStringLiteral("\r")});
            ++i;
        } else {
            out.append(plainKey(c, modifiers));
            ++i;
        }
        modifiers = {};
    }
    return out;
}

void deliver(QEvent::Type type, const Key& key) {
    QWidget* target = QApplication::focusWidget();
    if (!target)
        return;
    QKeyEvent event(type, key.code, key.modifiers, key.text);
    QCoreApplication::sendEvent(target, &event);
}

} // namespace

void SendKeys(const QString& keys) {
    const QList<Key> parsed = parseKeys(keys);
    for (const Key& key : parsed) {
        deliver(QEvent::KeyPress, key);
        deliver(QEvent::KeyRelease, key);
    }
}

// --- Debug output -----------------------------------------------------------------------

namespace {

QMutex sinkMutex;
std::function<void(const QString&)> debugSink;

} // namespace

void OutputDebugString(const QString& line) {
    std::function<void(const QString&)> sink;
    {
        QMutexLocker lock(&sinkMutex);
        sink = debugSink;
    }
    if (sink) {
        sink(line);
        return;
    }
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
    std::fflush(stderr);
}

void setDebugOutputSink(std::function<void(const QString&)> sink) {
    QMutexLocker lock(&sinkMutex);
    debugSink = std::move(sink);
}

// --- GUIDs ------------------------------------------------------------------------------

QString createGuidString() {
    const QUuid id = QUuid::createUuid();
    if (id.isNull())
        return {};
    QString text = QStringLiteral("%1%2%3")
                       .arg(static_cast<uint>(id.data1), 8, 16, QLatin1Char('0'))
                       .arg(static_cast<uint>(id.data2), 4, 16, QLatin1Char('0'))
                       .arg(static_cast<uint>(id.data3), 4, 16, QLatin1Char('0'));
    for (uchar byte : id.data4)
        text += QStringLiteral("%1").arg(static_cast<uint>(byte), 2, 16, QLatin1Char('0'));
    return text.toUpper();
}

} // namespace host
