// Deriving sales prices through the window, on SQLite and PostgreSQL: the price each list's
// parameters ask for, in the working row and in LI10_LISTARTIC, and a pass that always leaves
// the grids attached, the window drawn and every filter gone.
#include "host/controls/window_controls.h"
#include "host/window/window_support.h"
#include "tests/editing/sheet_driver.h"

namespace {

using editingtest::storedValue;
using editingtest::text;
using setuptest::updateLists;
using testsupport::WindowDriver;

const char* const Screws = "VITI-INOX-4X40"; // VAT 22 %, bracket 1 (0.05; 0.10 from 50)
const char* const Honey = "MIELE-MILLEF";    // VAT 10.5 %, no bracket
const char* const Shears = "FORBICI-POTA";   // bracket 2 without the arr flag

// One sales list (1) on one purchase list (1); the purchase row is set to a gross price of 125
// with a 20 % discount: net 100.
struct Case {
    const char* n; // name
    const char* article = Screws;
    // MG44_RICDEFAULT, MG44_INDMODRICZERO, MG44_FLGIVACOMPR of each side, MG44_INDARRPREZZO
    int dflt = 0, zero = 0, pVat = 0, sVat = 0, arr = 0;
    const char *bracket = "NULL", *base = "1"; // MG44_SCAGL_MG02, MG44_NUMLISTACQRIC
    rt::Variant method = std::int16_t(0);
    bool ins = false;
    const char* rowMk = "25";
    // Afterwards: the sales row's price (12.9: the stored one kept), mark-up, rounding columns;
    // whether it was saved.
    const char *price, *markup = "25";
    const char* rnd = "0"; // "0" (0 and Null), the bracket (1 and it), or "keep"
    bool saved = true;
};

// clang-format off
const Case Cases[] = {
    {.n = "margin", .method = 1, .price = "133.333333"},
    {.n = "Null method, no default: margin", .method = rt::Variant::null(), .price = "133.333333"},
    {.n = "Null, default: on cost", .dflt = 30, .method = rt::Variant::null(), .price = "125"},
    {.n = "VAT added", .sVat = 1, .price = "152.5"},
    {.n = "VAT removed", .pVat = 1, .price = "102.459016"},
    {.n = "VAT 10.5 % counts as 10", .article = Honey, .sVat = 1, .price = "137.5"},
    {.n = "mode 0", .rowMk = "0", .price = "12.9", .markup = "0", .rnd = "keep"},
    {.n = "insert", .dflt = 30, .ins = true, .rowMk = "0", .price = "130", .markup = "30"},
    {.n = "no insert", .dflt = 30, .zero = 2, .rowMk = "0", .price = "125", .markup = "0"},
    {.n = "mode 1", .zero = 1, .rowMk = "0", .price = "125", .markup = "0"},
    {.n = "mode 2, VAT added", .zero = 2, .sVat = 1, .rowMk = "0", .price = "152.5", .markup = "0"},
    {.n = "mode 3", .zero = 3, .rowMk = "0", .price = "100", .markup = "0"},
    {.n = "article's bracket", .arr = 1, .method = 1, .price = "133.3", .rnd = "1"},
    {.n = "no flag", .article = Shears, .arr = 1, .method = 1, .price = "133.333333",
     .rnd = "keep"},
    {.n = "list's bracket", .arr = 2, .bracket = "3", .method = 1, .price = "129", .rnd = "3"},
    {.n = "no list bracket", .arr = 2, .method = 1, .price = "133.333333", .rnd = "keep"},
    {.n = "margin 100", .method = 1, .rowMk = "100", .price = "12.9", .markup = "100",
     .rnd = "keep"},
    {.n = "base not bought", .base = "7", .price = "12.9", .rnd = "keep", .saved = false},
    {.n = "no base list", .base = "NULL", .price = "12.9", .rnd = "keep", .saved = false},
};
// clang-format on

class Recalculation : public setuptest::WindowScenario {
  protected:
    // Only purchase list 1 and sales list 1 take part, as the case sets them; the article is
    // loaded through the header.
    std::unique_ptr<WindowDriver> openFor(const Case& c) {
        auto driver = openWindow({
            u"DELETE FROM MG44_PARMAGLIST WHERE MG44_DITTA_CG18 = 1 AND MG44_NUMLIST <> 1"_qs,
            updateLists(demo::PurchaseSide, u"MG44_FLGIVACOMPR = %1"_qs.arg(c.pVat)),
            updateLists(
                demo::SalesSide,
                u"MG44_NUMLISTACQRIC = %1, MG44_RICDEFAULT = %2, MG44_INDMODRICZERO = %3, "
                "MG44_FLGIVACOMPR = %4, MG44_INDARRPREZZO = %5, MG44_SCAGL_MG02 = %6"_qs.arg(
                    QLatin1String(c.base), QString::number(c.dflt), QString::number(c.zero),
                    QString::number(c.sVat), QString::number(c.arr), QLatin1String(c.bracket))),
        });
        WindowDriver::typeAndEnter(driver->window()->TXT_CODART, QLatin1String(c.article));
        return driver;
    }

