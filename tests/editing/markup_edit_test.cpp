// A sales row's mark-up typed in its cell: the same value again derives nothing and sends
// nothing; a new value derives that row alone from its base purchase list. A price still being
// typed when the window closes is stored.
#include "tests/editing/sheet_driver.h"

namespace {

using editingtest::place;
using editingtest::typeAndEnter;
using setuptest::WindowScenario;

class MarkupEdit : public WindowScenario {};

TEST_P(MarkupEdit, OnlyAChangedMarkupDerivesItsOwnRow) {
    auto driver = openWindow();
    FRMMG_PREZZOLAMPO* w = driver->window();
    editingtest::openSheet(w);
    host::Recordset& sales = *w->Rst_RecSet_LISVEN;
    const auto salesPrices = [&] {
        QList<rt::Decimal> prices;
        const rt::Variant here = sales.Bookmark();
        for (sales.MoveFirst(); !sales.IsEOF(); sales.MoveNext())
            prices << rt::CDec(sales.Fields(QStringLiteral("LI10_PREZZO")).Value());
        sales.setBookmark(here);
        return prices;
    };
    // List 1 keeps its stored mark-up of 40; list 2 (default mark-up 25) gets 30.
    for (const char* markup : {"40", "30"}) {
        SCOPED_TRACE(markup);
        for (int i = 0; i < 60 && !place(w).endsWith(u"PERRICDELTA+"); ++i)
            editingtest::press(Qt::Key_Return);
        ASSERT_TRUE(place(w).endsWith(u"PERRICDELTA+")) << place(w).toStdString();
        const QList<rt::Decimal> before = salesPrices();
        const int row = sales.AbsolutePosition() - 1;
        w->Gcon_Connect->clearTrace();
        typeAndEnter(QString::fromLatin1(markup));
        const QList<rt::Decimal> after = salesPrices();
        ASSERT_EQ(after.size(), before.size());
        for (int other = 0; other < after.size(); ++other)
            if (other != row) {
                EXPECT_EQ(after[other], before[other]) << "row " << other << " was derived too";
            }
        const QStringList sent = w->Gcon_Connect->trace();
        if (row == 0) { // the same mark-up: nothing is derived, nothing is sent
            EXPECT_TRUE(sent.isEmpty()) << sent.join(u'\n').toStdString();
            EXPECT_EQ(after[0], before[0]);
        } else {
            // List 1's purchase net price, 6.8 less 10 % and 5 % = 5.814, plus 30 %, rounded
            // by the list's bracket to 0.05.
            EXPECT_EQ(after[1], dec("7.55"));
            for (const QString& sql : sent.filter(QStringLiteral("UPDATE LI10")))
                EXPECT_TRUE(sql.contains(QStringLiteral("LI10_NUMLIST = 2"))) << sql.toStdString();
        }
    }
    EXPECT_TRUE(driver->close());
}

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
