// Typing into the cells: what a typed text becomes in the working row, in LI10_LISTARTIC and on
// screen, what is refused, the keys of a grid, and what an unchanged value sends.
#include "tests/editing/sheet_driver.h"

namespace {

using editingtest::place;
using editingtest::press;
using editingtest::text;
using editingtest::typeAndEnter;
using setuptest::WindowScenario;
using testsupport::WindowDriver;

const QString Prezzo = QStringLiteral("LI10_PREZZO");

class CellEdit : public WindowScenario {
  protected:
    void SetUp() override {
        WindowScenario::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        driver_ = openWindow();
        w_ = driver_->window();
        ASSERT_NE(w_, nullptr);
        WindowDriver::openArticle(*w_, QString::fromLatin1(setuptest::ArticleWithoutOptions));
        ASSERT_EQ(place(w_), "A0 PREZZO+");
    }
    // The first purchase row's cell of the column, opened for typing as the walk opens it.
    void openFirstPurchaseCell(const QString& key) {
        w_->Rst_RecSet_LISACQ->MoveFirst();
        w_->CurrentSide = QStringLiteral("ACQ");
        w_->SetColumnFocus(w_->GRD_LISACQ, key);
        WindowDriver::pump();
    }
    rt::Variant working(const QString& key) {
        w_->Rst_RecSet_LISACQ->MoveFirst();
        return w_->Rst_RecSet_LISACQ->Fields(key).Value();
    }
    rt::Variant stored(const QString& key) {
        w_->Rst_RecSet_LISACQ->MoveFirst();
        return editingtest::storedValue(driver_->connectionString, *w_->Rst_RecSet_LISACQ, key);
    }
    QString shown(const QString& key) { return w_->GRD_LISACQ->displayText(0, key); }

    std::unique_ptr<WindowDriver> driver_;
    FRMMG_PREZZOLAMPO* w_ = nullptr;
};

// The grid's own tests cover how a text becomes a number; here the number reaches the working
// row, LI10_LISTARTIC and the screen, for every kind of entry column.
TEST_P(CellEdit, ATypedNumberIsStoredAsItIsMeantAndShownInItalian) {
    const struct {
        const char *column, *typed, *shown; // the working row and LI10_LISTARTIC hold the shown
    } cases[] = {
        // clang-format off
        {"LI10_PREZZO", "1.234.567", "1.234.567,000"}, {"LI10_PREZZO", "", "0,000"}, // cleared: 0
        {"LI10_SC1PER", "0,125", "0,125"}, {"LI10_SC2PER", "-3", "-3,000"},
        {"LI10_SCIMP", "2,75", "2,750"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.column) + " <- " + c.typed);
        const QString key = QString::fromLatin1(c.column);
        openFirstPurchaseCell(key);
        ASSERT_EQ(place(w_), "A0 " + key.mid(5) + "+");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete); // the text is selected
        typeAndEnter(QString::fromLatin1(c.typed));
        EXPECT_EQ(rt::CDec(working(key)), rt::CDec(rt::Variant(QString::fromLatin1(c.shown))));
        EXPECT_EQ(text(stored(key)), text(working(key)));
        EXPECT_EQ(shown(key).toStdString(), c.shown);
    }
    EXPECT_TRUE(w_->RowsModified);
    EXPECT_NO_REPORTS(*driver_);
}

// A text that is no number is reported; digits that make no Italian number are never guessed:
// Enter waits in the open cell, and leaving it by another key keeps the stored price.
TEST_P(CellEdit, WhatIsNoItalianNumberIsNeverStored) {
    const struct {
        const char* typed;
        bool reported;
    } cases[] = {{"-", true},     {",", true},       {"-,", true},
                 {"12.5", false}, {"1.23,4", false}, {"1.2.3", false}};
    typeAndEnter(QStringLiteral("8,4"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        driver_->log->reports.clear();
        openFirstPurchaseCell(Prezzo);
        typeAndEnter(QString::fromLatin1(c.typed));
        if (c.reported) {
            ASSERT_EQ(driver_->reportedProcedures(), QStringList{"GRD_LISACQ_OnEdited"});
            EXPECT_EQ(driver_->log->reports[0].number, 13);
            EXPECT_EQ(shown(Prezzo), "8,400");
        } else {
            EXPECT_NO_REPORTS(*driver_);
            ASSERT_EQ(place(w_), "A0 PREZZO+");
            EXPECT_EQ(qobject_cast<QLineEdit*>(QApplication::focusWidget())->text(), c.typed);
            press(Qt::Key_Down);
        }
        EXPECT_EQ(text(working(Prezzo)), "8,4");
        EXPECT_EQ(text(stored(Prezzo)), "8,4");
    }
    // Back to the cell with Shift+Tab, Esc, and typed again without F2.
    openFirstPurchaseCell(QStringLiteral("LI10_SC1PER"));
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    press(Qt::Key_Escape);
    ASSERT_EQ(place(w_), "A0 PREZZO");
    typeAndEnter(QStringLiteral("9"));
    EXPECT_EQ(text(stored(Prezzo)), "9");
    EXPECT_EQ(place(w_), "A0 SC1PER+");
    // The keypad's decimal key types the comma.
    openFirstPurchaseCell(Prezzo);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Period, Qt::KeypadModifier);
    typeAndEnter(QStringLiteral("5"));
    EXPECT_EQ(text(stored(Prezzo)), "1,5");
}

