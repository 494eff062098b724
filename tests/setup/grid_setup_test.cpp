// The grids of the window: how their sixteen columns show numbers, the columns and date fields the
// price-list parameters ask for, the refusal to work without parameters, the per-row configuration
// and the validity dates a list proposes.
#include "form/frmmg_prezzolampo.h"
#include "host/controls/field_controls.h"
#include "host/services/currency_service.h"
#include "host/services/global_services.h"
#include "storage/form_utilities.h"
#include "tests/setup/setup_scenarios.h"

#include <QSet>
#include <array>

namespace {

using setuptest::updateLists;
using setuptest::WindowScenario;
using Side = int;
constexpr Side Sales = demo::SalesSide;
constexpr Side Purchase = demo::PurchaseSide;

const QString Lead =
    QStringLiteral("Per poter gestire la Creazione Veloce Listini occorre definirne la gestione "
                   "nei \r\n\"Parametri di Magazzino\", ");

const QStringList EntryColumns = {"LI10_PREZZO",  "LI10_SC1PER",  "LI10_SC2PER", "LI10_SC3PER",
                                  "LI10_SC4PER",  "LI10_SC5PER",  "LI10_SC6PER", "LI10_SCIMP",
                                  "LI10_MAG1PER", "LI10_MAG2PER", "LI10_MAGIMP", "LI10_PERRICDELTA",
                                  "LI10_PROVPER"};

// ---- Without parameters for both sides the window refuses to work ----

class RefusedParameters : public WindowScenario {};

TEST_P(RefusedParameters, OneMessageAndTheWindowClosesAtItsFirstActivation) {
    const struct {
        const char* name;
        int company;
        QStringList statements;
        QString messageEnd;
    } cases[] = {
        {"company with only sales lists", demo::SalesOnlyCompany, {}, "Listini di Acquisto."},
        {"only purchase lists",
         demo::DemoCompany,
         {"DELETE FROM MG44_PARMAGLIST WHERE MG44_DITTA_CG18 = 1 AND MG44_FLGVENACQ = 0"},
         "Listini di Vendita."},
        {"no lists at all",
         demo::DemoCompany,
         {"DELETE FROM MG44_PARMAGLIST WHERE MG44_DITTA_CG18 = 1"},
         "scheda Listini."},
        {"purchase lists not in quick creation",
         demo::DemoCompany,
         {updateLists(Purchase, "MG44_FLGCREAZVELOCE = 0")},
         "Listini di Acquisto."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto driver = openWindow(c.statements, c.company);
        ASSERT_EQ(driver->log->messages.size(), 1);
        EXPECT_EQ(driver->log->messages[0].text, Lead + c.messageEnd);
        EXPECT_EQ(driver->log->messages[0].style, 48);
        EXPECT_EQ(driver->log->messages[0].title, "Attenzione");
        EXPECT_NO_REPORTS(*driver);
        EXPECT_TRUE(driver->window() == nullptr || driver->window()->isUnloaded());
    }
}

SETUP_INSTANTIATE_BACKENDS(RefusedParameters);

// ---- Columns shown: a column stays when at least one list of the side asks for it ----

struct Visibility {
    const char* name;
    QStringList statements;
    QSet<QString> hiddenPurchase;
    QSet<QString> hiddenSales;
};

class ColumnVisibility : public WindowScenario {};

TEST_P(ColumnVisibility, FollowsTheListsOfEachSide) {
    const Visibility cases[] = {
        // Purchase lists ask for 3 and 2 discounts, one surcharge, no commission.
        {"demo lists",
         {},
         {"LI10_SC4PER", "LI10_SC5PER", "LI10_SC6PER", "LI10_MAG2PER", "LI10_PERRICDELTA",
          "LI10_PROVPER"},
         {}},
        {"discounts 2 and 4, surcharges 3, one commission",
         {updateLists(Purchase, "MG44_NUMSCPERC = 2", 1),
          updateLists(Purchase, "MG44_NUMSCPERC = 4, MG44_PERCPROV = 5", 2),
          updateLists(Purchase, "MG44_NUMMAGPERC = 3", 3)},
         {"LI10_SC5PER", "LI10_SC6PER", "LI10_PERRICDELTA"},
         {}},
        {"five discounts",
         {updateLists(Purchase, "MG44_NUMSCPERC = 5", 1)},
         {"LI10_SC6PER", "LI10_MAG2PER", "LI10_PERRICDELTA", "LI10_PROVPER"},
         {}},
        {"sales lists asking for nothing",
         {updateLists(Sales, "MG44_FLGRICHPREZZO = 0, MG44_NUMSCPERC = 0, MG44_FLGRICHSCIMP = 0, "
                             "MG44_NUMMAGPERC = 0, MG44_FLGRICHMAGIMP = 0, MG44_PERCPROV = 0")},
         {"LI10_SC4PER", "LI10_SC5PER", "LI10_SC6PER", "LI10_MAG2PER", "LI10_PERRICDELTA",
          "LI10_PROVPER"},
         {"LI10_PREZZO", "LI10_SC1PER", "LI10_SC2PER", "LI10_SC3PER", "LI10_SC4PER", "LI10_SC5PER",
          "LI10_SC6PER", "LI10_SCIMP", "LI10_MAG1PER", "LI10_MAG2PER", "LI10_MAGIMP",
          "LI10_PROVPER"}},
        {"commission null everywhere",
         {updateLists(Sales, "MG44_PERCPROV = NULL")},
         {"LI10_SC4PER", "LI10_SC5PER", "LI10_SC6PER", "LI10_MAG2PER", "LI10_PERRICDELTA",
          "LI10_PROVPER"},
         {"LI10_PROVPER"}},
    };
    for (const Visibility& c : cases) {
        SCOPED_TRACE(c.name);
        auto driver = openWindow(c.statements);
        FRMMG_PREZZOLAMPO* w = driver->window();
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(driver->log->messages.isEmpty());
        for (const auto& [grid, hidden] : {std::pair{w->GRD_LISACQ, c.hiddenPurchase},
                                           std::pair{w->GRD_LISVEN, c.hiddenSales}}) {
            ASSERT_EQ(grid->columnCount(), 16);
            for (int i = 0; i < grid->columnCount(); ++i) {
                const host::GridColumn& column = grid->column(i);
                EXPECT_EQ(column.visible, !hidden.contains(column.key))
                    << grid->objectName().toStdString() << " " << column.key.toStdString();
            }
        }
        // The parameter sets stay open and unfiltered.
        EXPECT_EQ(w->Rst_ParametriACQ->Filter(), QString());
        EXPECT_EQ(w->Rst_ParametriVEN->Filter(), QString());
    }
}

SETUP_INSTANTIATE_BACKENDS(ColumnVisibility);

// ---- Dates typed or proposed by the configuration ----

class ValidityDateFields : public WindowScenario {};

TEST_P(ValidityDateFields, ADateOfNoListTypedShowsTheConfigurationCombo) {
    const struct {
        const char* name;
        QStringList statements;
        bool typed[4]; // purchase start, purchase end, sales start, sales end
    } cases[] = {
        // The third purchase list takes both dates from the header.
        {"demo lists", {}, {true, true, false, false}},
        {"one sales list with a typed start",
         {updateLists(Sales, "MG44_INDPROPDATAINI = 0", 3)},
         {true, true, true, false}},
        {"no list with typed dates",
         {updateLists(Purchase, "MG44_INDPROPDATAINI = 3, MG44_INDPROPDATAFINE = 3", 3),
          updateLists(Sales, "MG44_INDPROPDATAFINE = 0")},
         {false, false, false, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto driver = openWindow(c.statements);
        FRMMG_PREZZOLAMPO* w = driver->window();
        ASSERT_NE(w, nullptr);
        const bool flags[4] = {w->AcqStartDateRequired, w->AcqEndDateRequired,
                               w->VenStartDateRequired, w->VenEndDateRequired};
        const std::pair<host::TxtEditDate*, host::KRX_COMBO*> fields[4] = {
            {w->TXT_DADATA_ACQ, w->CBO_DADATA_ACQ},
            {w->TXT_ADATA_ACQ, w->CBO_ADATA_ACQ},
            {w->TXT_DADATA_VEN, w->CBO_DADATA_VEN},
            {w->TXT_ADATA_VEN, w->CBO_ADATA_VEN}};
        for (int i = 0; i < 4; ++i) {
            const auto [date, combo] = fields[i];
            SCOPED_TRACE(date->objectName().toStdString());
            EXPECT_EQ(flags[i], c.typed[i]);
            EXPECT_EQ(date->isEnabled(), c.typed[i]);
            EXPECT_EQ(combo->isHidden(), c.typed[i]);
            EXPECT_EQ(combo->leftTwips(), date->leftTwips());
        }
    }
}

SETUP_INSTANTIATE_BACKENDS(ValidityDateFields);

// ---- The sixteen columns ----

// How a column shows its number: percentages with three decimals, prices and amounts as the
// currency says; the kinds tell the grid how to convert what is typed, per side.
enum class Shows { Plain, Percent, Price, Amount };

class GridColumns : public WindowScenario {};

TEST_P(GridColumns, BothGridsShowTheirNumbersAsTheCurrencyAndTheSideAsk) {
    const struct {
        const char* key;
        Shows shows;
        bool editable;
        int purchaseKind1, salesKind1, kind2;
    } columns[] = {
        {"LI10_NUMLIST", Shows::Plain, false, 0, 0, 0},
        {"VALUTA", Shows::Plain, false, 0, 0, 0},
        {"LI10_PREZZO", Shows::Price, true, 5, 3, 2},
        {"LI10_SC1PER", Shows::Percent, true, 9, 7, 6},
        {"LI10_SC2PER", Shows::Percent, true, 9, 7, 6},
        {"LI10_SC3PER", Shows::Percent, true, 9, 7, 6},
        {"LI10_SC4PER", Shows::Percent, true, 9, 7, 6},
        {"LI10_SC5PER", Shows::Percent, true, 9, 7, 6},
        {"LI10_SC6PER", Shows::Percent, true, 9, 7, 6},
        {"LI10_SCIMP", Shows::Amount, true, 5, 3, 2},
        {"LI10_MAG1PER", Shows::Percent, true, 9, 7, 6},
        {"LI10_MAG2PER", Shows::Percent, true, 9, 7, 6},
        {"LI10_MAGIMP", Shows::Amount, true, 5, 3, 2},
        {"LI10_PERRICDELTA", Shows::Percent, true, 12, 12, 6},
        {"PREZZO_NETTO", Shows::Price, false, 5, 3, 2},
        {"LI10_PROVPER", Shows::Percent, true, 13, 13, 6},
    };
    auto driver = openWindow();
    FRMMG_PREZZOLAMPO* w = driver->window();
    ASSERT_NE(w, nullptr);
    const host::CurrencyService& currency = *driver->global->currency();
    const QString euro = QStringLiteral("EURO");
    for (host::KRX_QGRID* grid : {w->GRD_LISACQ, w->GRD_LISVEN}) {
        const bool purchase = grid == w->GRD_LISACQ;
        ASSERT_EQ(grid->columnCount(), 16);
        for (int i = 0; i < 16; ++i) {
            const auto& c = columns[i];
            const host::GridColumn& column = grid->column(i);
            SCOPED_TRACE(grid->objectName().toStdString() + " " + c.key);
            EXPECT_EQ(column.key, c.key);
            EXPECT_EQ(column.editable, c.editable);
            // An amount shows the price decimals it is typed with.
            const QString formats[] = {QString(), QStringLiteral("#,##0.000"),
                                       currency.priceFormat(euro), QStringLiteral("#,##0.000")};
            EXPECT_EQ(column.format, formats[int(c.shows)]);
            // Percentages take three decimals; the net price is computed, nothing is typed.
            const int decimals = c.shows == Shows::Plain ? -1
                                 : c.shows == Shows::Percent
                                     ? 3
                                     : (c.editable ? currency.priceDecimals(euro) : -1);
            EXPECT_EQ(column.decimals, decimals);
            EXPECT_EQ(column.numericKind1, purchase ? c.purchaseKind1 : c.salesKind1);
            if (c.shows != Shows::Plain) {
                EXPECT_TRUE(column.numeric);
                EXPECT_EQ(column.numericKind2, c.kind2);
                EXPECT_EQ(column.currency, euro);
            }
        }
        // The commission amount is set up as a number but has no column.
        EXPECT_EQ(grid->column(QStringLiteral("LI10_PROVIMP")), nullptr);
    }
    EXPECT_NO_REPORTS(*driver);
}

SETUP_INSTANTIATE_BACKENDS(GridColumns);

// ---- Per-row configuration ----

// A working row per list number with a non-zero value in every entry column.
const QString RowValue = QStringLiteral("7.5");

void createWorkingRows(host::Connection& connection) {
    QString columns = QStringLiteral("LI10_NUMLIST int NULL");
    for (const QString& key : EntryColumns)
        columns += QStringLiteral(", %1 decimal(17, 6) NULL").arg(key);
    connection.Execute(QStringLiteral("CREATE TABLE CONF_ROWS (%1)").arg(columns));
    for (const char* list : {"1", "2", "3", "5", "99", "NULL"}) {
        QString values = QString::fromLatin1(list);
        for (int i = 0; i < EntryColumns.size(); ++i)
            values += QStringLiteral(", ") + RowValue;
        connection.Execute(QStringLiteral("INSERT INTO CONF_ROWS (LI10_NUMLIST, %1) VALUES (%2)")
                               .arg(EntryColumns.join(", "), values));
    }
}

std::shared_ptr<host::Recordset> workingRow(host::Connection& connection, const char* list) {
    const QString where = qstrcmp(list, "NULL") == 0
                              ? QStringLiteral("LI10_NUMLIST IS NULL")
                              : QStringLiteral("LI10_NUMLIST = ") + QString::fromLatin1(list);
    return connection.Execute(QStringLiteral("SELECT * FROM CONF_ROWS WHERE ") + where);
}

void makeAllEditable(host::KRX_QGRID* grid) {
    for (const QString& key : EntryColumns)
        grid->setColumnEditable(key, 1);
}

bool isZero(const rt::Variant& v) {
    return rt::CDec(NzDec(v)).isZero();
}

struct ConfigCase {
    const char* name;
    Side side;
    const char* list;
    QSet<QString> readOnly; // the other entry columns are editable
    QSet<QString> zeroed;   // the other entry columns keep their value
    ListConfig config;
    const char* description;
};

class RowConfiguration : public WindowScenario {};

TEST_P(RowConfiguration, TheRowsListDecidesWhatIsAskedAndClearsTheRest) {
    const ConfigCase cases[] = {
        {"sales list asking for everything",
         Sales,
         "2",
         {},
         {},
         {1, 6, 1, 2, 1, 1, 1},
         "Listino rivenditori"},
        {"sales list without price, amounts and commission",
         Sales,
         "3",
         {"LI10_PREZZO", "LI10_SC5PER", "LI10_SC6PER", "LI10_SCIMP", "LI10_MAG2PER", "LI10_MAGIMP",
          "LI10_PROVPER"},
         {"LI10_SC5PER", "LI10_SC6PER", "LI10_SCIMP", "LI10_MAG2PER", "LI10_MAGIMP"},
         {0, 4, 0, 1, 0, 1, 0},
         "Listino ingrosso"},
        {"purchase list: mark-up cleared",
         Purchase,
         "1",
         {"LI10_SC4PER", "LI10_SC5PER", "LI10_SC6PER", "LI10_MAG1PER", "LI10_MAG2PER",
          "LI10_MAGIMP", "LI10_PERRICDELTA", "LI10_PROVPER"},
         {"LI10_SC4PER", "LI10_SC5PER", "LI10_SC6PER", "LI10_MAG1PER", "LI10_MAG2PER",
          "LI10_MAGIMP", "LI10_PERRICDELTA"},
         {1, 3, 1, 0, 0, 0, 0},
         "Fornitore principale - Ferramenta Nord"},
        {"purchase list with one surcharge",
         Purchase,
         "2",
         {"LI10_SC3PER", "LI10_SC4PER", "LI10_SC5PER", "LI10_SC6PER", "LI10_SCIMP", "LI10_MAG2PER",
          "LI10_PERRICDELTA", "LI10_PROVPER"},
         {"LI10_SC3PER", "LI10_SC4PER", "LI10_SC5PER", "LI10_SC6PER", "LI10_SCIMP", "LI10_MAG2PER",
          "LI10_PERRICDELTA"},
         {1, 2, 0, 1, 1, 0, 0},
         "Fornitore alternativo - Brico Import"},
    };
    // Sales list 5 asks for three surcharges, more than the grid has.
    auto driver = openWindow({updateLists(Sales, "MG44_NUMMAGPERC = 3", 5)});
    FRMMG_PREZZOLAMPO* w = driver->window();
    ASSERT_NE(w, nullptr);
    host::Connection& connection = *w->Gcon_Connect;
    createWorkingRows(connection);

    for (const ConfigCase& c : cases) {
        SCOPED_TRACE(c.name);
        const bool purchase = c.side == Purchase;
        host::KRX_QGRID* grid = purchase ? w->GRD_LISACQ : w->GRD_LISVEN;
        host::KRX_QGRID* other = purchase ? w->GRD_LISVEN : w->GRD_LISACQ;
        host::Recordset& parameters = purchase ? *w->Rst_ParametriACQ : *w->Rst_ParametriVEN;
        makeAllEditable(grid);
        makeAllEditable(other);
        w->CurrentSide = purchase ? "ACQ" : "VEN";
        const auto row = workingRow(connection, c.list);

        // The grid configured is the current side's, whatever grid is passed.
        w->ConfigurazioneListinoSpecifico(parameters, *row, other);

        EXPECT_NO_REPORTS(*driver);
        for (const QString& key : EntryColumns) {
            SCOPED_TRACE(key.toStdString());
            EXPECT_EQ(grid->column(key)->editable, !c.readOnly.contains(key));
            EXPECT_TRUE(other->column(key)->editable);
            EXPECT_EQ(isZero(row->Fields(key).Value()), c.zeroed.contains(key));
        }
        const ListConfig& got = w->CurrentListConfig;
        const auto fields = [](const ListConfig& f) {
            return std::array{f.RichPrezzo, f.NumScPerc,    f.RichScImp, f.NumMagPerc,
                              f.RichMagImp, f.RichRicarico, f.RichProvv};
        };
        EXPECT_EQ(fields(got), fields(c.config));
        EXPECT_EQ(w->TXT_DESCLISTINO->text(), c.description);
        EXPECT_EQ(parameters.Filter(), QString());
    }

    // A surcharge count above two leaves the surcharges as the previous row (list 3, one
    // surcharge) set them, and clears nothing.
    w->CurrentSide = "VEN";
    w->ConfigurazioneListinoSpecifico(*w->Rst_ParametriVEN, *workingRow(connection, "3"),
                                      w->GRD_LISVEN);
    ASSERT_FALSE(w->GRD_LISVEN->column("LI10_MAG2PER")->editable);
    const auto five = workingRow(connection, "5");
    w->ConfigurazioneListinoSpecifico(*w->Rst_ParametriVEN, *five, w->GRD_LISVEN);
    EXPECT_EQ(w->CurrentListConfig.NumMagPerc, 3);
    EXPECT_TRUE(w->GRD_LISVEN->column("LI10_MAG1PER")->editable);
    EXPECT_FALSE(w->GRD_LISVEN->column("LI10_MAG2PER")->editable);
    EXPECT_FALSE(isZero(five->Fields("LI10_MAG1PER").Value()));
    EXPECT_FALSE(isZero(five->Fields("LI10_MAG2PER").Value()));
    EXPECT_NO_REPORTS(*driver);

    w->CurrentSide = "VEN";
    w->TXT_DESCLISTINO->setText("prima");
    makeAllEditable(w->GRD_LISVEN);

    // A row without a list number, and a working set past its last row: nothing happens.
    const auto blank = workingRow(connection, "NULL");
    w->ConfigurazioneListinoSpecifico(*w->Rst_ParametriVEN, *blank, w->GRD_LISVEN);
    const auto past = workingRow(connection, "2");
    past->MoveNext();
    w->ConfigurazioneListinoSpecifico(*w->Rst_ParametriVEN, *past, w->GRD_LISVEN);
    EXPECT_TRUE(driver->log->reports.isEmpty());
    EXPECT_EQ(w->TXT_DESCLISTINO->text(), "prima");
    for (const QString& key : EntryColumns)
        EXPECT_TRUE(w->GRD_LISVEN->column(key)->editable) << key.toStdString();

    // A list number without parameters: reading them fails and is reported; leaving the
    // procedure leaves the row and the description alone.
    const auto unknown = workingRow(connection, "99");
    w->ConfigurazioneListinoSpecifico(*w->Rst_ParametriVEN, *unknown, w->GRD_LISVEN);
    ASSERT_EQ(driver->log->reports.size(), 1);
    EXPECT_EQ(driver->log->reports[0].procedure, "ConfigurazioneListinoSpecifico");
    EXPECT_EQ(w->TXT_DESCLISTINO->text(), "prima");
    for (const QString& key : EntryColumns)
        EXPECT_FALSE(isZero(unknown->Fields(key).Value())) << key.toStdString();
}

SETUP_INSTANTIATE_BACKENDS(RowConfiguration);

// ---- Proposed validity dates of a list, from the parameters in the database ----

class ListValidityDates : public WindowScenario {};

TEST_P(ListValidityDates, EachIndicatorProposesItsPeriod) {
    const struct {
        const char* name;
        Side side;
        int list;
        const char* start;
        const char* end;
    } cases[] = {
        {"current year", Sales, 1, "01/01/2024", "31/12/2024"},
        {"current month of a leap February", Sales, 2, "01/02/2024", "29/02/2024"},
        {"from today on", Sales, 3, "10/02/2024", "31/12/2099"},
        {"fixed dates of the quarter", Sales, 4, "01/01/2024", "31/03/2024"},
        {"typed sales start, indicator 5 end", Sales, 5, "01/06/2024", ""},
        {"typed purchase dates", Purchase, 3, "10/05/2024", "31/05/2024"},
    };
    auto driver =
        openWindow({updateLists(Sales, "MG44_INDPROPDATAINI = 0, MG44_INDPROPDATAFINE = 5", 5)});
    FRMMG_PREZZOLAMPO* w = driver->window();
    ASSERT_NE(w, nullptr);
    w->TXT_DADATA_ACQ->setText("10/05/2024");
    w->TXT_ADATA_ACQ->setText("31/05/2024");
    w->TXT_DADATA_VEN->setText("01/06/2024");
    w->TXT_ADATA_VEN->setText("30/06/2024");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host::Recordset& parameters =
            c.side == Purchase ? *w->Rst_ParametriACQ : *w->Rst_ParametriVEN;
        parameters.setFilter(QStringLiteral("MG44_NUMLIST = %1").arg(c.list));
        ASSERT_EQ(parameters.RecordCount(), 1);
        EXPECT_EQ(w->GetDateInizio(parameters), c.start);
        EXPECT_EQ(w->GetDateFine(parameters), c.end);
        parameters.setFilter(host::adFilterNone);
    }
    // A typed date left empty proposes today.
    w->TXT_DADATA_ACQ->setText("");
    w->TXT_ADATA_ACQ->setText("");
    w->Rst_ParametriACQ->setFilter("MG44_NUMLIST = 3");
    EXPECT_EQ(w->GetDateInizio(*w->Rst_ParametriACQ), "10/02/2024");
    EXPECT_EQ(w->GetDateFine(*w->Rst_ParametriACQ), "10/02/2024");
    w->Rst_ParametriACQ->setFilter(host::adFilterNone);
    EXPECT_NO_REPORTS(*driver);
}

SETUP_INSTANTIATE_BACKENDS(ListValidityDates);

} // namespace
