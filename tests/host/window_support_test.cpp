// Window support: keys sent to the focused control, redraw freeze and GUID texts.
#include "host/window/window_support.h"
#include "tests/host/host_test_helpers.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSet>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A control that remembers the key presses and releases it receives.
class KeyRecorder : public QWidget {
  public:
    KeyRecorder() { setFocusPolicy(Qt::StrongFocus); }
    QStringList presses;
    int releases = 0;

  protected:
    void keyPressEvent(QKeyEvent* e) override {
        presses << QStringLiteral("%1/%2/%3")
                       .arg(QKeySequence(e->key()).toString(QKeySequence::PortableText))
                       .arg(static_cast<int>(e->modifiers()), 0, 16)
                       .arg(e->text().toHtmlEscaped());
    }
    void keyReleaseEvent(QKeyEvent*) override { ++releases; }
};

// A shown, active top-level window with the focus on `focused`.
void activate(QWidget* window, QWidget* focused) {
    window->show();
    window->activateWindow();
    focused->setFocus();
    ASSERT_TRUE(processEventsUntil([&] { return QApplication::focusWidget() == focused; }));
}

TEST(SendKeys, DeliversEachKeyAsPressAndRelease) {
    const QString shift = QString::number(static_cast<int>(Qt::ShiftModifier), 16);
    const QString ctrl = QString::number(static_cast<int>(Qt::ControlModifier), 16);
    const struct {
        const char* keys;
        QStringList presses;
    } cases[] = {
        {"{DOWN}", {"Down/0/"}},
        {"{UP}{ENTER}", {"Up/0/", "Return/0/\r"}},
        {"~", {"Return/0/\r"}},
        {"{ESC}{F4}", {"Esc/0/\x1b", "F4/0/"}},
        {"{down 3}", {"Down/0/", "Down/0/", "Down/0/"}},
        {"ab", {"A/0/a", "B/0/b"}},
        {"+{DOWN}", {"Down/" + shift + "/"}},
        {"^c", {"C/" + ctrl + "/c"}},
        {"{+}{{}{}}", {"+/0/+", "{/0/{", "}/0/}"}},
        {"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        QWidget window;
        auto* recorder = new KeyRecorder;
        (new QVBoxLayout(&window))->addWidget(recorder);
        activate(&window, recorder);
        host::SendKeys(QString::fromLatin1(c.keys));
        EXPECT_EQ(recorder->presses, c.presses);
        EXPECT_EQ(recorder->releases, c.presses.size());
    }
}

TEST(SendKeys, TypesIntoTheFocusedFieldAndMovesTheFocus) {
    QWidget window;
    auto* first = new QLineEdit;
    auto* second = new QLineEdit;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(first);
    layout->addWidget(second);
    activate(&window, first);
    int returns = 0;
    QObject::connect(first, &QLineEdit::returnPressed, [&] { ++returns; });

    host::SendKeys(QStringLiteral("ab{LEFT}X{END}{BS}c{ENTER}"));
    EXPECT_EQ(first->text(), QStringLiteral("aXc"));
    EXPECT_EQ(returns, 1);

    host::SendKeys(QStringLiteral("{TAB}12"));
    EXPECT_EQ(QApplication::focusWidget(), second);
    EXPECT_EQ(second->text(), QStringLiteral("12"));

    host::SendKeys(QStringLiteral("+{TAB}d"));
    EXPECT_EQ(QApplication::focusWidget(), first);
    EXPECT_EQ(first->text(), QStringLiteral("d")) << "a field entered by Tab has its text selected";
}

TEST(LockWindowUpdate, FreezesOneWindowAndReleasesIt) {
    QWidget a, b, alreadyFrozen;
    alreadyFrozen.setUpdatesEnabled(false);

    host::LockWindowUpdate(&a);
    EXPECT_FALSE(a.updatesEnabled());
    EXPECT_TRUE(host::isWindowUpdateLocked());
    host::LockWindowUpdate(&a); // nested freeze of the same window
    host::LockWindowUpdate(nullptr);
    EXPECT_TRUE(a.updatesEnabled());
    EXPECT_FALSE(host::isWindowUpdateLocked());

    host::LockWindowUpdate(&a);
    host::LockWindowUpdate(&b);
    EXPECT_TRUE(a.updatesEnabled()) << "locking another window releases the first";
    EXPECT_FALSE(b.updatesEnabled());
    host::LockWindowUpdate(nullptr);
    EXPECT_TRUE(b.updatesEnabled());

    host::LockWindowUpdate(&alreadyFrozen);
    host::LockWindowUpdate(nullptr);
    EXPECT_FALSE(alreadyFrozen.updatesEnabled()) << "release restores what was there";

    {
        QWidget gone;
        host::LockWindowUpdate(&gone);
    }
    EXPECT_FALSE(host::isWindowUpdateLocked());
    host::LockWindowUpdate(nullptr); // a destroyed window is simply forgotten
}

} // namespace