TEST_P(CellEdit, AValueTheColumnCannotHoldIsRefusedBySaveAndStaysOnScreen) {
    const struct {
        const char *column, *typed, *shown;
        int answer;
    } cases[] = {
        // Ignora: the rest of the save runs, and the net price of the typed values is worked out.
        {"LI10_SC1PER", "1000", "1.000,000", host::ErrorContinue},
        {"LI10_PREZZO", "12345678901234567890", "12.345.678.901.234.567.890,000", host::ErrorLeave},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column);
        const QString key = QString::fromLatin1(c.column);
        const rt::Variant before = stored(key);
        ASSERT_FALSE(rt::CDec(working(QStringLiteral("PREZZO_NETTO"))).isZero());
        driver_->log->reports.clear();
        driver_->log->answers = {c.answer};
        openFirstPurchaseCell(key);
        typeAndEnter(QString::fromLatin1(c.typed));
        ASSERT_EQ(driver_->reportedProcedures(), QStringList{"UpdateRecord"});
        EXPECT_EQ(rt::CDec(working(QStringLiteral("PREZZO_NETTO"))).isZero(),
                  c.answer == host::ErrorContinue);
        EXPECT_TRUE(driver_->log->reports[0].description.contains(c.column) ||
                    driver_->log->reports[0].description.contains("overflow"))
            << driver_->reports();
        EXPECT_EQ(text(stored(key)), text(before));
        EXPECT_EQ(shown(key).toStdString(), c.shown);
        openFirstPurchaseCell(key);
        typeAndEnter(QStringLiteral("5"));
        EXPECT_EQ(text(stored(key)), "5");
    }
}

TEST_P(CellEdit, KeysOtherThanEnterDoWhatAGridDoes) {
    const struct {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char *placeAfter, *stored; // stored: LI10_PREZZO of the first purchase row
    } cases[] = {
        // clang-format off
        {"Shift+Enter ends the edit, stays", Qt::Key_Return, Qt::ShiftModifier, "A0 PREZZO", "71"},
        {"Esc drops what was typed", Qt::Key_Escape, Qt::NoModifier, "A0 PREZZO", "71"},
        {"Tab stores and opens the next cell", Qt::Key_Tab, Qt::NoModifier, "A0 SC1PER+", "73"},
        {"Down stores and goes one row down", Qt::Key_Down, Qt::NoModifier, "A1 PREZZO", "74"},
        // clang-format on
    };
    int typed = 70;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        openFirstPurchaseCell(Prezzo);
        QTest::keyClicks(QApplication::focusWidget(), QString::number(++typed));
        press(c.key, c.modifiers);
        EXPECT_EQ(place(w_).toStdString(), c.placeAfter);
        EXPECT_EQ(text(stored(Prezzo)), c.stored);
    }
    EXPECT_NO_REPORTS(*driver_);
}

// Enter alone, and values typed again as they were, send nothing; a new mark-up derives its own
// sales row alone from its base purchase list.
TEST_P(CellEdit, OnlyAChangedValueIsStoredAndOnlyAChangedMarkupDerivesItsRow) {
    host::Recordset& sales = *w_->Rst_RecSet_LISVEN;
    const auto salesPrices = [&] {
        QList<rt::Decimal> prices;
        const rt::Variant here = sales.Bookmark();
        for (sales.MoveFirst(); !sales.IsEOF(); sales.MoveNext())
            prices << rt::CDec(sales.Fields(Prezzo).Value());
        sales.setBookmark(here);
        return prices;
    };
    const auto enterUntil = [&](const QString& where) {
        for (int i = 0; i < 60 && place(w_) != where; ++i)
            press(Qt::Key_Return);
        ASSERT_EQ(place(w_), where);
    };
    w_->Gcon_Connect->clearTrace();
    // The last purchase column derives the sales prices.
    enterUntil(QStringLiteral("V0 PERRICDELTA+"));
    const QList<rt::Decimal> before = salesPrices();
    typeAndEnter(QStringLiteral("40")); // list 1's stored mark-up
    openFirstPurchaseCell(QStringLiteral("LI10_SC1PER"));
    typeAndEnter(rt::CStr(working(QStringLiteral("LI10_SC1PER"))));
    EXPECT_FALSE(w_->RowsModified);
    EXPECT_EQ(w_->Gcon_Connect->trace().filter(QStringLiteral("LI10_LISTARTIC")), QStringList());
    EXPECT_EQ(salesPrices(), before);

    // List 2 (default mark-up 25) gets 30: list 1's purchase net price, 6.8 less 10 % and 5 %
    // = 5.814, plus 30 %, rounded by the list's bracket to 0.05.
    enterUntil(QStringLiteral("V1 PERRICDELTA+"));
    w_->Gcon_Connect->clearTrace();
    typeAndEnter(QStringLiteral("30"));
    QList<rt::Decimal> expected = before;
    expected[1] = dec("7.55");
    EXPECT_EQ(salesPrices(), expected);
    for (const QString& sql : w_->Gcon_Connect->trace().filter(QStringLiteral("UPDATE LI10")))
        EXPECT_TRUE(sql.contains(QStringLiteral("LI10_NUMLIST = 2"))) << sql.toStdString();
    EXPECT_NO_REPORTS(*driver_);
}

TEST_P(CellEdit, APriceStillBeingTypedIsStoredWhenTheWindowCloses) {
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("7,25"));
    ASSERT_TRUE(driver_->close());
    host::Connection side;
    side.Open(driver_->connectionString);
    auto rs = side.Execute(QStringLiteral(
        "SELECT COUNT(*) AS N FROM LI10_LISTARTIC WHERE LI10_FLGVENDACQ = 1 AND LI10_NUMLIST = 1 "
        "AND LI10_CODART_MG66 = 'VITI-INOX-4X40' AND LI10_PREZZO = 7.25"));
    EXPECT_EQ(rt::CInt(rs->Fields(0).Value()), 1);
    EXPECT_NO_REPORTS(*driver_);
}

SETUP_INSTANTIATE_BACKENDS(CellEdit);

} // namespace