    static rt::Variant get(host::Recordset& rs, const char* column) {
        return rs.Fields(QLatin1String(column)).Value();
    }
};

// Whatever a pass did, it leaves the window as the user works in it.
void expectWindowGivenBack(FRMMG_PREZZOLAMPO& w) {
    EXPECT_EQ(w.GRD_LISVEN->recordset(), w.Rst_RecSet_LISVEN);
    EXPECT_EQ(w.GRD_LISACQ->recordset(), w.Rst_RecSet_LISACQ);
    EXPECT_FALSE(host::isWindowUpdateLocked());
    EXPECT_FALSE(w.Gbol_Busy);
    EXPECT_TRUE(w.Rst_RecSet_LISACQ->Filter().isEmpty());
    EXPECT_TRUE(w.Rst_ParametriVEN->Filter().isEmpty());
}

TEST_P(Recalculation, EachListGetsThePriceItsParametersAskFor) {
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.n);
        auto driver = openFor(c);
        FRMMG_PREZZOLAMPO& w = *driver->window();
        ASSERT_TRUE(w.Rst_RecSet_LISACQ && w.Rst_RecSet_LISVEN) << "the article did not load";
        host::Recordset& purchase = *w.Rst_RecSet_LISACQ;
        host::Recordset& sales = *w.Rst_RecSet_LISVEN;
        ASSERT_EQ(purchase.RecordCount(), 1);
        ASSERT_EQ(sales.RecordCount(), 1);
        purchase.Fields(u"LI10_PREZZO"_qs).setValue(dec("125"));
        purchase.Fields(u"LI10_SC1PER"_qs).setValue(dec("20"));
        purchase.Fields(u"PREZZO_NETTO"_qs).setValue(dec("100"));
        sales.Fields(u"LI10_PERRICDELTA"_qs).setValue(dec(c.rowMk));
        const rt::Variant bracketBefore = get(sales, "LI10_SCAGL_MG02");
        driver->global->setMarkupMethod(c.method);
        w.RowsInserted = c.ins;
        w.Gcon_Connect->clearTrace();

        w.CMD_RICALCOLATUTTI_ButtonClick();

        EXPECT_EQ(rt::CDec(get(sales, "LI10_PREZZO")), dec(c.price));
        EXPECT_EQ(rt::CDec(get(sales, "LI10_PERRICDELTA")), dec(c.markup));
        const QString rnd = QLatin1String(c.rnd);
        if (rnd == u"keep"_qs) {
            EXPECT_EQ(get(sales, "LI10_SCAGL_MG02").debugText(), bracketBefore.debugText());
        } else {
            EXPECT_EQ(rt::CInt(get(sales, "LI10_INDARROT")), rnd == u"0"_qs ? 0 : 1);
            EXPECT_EQ(get(sales, "LI10_SCAGL_MG02").isNull(), rnd == u"0"_qs);
            EXPECT_EQ(NzStr(get(sales, "LI10_SCAGL_MG02")), rnd == u"0"_qs ? QString() : rnd);
        }
        if (c.zero == 1 && std::string(c.rowMk) == "0") {
            EXPECT_EQ(rt::CDec(get(sales, "LI10_SC1PER")), dec("20"));
        }
        const QStringList sent = w.Gcon_Connect->trace();
        // A save is its UPDATE, followed by the INSERT when the row was not stored yet.
        const qsizetype updates = sent.filter(u"UPDATE LI10_LISTARTIC"_qs).size();
        EXPECT_EQ(updates, c.saved ? 1 : 0) << sent.join(u'\n').toStdString();
        EXPECT_LE(sent.filter(u"INSERT INTO LI10_LISTARTIC"_qs).size(), updates);
        EXPECT_EQ(rt::CDec(storedValue(connectionString_, sales, "LI10_PREZZO")), dec(c.price));
        EXPECT_NO_REPORTS(*driver);
        expectWindowGivenBack(w);
        EXPECT_TRUE(driver->close());
    }
}

