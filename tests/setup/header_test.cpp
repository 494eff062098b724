// The header: refusals in words with the focus kept, a caller's article, the loading once the
// header is complete, "&Nuovo", date consistency, and silence while the window is busy.
#include "form/frmmg_prezzolampo.h"
#include "host/controls/field_controls.h"
#include "host/controls/pick_list.h"
#include "host/controls/window_controls.h"
#include "storage/form_utilities.h"
#include "tests/setup/setup_scenarios.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace {

using setuptest::updateLists;
using testsupport::WindowDriver;

// Sales list 2 asks for a typed start date.
const QString SalesStartTyped = updateLists(demo::SalesSide, "MG44_INDPROPDATAINI = 0", 2);

// No list asks for a typed date: the article alone completes the header.
const QStringList NoTypedDates = {
    updateLists(demo::PurchaseSide, "MG44_INDPROPDATAINI = 1, MG44_INDPROPDATAFINE = 1"),
    updateLists(demo::SalesSide, "MG44_INDPROPDATAINI = 1, MG44_INDPROPDATAFINE = 1")};

// "CODART=VITI-INOX-4X40 DADATA_ACQ=01012024": each text typed into its TXT_ field, then Enter.
void typeInHeader(FRMMG_PREZZOLAMPO* w, const char* steps) {
    for (const QString& step : QString::fromUtf8(steps).split(u' ', Qt::SkipEmptyParts))
        WindowDriver::typeAndEnter(
            w->findChild<host::FieldControl*>(u"TXT_"_qs + step.section(u'=', 0, 0)),
            step.section(u'=', 1));
}

// The working tables of a side ("ACQ", "VEN") the window created.
qsizetype creates(FRMMG_PREZZOLAMPO* w, const char* side) {
    return w->Gcon_Connect->trace()
        .filter(QRegularExpression(QStringLiteral("^CREATE TABLE ##LIS%1_").arg(side)))
        .size();
}

bool anyOfGridsAndRecalculationEnabled(FRMMG_PREZZOLAMPO* w) {
    return w->GRD_LISACQ->isEnabled() || w->GRD_LISVEN->isEnabled() ||
           w->CMD_RICALCOLATUTTI->isEnabled();
}

class Header : public setuptest::WindowScenario {};

TEST_P(Header, ThePeriodsDecideWhatIsValidAndWhichSideLoads) {
    // clang-format off
    const struct {
        const char* name;
        const char* dates[4]; // purchase start, end, sales start, end
        bool valid;
        QList<int> answers; // to the comparison's type mismatch; none: nothing is reported
    } cases[] = {
        {"all empty", {"", "", "", ""}, true, {}},
        // A purchase end before, or on, its start day: the refusal table's "end before its start".
        {"sales end before start", {"", "", "01/06/2024", "31/05/2024"}, false, {}},
        {"one not a date", {"10/05/2024", "11/05/2024", "abc", "12/05/2024"}, false, {}},
        // Not all four filled: the comparison meets the text and fails; "continue" goes on.
        {"no date, continue", {"abc", "10/05/2024", "", ""}, true, {2}},
        {"no date, leave", {"abc", "10/05/2024", "", ""}, true, {3}},
    };
    // clang-format on
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
        EXPECT_EQ(driver->reports(),
                  c.answers.isEmpty() ? "" : "DAtaValid (13 Tipo non corrispondente)");
    }
    // Setup loads only the sides whose required dates are typed: the demo's purchase lists ask
    // for both (here the end alone), its sales lists for none.
    for (host::TxtEditDate* date : fields)
        date->setText(QString());
    w->TXT_CODART->setText(setuptest::ArticleWithoutOptions);
    w->TXT_ADATA_ACQ->setText(u"31/12/2024"_qs);
    w->Setup();
    EXPECT_TRUE(creates(w, "VEN") == 1 && creates(w, "ACQ") == 0);
    EXPECT_TRUE(w->TXT_DADATA_ACQ->isEnabled() && !w->Gbol_Busy);
}

