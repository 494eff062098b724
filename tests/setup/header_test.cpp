// The header: date consistency, the loading once the required dates are complete, and "&Nuovo"
// (an article with options waits for its option: tests/setup/layout_test.cpp).
#include "form/frmmg_prezzolampo.h"
#include "host/controls/field_controls.h"
#include "host/controls/window_controls.h"
#include "tests/setup/setup_scenarios.h"

#include <QLineEdit>

namespace {

using setuptest::purchaseLoaded;
using setuptest::salesLoaded;
using setuptest::updateLists;
using setuptest::WindowScenario;
using testsupport::WindowDriver;

const QString DatesMessage = QStringLiteral("Le date di validità non sono corrette!");

bool gridsAndRecalculationEnabled(FRMMG_PREZZOLAMPO* w) {
    return w->GRD_LISACQ->isEnabled() && w->GRD_LISVEN->isEnabled() &&
           w->CMD_RICALCOLATUTTI->isEnabled();
}

bool anyOfGridsAndRecalculationEnabled(FRMMG_PREZZOLAMPO* w) {
    return w->GRD_LISACQ->isEnabled() || w->GRD_LISVEN->isEnabled() ||
           w->CMD_RICALCOLATUTTI->isEnabled();
}

// The purchase dates of the demo are typed (its third purchase list asks for them).
void typePurchaseDates(FRMMG_PREZZOLAMPO* w) {
    WindowDriver::typeAndEnter(w->TXT_DADATA_ACQ, "01012024");
    WindowDriver::typeAndEnter(w->TXT_ADATA_ACQ, "31122024");
}

class DateConsistency : public WindowScenario {};

TEST_P(DateConsistency, EndBeforeStartIsRefusedOnEitherSide) {
    const struct {
        const char* name;
        const char* dates[4]; // purchase start, end, sales start, end
        bool valid;
        QStringList reported; // "procedure number"
        QList<int> answers;
    } cases[] = {
        {"all empty", {"", "", "", ""}, true, {}, {}},
        {"purchase end before start", {"10/05/2024", "09/05/2024", "", ""}, false, {}, {}},
        {"purchase end on the start day", {"10/05/2024", "10/05/2024", "", ""}, true, {}, {}},
        {"sales end before start", {"", "", "01/06/2024", "31/05/2024"}, false, {}, {}},
        {"four dates, one not a date",
         {"10/05/2024", "11/05/2024", "abc", "12/05/2024"},
         false,
         {},
         {}},
        // Not all four filled: the comparison meets the text and fails; "continue" goes on.
        {"no date, continue", {"abc", "10/05/2024", "", ""}, true, {"DAtaValid 13"}, {2}},
        {"no date, leave", {"abc", "10/05/2024", "", ""}, true, {"DAtaValid 13"}, {3}},
    };
    auto driver = openWindow();
    FRMMG_PREZZOLAMPO* w = driver->window();
    ASSERT_NE(w, nullptr);
    host::TxtEditDate* const fields[4] = {w->TXT_DADATA_ACQ, w->TXT_ADATA_ACQ, w->TXT_DADATA_VEN,
                                          w->TXT_ADATA_VEN};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        driver->log->reports.clear();
        driver->log->answers = c.answers;
        for (int i = 0; i < 4; ++i)
            fields[i]->setText(QString::fromUtf8(c.dates[i]));
        EXPECT_EQ(w->DAtaValid(), c.valid);
        QStringList reported;
        for (const auto& r : driver->log->reports)
            reported.append(QStringLiteral("%1 %2").arg(r.procedure).arg(r.number));
        EXPECT_EQ(reported, c.reported);
    }
}