// The drill with the demo company's lists: "&Ricalcola" clicked, the derived prices on screen
// are the stored ones and the look-ups are the article's. (A row alone derived when its mark-up
// is typed is the editing tests' business.)
TEST_P(Recalculation, DemoArticleDerivedAndStored) {
    auto driver = openWindow();
    FRMMG_PREZZOLAMPO& w = *driver->window();
    WindowDriver::openArticle(w, u"TRAP-BATT-18V"_qs);
    ASSERT_TRUE(w.Rst_RecSet_LISVEN && w.Rst_RecSet_LISACQ) << "the drill did not load";
    host::Recordset& sales = *w.Rst_RecSet_LISVEN;
    ASSERT_EQ(sales.RecordCount(), 5);

    // List 1 adds 40 % and VAT to the net, then rounds by the drill's bracket 3 (tens ending in
    // 9); list 2 adds its default 25 % to the net 70.413 and rounds by bracket 1 to 0.10. The
    // look-ups are sent as the system writes them.
    w.Gcon_Connect->clearTrace();
    WindowDriver::click(w.CMD_RICALCOLATUTTI);
    EXPECT_EQ(sales.AbsolutePosition(), 1);
    const QStringList sent = w.Gcon_Connect->trace();
    EXPECT_TRUE(sent.contains(u"SELECT MG66_SCAGL_MG02 FROM MG66_ANAGRART WHERE "
                              "MG66_DITTA_CG18 =1 AND MG66_CODART ='TRAP-BATT-18V' AND "
                              "MG66_FLGARRPRZ = 1"_qs));
    EXPECT_TRUE(sent.contains(u"SELECT CG28_PERCIVA FROM MG66_ANAGRART INNER JOIN CG28_TABCODIVA "
                              "ON MG66_ALIVA_CG28 = CG28_CODICE WHERE MG66_DITTA_CG18 = 1 AND "
                              "MG66_CODART ='TRAP-BATT-18V'"_qs));
    // List 3: the net price of purchase list 2's new row.
    const char* const prices[] = {"119", "88", "0"};
    for (int list = 1; list <= 3; ++list) {
        sales.setAbsolutePosition(list); // the rows are in list order
        EXPECT_EQ(rt::CDec(get(sales, "LI10_PREZZO")), dec(prices[list - 1])) << list;
    }
    for (sales.MoveFirst(); !sales.IsEOF(); sales.MoveNext()) { // rows that are stored
        const rt::Variant stored = storedValue(connectionString_, sales, u"LI10_PREZZO"_qs);
        if (text(stored) != "no stored row") {
            EXPECT_EQ(text(stored), text(sales.Fields(u"LI10_PREZZO"_qs).Value()));
        }
    }
    expectWindowGivenBack(w);

    // A derived price the price column cannot hold (12 integer digits) is refused by its save,
    // which says so; the pass goes on and the later rows are stored.
    w.Rst_RecSet_LISACQ->MoveFirst();
    w.Rst_RecSet_LISACQ->Fields(u"PREZZO_NETTO"_qs).setValue(dec("99999999999"));
    w.Rst_RecSet_LISACQ->MoveNext(); // purchase list 2, the base of list 3 (its net price)
    w.Rst_RecSet_LISACQ->Fields(u"PREZZO_NETTO"_qs).setValue(dec("50"));
    sales.MoveFirst(); // a pass starts only from a row
    WindowDriver::click(w.CMD_RICALCOLATUTTI);
    EXPECT_TRUE(driver->reportedProcedures().contains(u"UpdateRecord"_qs));
    sales.setAbsolutePosition(3); // a row after the refused ones
    EXPECT_EQ(text(storedValue(connectionString_, sales, u"LI10_PREZZO"_qs)), "50");
    expectWindowGivenBack(w);

    // A look-up that fails is reported under its own name, and the pass still ends.
    driver->log->reports.clear();
    w.Gstr_Ditta = u"x"_qs; // no such column: every look-up fails
    sales.MoveFirst();
    WindowDriver::click(w.CMD_RICALCOLATUTTI);
    const QStringList failed = driver->reportedProcedures();
    EXPECT_TRUE(failed.contains(u"GetAliquotaIvaArticolo"_qs) &&
                failed.contains(u"GetScaglione"_qs))
        << failed.join(u' ').toStdString();
    expectWindowGivenBack(w);
    EXPECT_TRUE(driver->close());
}

// After an edit was saved, a new article whose rows are inserted gets the default mark-ups
// once, from the header's status event.
TEST_P(Recalculation, InsertedRowsGetTheDefaultMarkupFromTheHeader) {
    auto driver = openWindow();
    FRMMG_PREZZOLAMPO& w = *driver->window();
    WindowDriver::openArticle(w, u"SEMENTI-PRATO"_qs);
    ASSERT_TRUE(w.Rst_RecSet_LISVEN) << "the article did not load";
    w.RowsModified = true;
    w.FME_TESTATA_ChangeStatus(0, 0); // the purchase row is inserted: the rows are derived
    EXPECT_FALSE(w.RowsInserted);
    host::Recordset& sales = *w.Rst_RecSet_LISVEN;
    const char* const markups[] = {"40", "25", "0"}; // list 3 has no default mark-up: it keeps 0
    for (int list = 1; list <= 3; ++list) {
        sales.setAbsolutePosition(list); // the rows are in list order
        EXPECT_EQ(rt::CDec(NzDec(get(sales, "LI10_PERRICDELTA"))), dec(markups[list - 1])) << list;
    }
    EXPECT_TRUE(driver->close());
}

SETUP_INSTANTIATE_BACKENDS(Recalculation);

} // namespace
