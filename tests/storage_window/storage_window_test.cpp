// Loading and saving price lists through the window, on SQLite and PostgreSQL: the statements
// sent, the working rows, the guards and the errors the user is asked about.
#include "host/controls/field_controls.h"
#include "host/controls/window_controls.h"
#include "tests/setup/setup_scenarios.h"

#include <QApplication>

namespace {

using testsupport::WindowDriver;

const QString Screws = u"VITI-INOX-4X40"_qs;

class StorageWindow : public setuptest::WindowScenario {
  protected:
    void TearDown() override {
        driver.reset();
        WindowScenario::TearDown();
    }

    FRMMG_PREZZOLAMPO& w() { return *driver->window(); }
    // The window on the demo database changed by the statements.
    void show(const QStringList& statements = {}) {
        driver = openWindow(statements);
        ASSERT_NE(driver->window(), nullptr);
        ASSERT_FALSE(w().Gbol_Busy) << "the parameters were not read";
    }
    // The screws' sales side loaded as Setup loads it.
    void loadSales() {
        w().TXT_CODART->setText(Screws);
        w().TXT_CODART->validContent(); // its look-up is not part of the load
        w().SetupLisVen();
        w().UpdateRecords(u"VEN"_qs);
    }
    host::Recordset& sales() { return *w().Rst_RecSet_LISVEN; }
    // Positions the sales recordset on the row of a list.
    void toList(int list) {
        host::Recordset& rs = sales();
        rs.MoveFirst();
        while (!rs.IsEOF() && rt::CInt(rs.Fields(u"LI10_NUMLIST"_qs).Value()) != list)
            rs.MoveNext();
        ASSERT_FALSE(rs.IsEOF()) << "no working row of list " << list;
    }
    rt::Variant cell(const char* column) { return sales().Fields(QLatin1String(column)).Value(); }
    void setCell(const char* column, const rt::Variant& v) {
        sales().Fields(QLatin1String(column)).setValue(v);
    }
    QStringList saveCurrentRow() {
        w().TXT_CODART->validContent(); // its look-up is not part of the save
        w().Gcon_Connect->clearTrace();
        w().UpdateRecord(sales());
        return w().Gcon_Connect->trace();
    }

