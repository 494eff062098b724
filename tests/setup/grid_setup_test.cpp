// The grids as the price-list parameters set them up: columns, number formats, date fields,
// the per-row configuration and each list's period; no parameters, no window.
#include "form/frmmg_prezzolampo.h"
#include "host/controls/field_controls.h"
#include "host/window/window_support.h"
#include "storage/form_utilities.h"
#include "tests/setup/setup_scenarios.h"

#include <QFontMetrics>
#include <QSet>
#include <QStyle>
#include <QTableView>

namespace {

using setuptest::updateLists;
using setuptest::WindowScenario;
constexpr int Sales = demo::SalesSide;
constexpr int Purchase = demo::PurchaseSide;

// "SC1PER MAGIMP" -> {"LI10_SC1PER", "LI10_MAGIMP"}
QSet<QString> keys(const char* shortKeys) {
    QSet<QString> set;
    for (const QString& k : QString::fromLatin1(shortKeys).split(u' ', Qt::SkipEmptyParts))
        set.insert(u"LI10_"_qs + k);
    return set;
}

const QStringList EntryColumns = {"LI10_PREZZO",  "LI10_SC1PER",  "LI10_SC2PER", "LI10_SC3PER",
                                  "LI10_SC4PER",  "LI10_SC5PER",  "LI10_SC6PER", "LI10_SCIMP",
                                  "LI10_MAG1PER", "LI10_MAG2PER", "LI10_MAGIMP", "LI10_PERRICDELTA",
                                  "LI10_PROVPER"};
const char* const DemoPurchaseHidden = "SC4PER SC5PER SC6PER MAG2PER PERRICDELTA PROVPER";

class GridSetup : public WindowScenario {};

TEST_P(GridSetup, WithoutListsOfBothSidesOneMessageAndTheWindowCloses) {
    const struct {
        QString statement, messageEnd;
        int company = demo::DemoCompany;
    } cases[] = {
        {{}, "Listini di Acquisto.", demo::SalesOnlyCompany},
        {"DELETE FROM MG44_PARMAGLIST WHERE MG44_FLGVENACQ = 0", "Listini di Vendita."},
        {"DELETE FROM MG44_PARMAGLIST", "scheda Listini."},
        {updateLists(Purchase, "MG44_FLGCREAZVELOCE = 0"), "Listini di Acquisto."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.messageEnd.toStdString());
        auto driver =
            openWindow(c.statement.isEmpty() ? QStringList() : QStringList{c.statement}, c.company);
        EXPECT_EQ(driver->messageTexts(),
                  QStringList{"Per poter gestire la Creazione Veloce Listini occorre definirne la "
                              "gestione nei \r\n\"Parametri di Magazzino\", " +
                              c.messageEnd});
        EXPECT_EQ(driver->log->messages.value(0).style, 48);
        EXPECT_EQ(driver->log->messages.value(0).title, "Attenzione");
        EXPECT_NO_REPORTS(*driver);
        EXPECT_TRUE(driver->window() == nullptr || driver->window()->isUnloaded());
    }
}

// A column stays when one list of the side asks for it; a date no list types shows the combo.
// Every number shows three decimals, amounts too (1,235 in "Sc. importo" never shows 1,24).
TEST_P(GridSetup, ColumnsAndDateFieldsFollowTheListsAndNumbersShowAsTheCurrencyAsks) {
    const struct {
        const char* key;
        bool editable;
        int purchaseKind1, salesKind1, kind2; // 0: no number
    } columns[] = {
        {"LI10_NUMLIST", false, 0, 0, 0}, {"VALUTA", false, 0, 0, 0},
        {"LI10_PREZZO", true, 5, 3, 2},   {"LI10_SC1PER", true, 9, 7, 6},
        {"LI10_SC2PER", true, 9, 7, 6},   {"LI10_SC3PER", true, 9, 7, 6},
        {"LI10_SC4PER", true, 9, 7, 6},   {"LI10_SC5PER", true, 9, 7, 6},
        {"LI10_SC6PER", true, 9, 7, 6},   {"LI10_SCIMP", true, 5, 3, 2},
        {"LI10_MAG1PER", true, 9, 7, 6},  {"LI10_MAG2PER", true, 9, 7, 6},
        {"LI10_MAGIMP", true, 5, 3, 2},   {"LI10_PERRICDELTA", true, 12, 12, 6},
        {"PREZZO_NETTO", false, 5, 3, 2}, {"LI10_PROVPER", true, 13, 13, 6},
    };
    // clang-format off
    const struct {
        QStringList statements;
        const char *hiddenPurchase, *hiddenSales;
        const char* typed; // "1100": purchase start and end typed, sales start and end proposed
    } cases[] = {
        {{}, DemoPurchaseHidden, "", "1100"},
        {{updateLists(Purchase, "MG44_NUMSCPERC = 2", 1),
          updateLists(Purchase, "MG44_NUMSCPERC = 4, MG44_PERCPROV = 5", 2),
          updateLists(Purchase, "MG44_NUMMAGPERC = 3", 3),
          updateLists(Sales, "MG44_INDPROPDATAINI = 0", 3)},
         "SC5PER SC6PER PERRICDELTA", "", "1110"},
        {{updateLists(Purchase, "MG44_NUMSCPERC = 5", 1)}, "SC6PER MAG2PER PERRICDELTA PROVPER", "",
         "1100"},
        {{updateLists(Sales, "MG44_FLGRICHPREZZO = 0, MG44_NUMSCPERC = 0, MG44_FLGRICHSCIMP = 0, "
                             "MG44_NUMMAGPERC = 0, MG44_FLGRICHMAGIMP = 0, MG44_PERCPROV = 0")},
         DemoPurchaseHidden,
         "PREZZO SC1PER SC2PER SC3PER SC4PER SC5PER SC6PER SCIMP MAG1PER MAG2PER MAGIMP PROVPER",
         "1100"},
        {{updateLists(Sales, "MG44_PERCPROV = NULL"),
          updateLists(Purchase, "MG44_INDPROPDATAINI = 3, MG44_INDPROPDATAFINE = 3", 3),
          updateLists(Sales, "MG44_INDPROPDATAFINE = 0")}, DemoPurchaseHidden, "PROVPER", "0001"},
    };
    // clang-format on
    const QString euro = u"EURO"_qs;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hiddenPurchase);
        auto driver = openWindow(c.statements);
        FRMMG_PREZZOLAMPO* w = driver->window();
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(driver->log->messages.isEmpty());
        for (const auto& [grid, hidden] : {std::pair{w->GRD_LISACQ, keys(c.hiddenPurchase)},
                                           std::pair{w->GRD_LISVEN, keys(c.hiddenSales)}}) {
            ASSERT_EQ(grid->columnCount(), 16);
            for (int i = 0; i < 16; ++i) {
                const auto& n = columns[i];
                const host::GridColumn& column = grid->column(i);
                SCOPED_TRACE(grid->objectName().toStdString() + " " + n.key);
                const bool number = n.kind2 != 0;
                EXPECT_EQ(column.key, n.key);
                EXPECT_EQ(column.visible, !hidden.contains(column.key));
                EXPECT_EQ(column.editable, n.editable);
                EXPECT_EQ(column.format, number ? u"#,##0.000"_qs : QString());
                EXPECT_EQ(column.decimals, number && n.editable ? 3 : -1);
                EXPECT_EQ(column.numericKind1,
                          grid == w->GRD_LISACQ ? n.purchaseKind1 : n.salesKind1);
                if (number) {
                    EXPECT_TRUE(column.numeric);
                    EXPECT_EQ(column.numericKind2, n.kind2);
                    EXPECT_EQ(column.currency, euro);
                }
            }
            // "EURO" fits its column whole.
            QTableView* view = grid->view();
            const int currencyWidth = view->columnWidth(grid->columnIndex(u"VALUTA"_qs));
            const int textMargin =
                view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
            EXPECT_LE(QFontMetrics(view->font()).horizontalAdvance(euro) + 2 * textMargin,
                      currencyWidth - 1);
            EXPECT_EQ(currencyWidth, host::twipsToPixels(560));
        }
        EXPECT_TRUE(w->Rst_ParametriACQ->Filter().isEmpty() &&
                    w->Rst_ParametriVEN->Filter().isEmpty());
        host::TxtEditDate* const dates[4] = {w->TXT_DADATA_ACQ, w->TXT_ADATA_ACQ, w->TXT_DADATA_VEN,
                                             w->TXT_ADATA_VEN};
        host::KRX_COMBO* const combos[4] = {w->CBO_DADATA_ACQ, w->CBO_ADATA_ACQ, w->CBO_DADATA_VEN,
                                            w->CBO_ADATA_VEN};
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(dates[i]->objectName().toStdString());
            const bool typed = c.typed[i] == '1';
            EXPECT_EQ(dates[i]->isEnabled(), typed);
            EXPECT_EQ(combos[i]->isHidden(), typed);
            EXPECT_EQ(combos[i]->leftTwips(), dates[i]->leftTwips());
        }
        EXPECT_NO_REPORTS(*driver);
    }
}