TEST_P(Header, WhatCannotBeRightIsSaidAndTheFieldKeepsTheFocus) {
    const QString LongCode(500, u'X');
    const struct {
        const char* name;
        const char* before; // typed and taken first
        const char* field;
        QString typed, message;
        QString shown = {};          // the field's text after the refusal; empty: as typed
        const char* correction = ""; // typed next, it is taken and the purchase side loads
        bool paste = false;          // pasted instead of typed
    } cases[] = {
        // clang-format off
        {"unknown article", "", "CODART", "NON-ESISTE", "L'articolo \"NON-ESISTE\" non esiste!"},
        {"a 26-character code is not cut to 25", "", "CODART", "SMALTO-ACQUA-075-BIANCO-XL",
         "Il codice articolo \"SMALTO-ACQUA-075-BIANCO-XL\" ha 26 caratteri: al massimo ne "
         "può avere 25!"},
        {"a 500-character paste stays whole", "", "CODART", LongCode, "Il codice articolo \"" +
         QString(30, u'X') + "...\" ha 500 caratteri: al massimo ne può avere 25!", {}, "", true},
        {"option the article does not have", "CODART=SMALTO-ACQUA-075", "OPZIONE", "GIALLO",
         "La variante \"GIALLO\" non esiste per l'articolo \"SMALTO-ACQUA-075\"!"},
        {"no option for an article that has options", "CODART=SMALTO-ACQUA-075", "OPZIONE", "",
         "L'articolo \"SMALTO-ACQUA-075\" ha varianti: indicare la variante!"},
        // The text never reaches the comparison with its partner: no error report.
        {"impossible date beside its partner", "CODART=VITI-INOX-4X40 ADATA_ACQ=31122026",
         "DADATA_ACQ", "31022026", "\"31022026\" non è una data valida!", {}, "01012026"},
        {"an article code typed into a date keeps digits only", "CODART=VITI-INOX-4X40",
         "DADATA_ACQ", "TRAP-BATT-18V", "\"18\" non è una data valida!", "18"},
        {"end before its start", "CODART=VITI-INOX-4X40 DADATA_ACQ=10052024", "ADATA_ACQ",
         "09052024", "Le date di validità non sono corrette!", "09/05/2024", "10052024"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto driver = openWindow();
        FRMMG_PREZZOLAMPO* w = driver->window();
        ASSERT_NE(w, nullptr);
        typeInHeader(w, c.before);
        ASSERT_TRUE(driver->log->messages.isEmpty());
        auto* field = w->findChild<host::FieldControl*>(u"TXT_"_qs + c.field);
        ASSERT_NE(field, nullptr);
        QLineEdit* editor = field->editor();
        if (c.paste) {
            editor->setFocus();
            QApplication::clipboard()->setText(c.typed);
            editor->paste();
            QTest::keyClick(editor, Qt::Key_Return);
            WindowDriver::pump();
        } else {
            WindowDriver::typeAndEnter(field, c.typed);
        }
        EXPECT_EQ(field->text(), c.shown.isEmpty() ? c.typed : c.shown);
        EXPECT_EQ(driver->messageTexts(), QStringList{c.message});
        EXPECT_EQ(driver->log->messages.value(0).title, "Attenzione");
        EXPECT_EQ(driver->log->messages.value(0).style, 48);
        EXPECT_TRUE(editor->hasFocus());
        // Tab does not leave it either; the refusal is said again.
        QTest::keyClick(editor, Qt::Key_Tab);
        WindowDriver::pump();
        EXPECT_TRUE(editor->hasFocus());
        EXPECT_EQ(driver->log->messages.size(), 2);
        EXPECT_FALSE(creates(w, "ACQ") || creates(w, "VEN") || w->GRD_LISACQ->isEnabled());
        if (*c.correction != '\0') {
            WindowDriver::typeAndEnter(field, c.correction);
            EXPECT_EQ(creates(w, "ACQ"), 1);
            EXPECT_EQ(driver->log->messages.size(), 2);
        }
        EXPECT_TRUE(driver->log->reports.isEmpty()) << driver->reports();
    }
}

// The first activation enters a calling program's article as if typed and confirmed.
TEST_P(Header, ACallersArticleIsEnteredAsIfTypedAndConfirmed) {
    const QString Drill = u"Trapano avvitatore a batteria 18 V"_qs;
    const struct {
        const char* name;
        QString code;
        bool datesAsked; // the demo's purchase dates; else NoTypedDates
        QString description;
        bool accepted;         // the field shows it disabled; else enabled, refused in words
        bool withOptions;      // the option field is enabled
        bool loaded;           // the lists load at once
        QString message = {};  // none
        const char* then = ""; // typed next: the drill's lists load
    } cases[] = {
        {"purchase dates asked, trailing blanks of the caller", "TRAP-BATT-18V   ", true, Drill,
         true, false, false, "", "DADATA_ACQ=01012026 ADATA_ACQ=311226"},
        {"no date asked", "TRAP-BATT-18V", false, Drill, true, false, true},
        {"article with options", setuptest::ArticleWithOptions, false, "Smalto all'acqua 0,75 l",
         true, true, false},
        {"no article of the company", "BORRACCIA-075", false, "", false, false, false,
         "L'articolo \"BORRACCIA-075\" non esiste!", "CODART=TRAP-BATT-18V"},
        {"longer than the field: never cut to a prefix", "TRAP-BATT-18V-PROFESSIONALE", false, "",
         false, false, false,
         "Il codice articolo \"TRAP-BATT-18V-PROFESSIONALE\" ha 27 caratteri: al massimo ne "
         "può avere 25!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto driver =
            openWindow(c.datesAsked ? QStringList() : NoTypedDates, demo::DemoCompany, c.code);
        FRMMG_PREZZOLAMPO* w = driver->window();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->TXT_CODART->text(), c.code.trimmed());
        EXPECT_EQ(w->TXT_CODART->isEnabled(), !c.accepted);
        EXPECT_EQ(w->TXT_DESCART->text(), c.description);
        EXPECT_EQ(w->TXT_OPZIONE->isEnabled(), c.withOptions);
        for (const bool loaded :
             {creates(w, "ACQ") > 0, creates(w, "VEN") > 0, w->GRD_LISACQ->isEnabled()})
            EXPECT_EQ(loaded, c.loaded);
        const QStringList messages = c.message.isEmpty() ? QStringList() : QStringList{c.message};
        EXPECT_EQ(driver->messageTexts(), messages);
        // The focus waits where the user goes on.
        QWidget* expected = !c.accepted     ? static_cast<QWidget*>(w->TXT_CODART)
                            : c.withOptions ? static_cast<QWidget*>(w->TXT_OPZIONE)
                            : c.loaded      ? static_cast<QWidget*>(w->GRD_LISACQ)
                                            : static_cast<QWidget*>(w->TXT_DADATA_ACQ);
        QWidget* focus = w->focusWidget();
        EXPECT_TRUE(focus != nullptr && (expected == focus || expected->isAncestorOf(focus)));
        if (*c.then != '\0') {
            typeInHeader(w, c.then);
            EXPECT_TRUE(creates(w, "ACQ") == 1 && creates(w, "VEN") == 1);
            EXPECT_EQ(w->TXT_DESCART->text(), Drill);
            ASSERT_NE(w->Rst_RecSet_LISACQ, nullptr);
            EXPECT_EQ(NzStr(w->Rst_RecSet_LISACQ->Fields(u"LI10_CODART_MG66"_qs).Value()),
                      "TRAP-BATT-18V");
            EXPECT_EQ(driver->messageTexts(), messages);
        }
        EXPECT_NO_REPORTS(*driver);
    }
}

// Each round ends with "&Nuovo", which empties the header for the next article.
TEST_P(Header, ACompletedHeaderLoadsEachSideOnce) {
    const struct {
        bool salesStartTyped;
        const char *first, *last; // the header typed, and what completes it
    } cases[] = {
        {false, "DADATA_ACQ=01012024 ADATA_ACQ=31122024", "CODART=VITI-INOX-4X40"},
        {false, "CODART=VITI-INOX-4X40 DADATA_ACQ=01012024", "ADATA_ACQ=31122024"},
        {false, "DADATA_ACQ=01012024 ADATA_ACQ=31122024 CODART=SMALTO-ACQUA-075", "OPZIONE=BIANCO"},
        {true, "CODART=VITI-INOX-4X40 DADATA_ACQ=01012024 ADATA_ACQ=31122024",
         "DADATA_VEN=01012024"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.last);
        auto driver = openWindow(c.salesStartTyped ? QStringList{SalesStartTyped} : QStringList());
        FRMMG_PREZZOLAMPO* w = driver->window();
        ASSERT_NE(w, nullptr);
        const std::initializer_list<host::FieldControl*> keys = {
            w->TXT_CODART,    w->TXT_OPZIONE,    w->TXT_DADATA_ACQ,
            w->TXT_ADATA_ACQ, w->TXT_DADATA_VEN, w->TXT_ADATA_VEN};
        for (int round = 1; round <= 2; ++round) {
            SCOPED_TRACE(round == 1 ? "first article" : "after Nuovo");
            // Nothing loads and the grids stay off until the header is complete.
            typeInHeader(w, c.first);
            EXPECT_EQ(creates(w, "ACQ"), round - 1);
            EXPECT_FALSE(anyOfGridsAndRecalculationEnabled(w));
            typeInHeader(w, c.last);
            EXPECT_TRUE(w->GRD_LISACQ->isEnabled() && w->GRD_LISVEN->isEnabled() &&
                        w->CMD_RICALCOLATUTTI->isEnabled());
            // Once loaded the key cannot change.
            for (host::FieldControl* key : keys)
                EXPECT_FALSE(key->isEnabled()) << key->objectName().toStdString();
            EXPECT_FALSE(w->Gbol_Busy);
            // Each side loaded once: the header's later events of the same completion leave the
            // loaded rows alone.
            w->Setup();
            EXPECT_EQ(creates(w, "VEN"), round);
            EXPECT_EQ(creates(w, "ACQ"), round);

            w->RowsModified = true;
            WindowDriver::click(w->CMD_NUOVO);
            for (host::FieldControl* key : keys)
                EXPECT_EQ(key->text(), QString()) << key->objectName().toStdString();
            EXPECT_EQ(w->TXT_DESCART->text(), QString());
            EXPECT_TRUE(w->TXT_CODART->isEnabled() && w->TXT_CODART->editor()->hasFocus());
            EXPECT_FALSE(anyOfGridsAndRecalculationEnabled(w) || w->RowsModified);
            EXPECT_FALSE(w->GRD_LISACQ->recordset() || w->GRD_LISVEN->recordset() ||
                         w->Rst_RecSet_LISACQ || w->Rst_RecSet_LISVEN);
        }
        EXPECT_NO_REPORTS(*driver);
    }
}

TEST_P(Header, NoHandlerReactsWhileTheWindowIsBusy) {
    auto driver = openWindow();
    FRMMG_PREZZOLAMPO* w = driver->window();
    ASSERT_NE(w, nullptr);
    w->TXT_CODART->setText("NON-ESISTE");
    w->TXT_DADATA_ACQ->setText("31022026");
    const auto validates = [](host::FieldControl* field) {
        return [field] {
            bool cancel = false;
            emit field->Validate(cancel);
            return cancel;
        };
    };
    const struct {
        const char* name;
        std::function<bool()> reacted; // raises the event; true when the window reacted
    } events[] = {
        {"article Validate", validates(w->TXT_CODART)},
        {"date Validate", validates(w->TXT_DADATA_ACQ)},
        {"sales date entered",
         [&] {
             emit w->TXT_DADATA_VEN->Entered();
             return w->CurrentSide != "ACQ";
         }},
        {"option decode",
         [&] {
             QList<QPair<QWidget*, QString>> targets;
             QString connection;
             emit w->TXT_OPZIONE->StartDecode(targets, connection);
             return !targets.isEmpty() || !connection.isEmpty();
         }},
        {"F4 in the article field",
         [&] {
             bool listShown = false;
             QTimer::singleShot(0, [&] {
                 if (QWidget* modal = QApplication::activeModalWidget()) {
                     listShown = qobject_cast<host::PickList*>(modal) != nullptr;
                     modal->close();
                 }
             });
             QTest::keyClick(w->TXT_CODART->editor(), Qt::Key_F4);
             WindowDriver::pump();
             return listShown;
         }},
    };
    for (const bool busy : {true, false}) {
        w->Gbol_Busy = busy;
        for (const auto& e : events) {
            SCOPED_TRACE(std::string(e.name) + (busy ? " (busy)" : " (not busy)"));
            w->CurrentSide = "ACQ";
            // The same events do react once the window is no longer busy.
            EXPECT_EQ(e.reacted(), !busy);
        }
        if (busy) {
            EXPECT_TRUE(driver->log->messages.isEmpty());
            EXPECT_TRUE(driver->log->reports.isEmpty()) << driver->reports();
        }
    }
}

// At load the window closes at its first activation; on "&Nuovo" at once.
TEST_P(Header, UnreadableParametersCloseTheWindow) {
    for (const bool atLoad : {true, false}) {
        SCOPED_TRACE(atLoad ? "at load" : "on Nuovo");
        WindowDriver driver({connectionString_, true, setuptest::Today, {}});
        const QString drop = QStringLiteral("DROP TABLE MG44_PARMAGLIST");
        if (atLoad)
            execute(driver.connectionString, {drop});
        driver.log->defaultAnswer = host::ErrorContinue; // "Ignora" to every report
        driver.show();
        if (!atLoad) {
            ASSERT_NE(driver.window(), nullptr);
            driver.window()->Gcon_Connect->Execute(drop);
            WindowDriver::click(driver.window()->CMD_NUOVO);
        }
        EXPECT_EQ(driver.reportedProcedures(), QStringList{"SetupGrids"});
        EXPECT_EQ(driver.window(), nullptr) << "the window stayed open without parameter sets";
        EXPECT_TRUE(driver.close());
    }
}

SETUP_INSTANTIATE_BACKENDS(Header);

} // namespace