    std::unique_ptr<WindowDriver> driver;
};

// List 1 keeps only last year's row and list 2 none: both get a new row, as list 3 does, with
// the commission its list's percentage gives.
TEST_P(StorageWindow, NewRowsIgnoreOtherPeriodsAndTakeTheListsCommission) {
    const QDate today = rt::Today();
    const QString sales = u"DELETE FROM LI10_LISTARTIC WHERE LI10_CODART_MG66 = "
                          "'VITI-INOX-4X40' AND LI10_FLGVENDACQ = 0 AND LI10_NUMLIST = "_qs;
    show({sales + u"2"_qs, sales + u"1 AND LI10_DATAINIZIOVAL = '"_qs +
                               QDate(today.year(), 1, 1).toString(u"yyyyMMdd"_qs) + u"'"_qs});
    loadSales();
    const struct {
        int list;
        const char* parameter;
        int flag, percent;
    } cases[] = {{1, "NULL", 0, 0}, {3, "0", 1, 0}, {2, "5", 1, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parameter);
        toList(c.list);
        EXPECT_EQ(rt::CDate(cell("LI10_DATACREAZ")).date(), today);
        EXPECT_EQ(rt::CInt(cell("LI10_FLGPROVV")), c.flag);
        EXPECT_EQ(rt::CDec(cell("LI10_PROVPER")), rt::Decimal(c.percent));
    }
    toList(1);
    EXPECT_EQ(rt::CDate(cell("LI10_DATAINIZIOVAL")).date(), QDate(today.year(), 1, 1));
}

// One window through a day of saves (what they store is tests/fast_plan's and Recalculation's): an
// unedited row, the guards, a new row, a reload of the same header and of another one, and the
// connection lost under a save.
TEST_P(StorageWindow, SavingARowAndItsGuards) {
    show();
    loadSales();

    // Without an edit nothing is written, but the net price is refreshed.
    toList(2);
    setCell("LI10_PREZZO", rt::Variant(std::int16_t(20)));
    w().RowsModified = false;
    EXPECT_TRUE(saveCurrentRow().isEmpty());
    EXPECT_EQ(rt::CDec(cell("PREZZO_NETTO")), rt::Decimal(19)); // 20 less 5 %

    const struct {
        const char* name;
        std::function<void(FRMMG_PREZZOLAMPO&)> arrange;
    } guards[] = {
        {"busy", [](FRMMG_PREZZOLAMPO& f) { f.Gbol_Busy = true; }},
        {"no valid article", [](FRMMG_PREZZOLAMPO& f) { f.TXT_CODART->setText(u"NON-ESISTE"_qs); }},
        {"focus on Nuovo",
         [](FRMMG_PREZZOLAMPO& f) {
             f.activateWindow();
             f.CMD_NUOVO->setFocus();
             WindowDriver::pump();
         }},
    };
    for (const auto& c : guards) {
        SCOPED_TRACE(c.name);
        toList(2);
        w().RowsModified = true;
        setCell("LI10_PREZZO", rt::Variant(std::int16_t(33)));
        setCell("PREZZO_NETTO", rt::Variant(std::int16_t(-1)));
        c.arrange(w());
        if (QString(c.name) == u"focus on Nuovo"_qs && QApplication::focusWidget() != w().CMD_NUOVO)
            continue; // the platform gave the focus elsewhere: nothing to test
        EXPECT_TRUE(saveCurrentRow().isEmpty());
        EXPECT_EQ(rt::CDec(cell("PREZZO_NETTO")), rt::Decimal(-1));
        w().Gbol_Busy = false;
        w().TXT_CODART->setText(Screws);
        w().CMD_NUOVO->clearFocus();
    }

    // A new row is inserted once, then updated.
    toList(3);
    w().RowsModified = true;
    setCell("LI10_PREZZO", rt::Variant(*rt::Decimal::parse(u"12.5"_qs)));
    const QStringList first = saveCurrentRow();
    ASSERT_EQ(first.size(), 2);
    EXPECT_TRUE(first[1].startsWith(u" INSERT INTO LI10_LISTARTIC  (LI10_DITTA_CG18, "_qs));
    EXPECT_TRUE(w().RowsInserted);
    const QStringList second = saveCurrentRow();
    ASSERT_EQ(second.size(), 1) << "the UPDATE found the row: no question, no INSERT";
    EXPECT_TRUE(second[0].startsWith(u" UPDATE LI10_LISTARTIC SET LI10_INDTIPOLIS = 0, "_qs));

    // Reloading the same header keeps the rows and their edits; another period makes a new
    // working table.
    sales().MoveFirst();
    w().TXT_DADATA_VEN->setText(rt::CStr(cell("LI10_DATAINIZIOVAL")));
    w().TXT_ADATA_VEN->setText(rt::CStr(cell("LI10_DATAFINEVAL")));
    setCell("LI10_PREZZO", rt::Variant(std::int16_t(77)));
    const host::Recordset* before = w().Rst_RecSet_LISVEN.get();
    w().SetupLisVen();
    w().UpdateRecords(u"VEN"_qs);
    EXPECT_EQ(rt::CDec(cell("LI10_PREZZO")), rt::Decimal(77));
    w().TXT_ADATA_VEN->setText(u"31/12/2098"_qs);
    w().SetupLisVen();
    EXPECT_NE(w().Rst_RecSet_LISVEN.get(), before);

    // A lost connection is reported, never a crash.
    w().UpdateRecords(u"VEN"_qs);
    toList(2);
    w().RowsModified = true;
    w().RowsInserted = false;
    w().TXT_CODART->validContent();
    if (QString::fromLatin1(GetParam()) == u"PostgreSQL"_qs) {
        // The server ends the window's session.
        host::Connection side;
        side.Open(driver->connectionString);
        side.Execute(u"SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE pid <> "
                     "pg_backend_pid() AND datname = current_database()"_qs);
    } else {
        w().Gcon_Connect->Close();
    }
    w().UpdateRecord(sales());
    EXPECT_TRUE(driver->reportedProcedures().contains(u"UpdateRecord"_qs)) << driver->reports();
    EXPECT_FALSE(w().RowsInserted) << "an UPDATE without an answer is no sign of a new row";
}

SETUP_INSTANTIATE_BACKENDS(StorageWindow);

} // namespace