// A working row per list number with 7.5 in every entry column.
std::shared_ptr<host::Recordset> workingRow(host::Connection& connection, const QString& list) {
    return connection.Execute(
        u"SELECT * FROM CONF_ROWS WHERE "_qs +
        (list == u"NULL"_qs ? u"LI10_NUMLIST IS NULL"_qs : u"LI10_NUMLIST = "_qs + list));
}

void createWorkingRows(host::Connection& connection) {
    QString columns = u"LI10_NUMLIST int NULL"_qs;
    for (const QString& key : EntryColumns)
        columns += u", %1 decimal(17, 6) NULL"_qs.arg(key);
    connection.Execute(u"CREATE TABLE CONF_ROWS (%1)"_qs.arg(columns));
    for (const char* list : {"1", "2", "3", "5", "99", "NULL"})
        connection.Execute(u"INSERT INTO CONF_ROWS (LI10_NUMLIST, %1) VALUES (%2%3)"_qs.arg(
            EntryColumns.join(u", "_qs), QLatin1String(list),
            QString(u", 7.5"_qs).repeated(EntryColumns.size())));
}

TEST_P(GridSetup, TheRowsListDecidesWhatIsAskedAndClearsTheRestAndItsPeriod) {
    const QString Previous = u"Fornitore alternativo - Brico Import"_qs;
    const struct {
        int side;
        QString list;         // "2>": the working set past its row of list 2
        const char* readOnly; // the other entry columns are editable
        const char* zeroed;   // the other entry columns keep their value
        QString description;
        bool reported = false;
    } cases[] = {
        {Sales, "2", "", "", "Listino rivenditori"},
        {Sales, "3", "PREZZO SC5PER SC6PER SCIMP MAG2PER MAGIMP PROVPER",
         "SC5PER SC6PER SCIMP MAG2PER MAGIMP", "Listino ingrosso"},
        {Purchase, "1", "SC4PER SC5PER SC6PER MAG1PER MAG2PER MAGIMP PERRICDELTA PROVPER",
         "SC4PER SC5PER SC6PER MAG1PER MAG2PER MAGIMP PERRICDELTA",
         "Fornitore principale - Ferramenta Nord"},
        {Purchase, "2", "SC3PER SC4PER SC5PER SC6PER SCIMP MAG2PER PERRICDELTA PROVPER",
         "SC3PER SC4PER SC5PER SC6PER SCIMP MAG2PER PERRICDELTA", Previous},
        // No row of a list: nothing happens; a list without parameters is reported.
        {Sales, "NULL", "", "", Previous},
        {Sales, "2>", "", "", Previous},
        {Sales, "99", "", "", Previous, true},
    };
    // Sales list 5 asks for three surcharges, more than the grid has, and a period with no end.
    auto driver = openWindow({updateLists(
        Sales, "MG44_NUMMAGPERC = 3, MG44_INDPROPDATAINI = 0, MG44_INDPROPDATAFINE = 5", 5)});
    FRMMG_PREZZOLAMPO* w = driver->window();
    ASSERT_NE(w, nullptr);
    host::Connection& connection = *w->Gcon_Connect;
    createWorkingRows(connection);

    for (const auto& c : cases) {
        SCOPED_TRACE(c.list.toStdString());
        const bool purchase = c.side == Purchase;
        host::KRX_QGRID* grid = purchase ? w->GRD_LISACQ : w->GRD_LISVEN;
        host::KRX_QGRID* other = purchase ? w->GRD_LISVEN : w->GRD_LISACQ;
        host::Recordset& parameters = purchase ? *w->Rst_ParametriACQ : *w->Rst_ParametriVEN;
        for (const QString& key : EntryColumns) {
            grid->setColumnEditable(key, 1);
            other->setColumnEditable(key, 1);
        }
        w->CurrentSide = purchase ? "ACQ" : "VEN";
        driver->log->reports.clear();
        const auto row = workingRow(connection, c.list.section(u'>', 0, 0));
        if (c.list.endsWith(u'>'))
            row->MoveNext();
        // The grid configured is the current side's, whatever grid is passed.
        w->ConfigurazioneListinoSpecifico(parameters, *row, other);
        EXPECT_EQ(driver->reportedProcedures(),
                  c.reported ? QStringList{u"ConfigurazioneListinoSpecifico"_qs} : QStringList());
        for (const QString& key : EntryColumns) {
            SCOPED_TRACE(key.toStdString());
            EXPECT_EQ(grid->column(key)->editable, !keys(c.readOnly).contains(key));
            EXPECT_TRUE(other->column(key)->editable);
            EXPECT_TRUE(row->IsEOF() || rt::CDec(NzDec(row->Fields(key).Value())).isZero() ==
                                            keys(c.zeroed).contains(key));
        }
        EXPECT_EQ(w->TXT_DESCLISTINO->text(), c.description);
        EXPECT_TRUE(c.reported || parameters.Filter().isEmpty())
            << parameters.Filter().toStdString();
    }

    // More than two surcharges leave the surcharges as list 3 (one surcharge) set them.
    w->CurrentSide = "VEN";
    w->ConfigurazioneListinoSpecifico(*w->Rst_ParametriVEN, *workingRow(connection, "3"),
                                      w->GRD_LISVEN);
    const auto five = workingRow(connection, "5");
    w->ConfigurazioneListinoSpecifico(*w->Rst_ParametriVEN, *five, w->GRD_LISVEN);
    EXPECT_TRUE(w->GRD_LISVEN->column(u"LI10_MAG1PER"_qs)->editable);
    EXPECT_FALSE(w->GRD_LISVEN->column(u"LI10_MAG2PER"_qs)->editable);
    EXPECT_FALSE(rt::CDec(NzDec(five->Fields(u"LI10_MAG2PER"_qs).Value())).isZero());
    EXPECT_EQ(driver->reportedProcedures(), QStringList{u"ConfigurazioneListinoSpecifico"_qs});

    // The period each list proposes, from its parameters; the typed dates are its own side's.
    w->TXT_DADATA_ACQ->setText(u"10/05/2024"_qs);
    w->TXT_ADATA_ACQ->setText(u"31/05/2024"_qs);
    w->TXT_DADATA_VEN->setText(u"01/06/2024"_qs);
    w->TXT_ADATA_VEN->setText(u"30/06/2024"_qs);
    const struct {
        int side, list;
        const char *start, *end;
    } periods[] = {{Sales, 2, "01/02/2024", "29/02/2024"},
                   {Sales, 4, "01/01/2024", "31/03/2024"},
                   {Sales, 5, "01/06/2024", ""},
                   {Purchase, 3, "10/05/2024", "31/05/2024"}};
    for (const auto& c : periods) {
        SCOPED_TRACE(c.list);
        host::Recordset& parameters =
            c.side == Purchase ? *w->Rst_ParametriACQ : *w->Rst_ParametriVEN;
        parameters.setFilter(u"MG44_NUMLIST = %1"_qs.arg(c.list));
        ASSERT_EQ(parameters.RecordCount(), 1);
        EXPECT_EQ(w->GetDateInizio(parameters), c.start);
        EXPECT_EQ(w->GetDateFine(parameters), c.end);
    }
    EXPECT_EQ(driver->reportedProcedures(), QStringList{u"ConfigurazioneListinoSpecifico"_qs});
}

SETUP_INSTANTIATE_BACKENDS(GridSetup);

} // namespace
