// A sales row's mark-up typed in its cell: the same value again derives nothing and sends
// nothing; a new value derives that row alone from its base purchase list. A price still being
// typed when the window closes is stored.
#include "host/data/connection.h"
#include "host/data/recordset.h"
#include "runtime/conversions.h"
#include "tests/editing/sheet_driver.h"

namespace {

using editingtest::place;
using editingtest::press;
using editingtest::typeAndEnter;
using setuptest::WindowScenario;

class MarkupEdit : public WindowScenario {
  protected:
    // Enter alone until the focus stands where asked; false when it never gets there.
    static bool enterUntil(FRMMG_PREZZOLAMPO* w, const QString& where) {
        for (int i = 0; i < 60 && place(w) != where; ++i)
            press(Qt::Key_Return);
        return place(w) == where;
    }
    static QList<rt::Decimal> salesPrices(FRMMG_PREZZOLAMPO* w) {
        QList<rt::Decimal> prices;
        host::Recordset& rs = *w->Rst_RecSet_LISVEN;
        const rt::Variant here = rs.Bookmark();
        for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
            prices << rt::CDec(rs.Fields(QStringLiteral("LI10_PREZZO")).Value());
        rs.setBookmark(here);
        return prices;
    }
};

TEST_P(MarkupEdit, OnlyAChangedMarkupDerivesItsOwnRow) {
    auto driver = openWindow();
    FRMMG_PREZZOLAMPO* w = driver->window();
    editingtest::openSheet(w);
    ASSERT_TRUE(enterUntil(w, QStringLiteral("V0 PERRICDELTA+"))) << place(w).toStdString();

    // List 1 keeps its stored mark-up of 40: nothing is derived, nothing is sent.
    QList<rt::Decimal> before = salesPrices(w);
    w->Gcon_Connect->clearTrace();
    typeAndEnter(QStringLiteral("40"));
    EXPECT_TRUE(w->Gcon_Connect->trace().isEmpty())
        << w->Gcon_Connect->trace().join(u'\n').toStdString();
    EXPECT_EQ(salesPrices(w), before);

    // List 2 (default mark-up 25, rounded by the list's bracket to 0.05) gets 30: the purchase
    // net price of list 1 (6.8 less 10 % and 5 % = 5.814) plus 30 % is 7.5582, rounded 7.55.
    ASSERT_TRUE(enterUntil(w, QStringLiteral("V1 PERRICDELTA+"))) << place(w).toStdString();
    before = salesPrices(w);
    w->Gcon_Connect->clearTrace();
    typeAndEnter(QStringLiteral("30"));
    const QList<rt::Decimal> after = salesPrices(w);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after[1], *rt::Decimal::parse(std::string_view("7.55")));
    for (int row = 0; row < after.size(); ++row) {
        if (row != 1) {
            EXPECT_EQ(after[row], before[row]) << "row " << row << " was derived too";
        }
    }
    for (const QString& sql : w->Gcon_Connect->trace().filter(QStringLiteral("UPDATE LI10")))
        EXPECT_TRUE(sql.contains(QStringLiteral("LI10_NUMLIST = 2"))) << sql.toStdString();
    EXPECT_TRUE(driver->close());
}

// A price typed but not yet confirmed when the window closes is stored, not lost.
TEST_P(MarkupEdit, APriceStillBeingTypedIsStoredWhenTheWindowCloses) {
    auto driver = openWindow();
    FRMMG_PREZZOLAMPO* w = driver->window();
    editingtest::openSheet(w);
    ASSERT_EQ(place(w), QStringLiteral("A0 PREZZO+"));
    QTest::keyClicks(editingtest::focused(), QStringLiteral("7,25"));
    ASSERT_TRUE(driver->close());
    host::Connection side;
    side.Open(driver->connectionString);
    auto rs = side.Execute(QStringLiteral(
        "SELECT COUNT(*) AS N FROM LI10_LISTARTIC WHERE LI10_FLGVENDACQ = 1 AND LI10_NUMLIST = 1 "
        "AND LI10_CODART_MG66 = 'VITI-INOX-4X40' AND LI10_PREZZO = 7.25"));
    EXPECT_EQ(rt::CInt(rs->Fields(0).Value()), 1);
    EXPECT_TRUE(driver->log->reports.isEmpty());
}

SETUP_INSTANTIATE_BACKENDS(MarkupEdit);

} // namespace