TEST_P(DateConsistency, TypingAnInconsistentPeriodShowsTheMessageAndKeepsTheField) {
    const struct {
        const char* name;
        const char* start;
        const char* end;
        bool refused;
    } cases[] = {
        {"end the day before", "10052024", "09052024", true},
        {"end on the same day", "10052024", "10052024", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto driver = openWindow();
        FRMMG_PREZZOLAMPO* w = driver->window();
        ASSERT_NE(w, nullptr);
        WindowDriver::typeAndEnter(w->TXT_CODART, setuptest::ArticleWithoutOptions);
        WindowDriver::typeAndEnter(w->TXT_DADATA_ACQ, c.start);
        WindowDriver::typeAndEnter(w->TXT_ADATA_ACQ, c.end);
        if (c.refused) {
            ASSERT_EQ(driver->log->messages.size(), 1);
            EXPECT_EQ(driver->log->messages[0].text, DatesMessage);
            EXPECT_EQ(driver->log->messages[0].style, 48);
            EXPECT_EQ(driver->log->messages[0].title, "Attenzione");
            EXPECT_TRUE(w->TXT_ADATA_ACQ->editor()->hasFocus());
            EXPECT_FALSE(anyOfGridsAndRecalculationEnabled(w));
            EXPECT_FALSE(purchaseLoaded(*w->Gcon_Connect));
        } else {
            EXPECT_TRUE(driver->log->messages.isEmpty());
            EXPECT_TRUE(gridsAndRecalculationEnabled(w));
            EXPECT_TRUE(purchaseLoaded(*w->Gcon_Connect));
        }
        EXPECT_NO_REPORTS(*driver);
    }
}

SETUP_INSTANTIATE_BACKENDS(DateConsistency);

class HeaderCompletion : public WindowScenario {};

TEST_P(HeaderCompletion, ARequiredSalesDateMissingKeepsBothGridsDisabled) {
    auto driver = openWindow({updateLists(demo::SalesSide, "MG44_INDPROPDATAINI = 0", 1)});
    FRMMG_PREZZOLAMPO* w = driver->window();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->VenStartDateRequired);
    WindowDriver::typeAndEnter(w->TXT_CODART, setuptest::ArticleWithoutOptions);
    typePurchaseDates(w);
    EXPECT_FALSE(anyOfGridsAndRecalculationEnabled(w));
    EXPECT_FALSE(purchaseLoaded(*w->Gcon_Connect));

    WindowDriver::typeAndEnter(w->TXT_DADATA_VEN, "01012024");
    EXPECT_TRUE(gridsAndRecalculationEnabled(w));
    EXPECT_TRUE(purchaseLoaded(*w->Gcon_Connect));
    EXPECT_TRUE(salesLoaded(*w->Gcon_Connect));
    EXPECT_FALSE(w->TXT_DADATA_VEN->isEnabled());
    EXPECT_NO_REPORTS(*driver);
}

TEST_P(HeaderCompletion, SetupLoadsOnlyTheSidesWhoseRequiredDatesAreTyped) {
    auto driver = openWindow({updateLists(demo::SalesSide, "MG44_INDPROPDATAINI = 0", 1)});
    FRMMG_PREZZOLAMPO* w = driver->window();
    ASSERT_NE(w, nullptr);
    w->TXT_CODART->setText(setuptest::ArticleWithoutOptions);
    w->TXT_DADATA_ACQ->setText("01/01/2024");
    w->TXT_ADATA_ACQ->setText("31/12/2024");
    w->Setup();
    WindowDriver::pump();
    EXPECT_TRUE(purchaseLoaded(*w->Gcon_Connect));
    EXPECT_FALSE(salesLoaded(*w->Gcon_Connect));
    EXPECT_FALSE(w->TXT_DADATA_ACQ->isEnabled());
    EXPECT_FALSE(w->TXT_ADATA_ACQ->isEnabled());
    EXPECT_TRUE(w->TXT_DADATA_VEN->isEnabled());
    EXPECT_FALSE(w->Gbol_Busy);
    EXPECT_NO_REPORTS(*driver);
}

SETUP_INSTANTIATE_BACKENDS(HeaderCompletion);

