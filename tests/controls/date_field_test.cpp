// TxtEditDate: what an Italian user types, what the field shows after confirming, and the
// Validate / AfterItem sequence the window's header relies on.

#include "controls_support.h"
#include "host/controls/field_controls.h"
#include "runtime/conversions.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>

using controls_test::settle;
using host::TxtEditDate;

namespace {

struct Typing {
    const char* typed;
    const char* shown; // after Enter
    bool valid;
};

// Two-digit years are this century's, day and month alone this year's; no date (29 February of
// 2023, seven digits) is left as typed; the ninth character is not taken; empty is the window's.
// clang-format off
const Typing kTypings[] = {
    {"10052024", "10/05/2024", true}, {"100524", "10/05/2024", true},
    {"1/5/24", "01/05/2024", true},   {"29022024", "29/02/2024", true},
    {"31/12/99", "31/12/2099", true}, {"29022023", "29022023", false},
    {"1005202", "1005202", false},    {"10/5", "10/05/2024", true},
    {"", "", true},                   {"100520241", "10/05/2024", true},
};
// clang-format on

class DateFieldTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rt::setTodayForTesting(QDate(2024, 3, 15));
        date_ = new TxtEditDate(&window_);
        next_ = new QLineEdit(&window_);
        ASSERT_TRUE(controls_test::showActive(window_));
        date_->setFocus();
        settle();
    }
    void TearDown() override { rt::setTodayForTesting(QDate()); }

    QWidget window_;
    TxtEditDate* date_ = nullptr;
    QLineEdit* next_ = nullptr;
};

class DateTypingTest : public DateFieldTest, public ::testing::WithParamInterface<Typing> {};

TEST_P(DateTypingTest, TypedThenEnter) {
    const Typing& t = GetParam();
    QSignalSpy afterItem(date_, &TxtEditDate::AfterItem);
    QTest::keyClicks(date_->editor(), QString::fromLatin1(t.typed));
    QTest::keyClick(date_->editor(), Qt::Key_Return);
    settle();
    EXPECT_EQ(date_->text().toStdString(), t.shown);
    EXPECT_EQ(date_->validContent(), t.valid);
    EXPECT_EQ(afterItem.count(), t.valid ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Typings, DateTypingTest, ::testing::ValuesIn(kTypings));

TEST(DateParsing, GarbageIsNoDate) {
    for (const char* text : {"abc", "1/1/202", "//", "10.05.2024x", "0/0/00"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(TxtEditDate::parseTyped(QString::fromLatin1(text)).isValid());
    }
    EXPECT_EQ(TxtEditDate::parseTyped(u"10.05.2024"_qs), QDate(2024, 5, 10));
    EXPECT_EQ(TxtEditDate::parseTyped(u"10-05-2024"_qs), QDate(2024, 5, 10));
}

// Validate sees the date as the field shows it; a cancelled confirmation keeps (or takes back)
// the focus, and leaving an edited field by the mouse confirms it too.
TEST_F(DateFieldTest, ValidateSeesTheShownDateAndCancelKeepsTheFocus) {
    QStringList seen;
    bool refuse = true;
    QObject::connect(date_, &TxtEditDate::Validate, [&](bool& cancel) {
        seen << date_->text();
        cancel = refuse;
    });
    QSignalSpy afterItem(date_, &TxtEditDate::AfterItem);
    QSignalSpy entered(date_, &TxtEditDate::Entered);
    QTest::keyClicks(date_->editor(), u"090524"_qs);
    QTest::keyClick(date_->editor(), Qt::Key_Tab);
    settle();
    EXPECT_EQ(seen, QStringList{u"09/05/2024"_qs});
    EXPECT_EQ(afterItem.count(), 0);
    EXPECT_EQ(QApplication::focusWidget(), date_->editor());
    refuse = false;
    QTest::keyClick(date_->editor(), Qt::Key_Return);
    settle();
    EXPECT_EQ(afterItem.count(), 1);
    EXPECT_EQ(QApplication::focusWidget(), next_); // Enter goes on like Tab

    date_->setFocus(); // not edited: leaving confirms nothing
    next_->setFocus();
    settle();
    EXPECT_EQ(seen.size(), 2);
    EXPECT_EQ(entered.count(), 1);
    date_->setFocus();
    date_->editor()->selectAll();
    QTest::keyClicks(date_->editor(), u"010124"_qs);
    next_->setFocus(Qt::MouseFocusReason);
    settle();
    EXPECT_EQ(afterItem.count(), 2);
    EXPECT_EQ(date_->text(), u"01/01/2024"_qs);
    refuse = true;
    date_->setFocus();
    settle();
    date_->editor()->selectAll();
    QTest::keyClicks(date_->editor(), u"020124"_qs);
    next_->setFocus(Qt::MouseFocusReason);
    settle();
    EXPECT_EQ(QApplication::focusWidget(), date_->editor());
}

} // namespace

// Regression: in the host's window area, with no window manager making the window active
// (a plain X server), Enter left the focus in the field and the next typing went into it.
TEST(FieldInWindowArea, EnterMovesOnLikeTab) {
    QMdiArea area;
    auto* form = new QWidget;
    auto* date = new TxtEditDate(form);
    auto* next = new QLineEdit(form);
    area.addSubWindow(form)->show();
    ASSERT_TRUE(controls_test::showActive(area));
    date->editor()->setFocus();
    settle();
    QApplication::setActiveWindow(nullptr);
    QTest::keyClicks(date->editor(), u"10052024"_qs);
    QTest::keyClick(date->editor(), Qt::Key_Return);
    settle();
    EXPECT_EQ(form->focusWidget(), next);
    EXPECT_EQ(date->text(), u"10/05/2024"_qs);
}