class NewArticle : public WindowScenario {};

TEST_P(NewArticle, EmptiesTheHeaderAndReadsTheParametersAgain) {
    auto driver = openWindow();
    FRMMG_PREZZOLAMPO* w = driver->window();
    ASSERT_NE(w, nullptr);
    typePurchaseDates(w);
    WindowDriver::typeAndEnter(w->TXT_CODART, setuptest::ArticleWithoutOptions);
    ASSERT_TRUE(gridsAndRecalculationEnabled(w));
    ASSERT_FALSE(w->TXT_DESCART->text().isEmpty());
    const auto parametersBefore = w->Rst_ParametriVEN;

    // The parameters change meanwhile: a sales start date becomes required.
    execute(driver->connectionString, {updateLists(demo::SalesSide, "MG44_INDPROPDATAINI = 0", 2)});
    w->Gcon_Connect->clearTrace();
    w->RowsModified = true;
    WindowDriver::click(w->CMD_NUOVO);

    for (host::FieldControl* field : std::initializer_list<host::FieldControl*>{
             w->TXT_CODART, w->TXT_OPZIONE, w->TXT_DADATA_ACQ, w->TXT_ADATA_ACQ, w->TXT_DADATA_VEN,
             w->TXT_ADATA_VEN})
        EXPECT_EQ(field->text(), QString()) << field->objectName().toStdString();
    EXPECT_EQ(w->TXT_DESCART->text(), QString());
    EXPECT_TRUE(w->TXT_CODART->isEnabled());
    EXPECT_TRUE(w->TXT_CODART->editor()->hasFocus());
    EXPECT_FALSE(anyOfGridsAndRecalculationEnabled(w));
    EXPECT_EQ(w->GRD_LISACQ->recordset(), nullptr);
    EXPECT_EQ(w->GRD_LISVEN->recordset(), nullptr);
    EXPECT_EQ(w->Rst_RecSet_LISACQ, nullptr);
    EXPECT_EQ(w->Rst_RecSet_LISVEN, nullptr);
    EXPECT_FALSE(w->RowsModified);
    // Read again: the new parameter sets and the sales start date now typed.
    EXPECT_EQ(setuptest::statementsStartingWith(*w->Gcon_Connect, "SELECT * FROM MG44_PARMAGLIST "),
              QStringList({"SELECT * FROM MG44_PARMAGLIST  WHERE MG44_DITTA_CG18 = 1 AND "
                           "MG44_FLGCREAZVELOCE = 1",
                           "SELECT * FROM MG44_PARMAGLIST  WHERE MG44_DITTA_CG18 = 1 AND "
                           "MG44_FLGVENACQ = 1 AND MG44_FLGCREAZVELOCE = 1",
                           "SELECT * FROM MG44_PARMAGLIST  WHERE MG44_DITTA_CG18 = 1 AND "
                           "MG44_FLGVENACQ = 0 AND MG44_FLGCREAZVELOCE = 1"}));
    EXPECT_NE(w->Rst_ParametriVEN, parametersBefore);
    EXPECT_TRUE(w->VenStartDateRequired);
    EXPECT_TRUE(w->TXT_DADATA_VEN->isEnabled());
    EXPECT_TRUE(w->CBO_DADATA_VEN->isHidden());
    EXPECT_TRUE(w->TXT_DADATA_ACQ->isEnabled());
    EXPECT_NO_REPORTS(*driver);

    // The next article starts again.
    typePurchaseDates(w);
    WindowDriver::typeAndEnter(w->TXT_DADATA_VEN, "01012024");
    WindowDriver::typeAndEnter(w->TXT_CODART, "TASS-NYLON-8");
    EXPECT_TRUE(gridsAndRecalculationEnabled(w));
    EXPECT_TRUE(salesLoaded(*w->Gcon_Connect));
}

SETUP_INSTANTIATE_BACKENDS(NewArticle);

} // namespace
