// The header refuses what cannot be right, at once and in words: an article that is no article
// of the company, a code longer than the field, an option the article does not have (or none
// for an article that has options), a text that is no date. The field keeps the focus and what
// was typed; nothing loads. While the window is busy with its own changes, the header's handlers
// stay silent.
#include "form/frmmg_prezzolampo.h"
#include "host/controls/field_controls.h"
#include "host/controls/pick_list.h"
#include "host/controls/window_controls.h"
#include "tests/setup/setup_scenarios.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace {

using setuptest::purchaseLoaded;
using setuptest::salesLoaded;
using setuptest::WindowScenario;
using testsupport::WindowDriver;

const QString LongCode = QString(500, u'X');

enum class Field { Article, Option, PurchaseStart };

class HeaderRefusal : public WindowScenario {};

TEST_P(HeaderRefusal, WhatCannotBeRightIsSaidAndTheFieldKeepsTheFocus) {
    const struct {
        const char* name;
        const char* article; // typed and accepted first, for an option
        Field field;
        QString typed;
        bool paste;    // pasted instead of typed
        QString shown; // the field's text after the refusal
        QString message;
    } cases[] = {
        {"unknown article", "", Field::Article, "NON-ESISTE", false, "NON-ESISTE",
         "L'articolo \"NON-ESISTE\" non esiste!"},
        {"article of another company", "", Field::Article, "BORRACCIA-075", false, "BORRACCIA-075",
         "L'articolo \"BORRACCIA-075\" non esiste!"},
        {"a 26-character code is not cut to 25", "", Field::Article, "SMALTO-ACQUA-075-BIANCO-XL",
         false, "SMALTO-ACQUA-075-BIANCO-XL",
         "Il codice articolo \"SMALTO-ACQUA-075-BIANCO-XL\" ha 26 caratteri: al massimo ne "
         "può avere 25!"},
        {"a 500-character paste stays whole", "", Field::Article, LongCode, true, LongCode,
         "Il codice articolo \"" + QString(30, u'X') +
             "...\" ha 500 caratteri: al massimo ne può avere 25!"},
        {"option the article does not have", setuptest::ArticleWithOptions, Field::Option, "GIALLO",
         false, "GIALLO", "La variante \"GIALLO\" non esiste per l'articolo \"SMALTO-ACQUA-075\"!"},
        {"no option for an article that has options", setuptest::ArticleWithOptions, Field::Option,
         "", false, "", "L'articolo \"SMALTO-ACQUA-075\" ha varianti: indicare la variante!"},
        {"impossible date", setuptest::ArticleWithoutOptions, Field::PurchaseStart, "31022026",
         false, "31022026", "\"31022026\" non è una data valida!"},
        {"an article code typed into a date keeps digits only", setuptest::ArticleWithoutOptions,
         Field::PurchaseStart, "TRAP-BATT-18V", false, "18", "\"18\" non è una data valida!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto driver = openWindow();
        FRMMG_PREZZOLAMPO* w = driver->window();
        ASSERT_NE(w, nullptr);
        if (*c.article != '\0')
            WindowDriver::typeAndEnter(w->TXT_CODART, c.article);
        host::FieldControl* const fields[] = {w->TXT_CODART, w->TXT_OPZIONE, w->TXT_DADATA_ACQ};
        host::FieldControl* field = fields[static_cast<int>(c.field)];
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
        EXPECT_EQ(field->text(), c.shown);
        EXPECT_EQ(driver->messageTexts(), QStringList{c.message});
        EXPECT_EQ(driver->log->messages.value(0).title, "Attenzione");
        EXPECT_EQ(driver->log->messages.value(0).style, 48);
        EXPECT_TRUE(editor->hasFocus());
        // Tab does not leave it either; the refusal is said again.
        QTest::keyClick(editor, Qt::Key_Tab);
        WindowDriver::pump();
        EXPECT_TRUE(editor->hasFocus());
        EXPECT_EQ(driver->log->messages.size(), 2);
        EXPECT_FALSE(purchaseLoaded(*w->Gcon_Connect) || salesLoaded(*w->Gcon_Connect));
        EXPECT_TRUE(driver->log->reports.isEmpty()) << driver->reports();
    }
}

TEST_P(HeaderRefusal, AnImpossibleDateBesideItsPartnerGivesOneMessageAndNoErrorReport) {
    auto driver = openWindow();
    FRMMG_PREZZOLAMPO* w = driver->window();
    ASSERT_NE(w, nullptr);
    WindowDriver::typeAndEnter(w->TXT_CODART, setuptest::ArticleWithoutOptions);
    WindowDriver::typeAndEnter(w->TXT_ADATA_ACQ, "31122026");
    ASSERT_TRUE(driver->log->messages.isEmpty());

    WindowDriver::typeAndEnter(w->TXT_DADATA_ACQ, "31022026");
    EXPECT_EQ(driver->messageTexts(), QStringList{"\"31022026\" non è una data valida!"});
    EXPECT_TRUE(driver->log->reports.isEmpty()) << driver->reports();
    EXPECT_TRUE(w->TXT_DADATA_ACQ->editor()->hasFocus());

    // Corrected, the date is taken and the lists load.
    WindowDriver::typeAndEnter(w->TXT_DADATA_ACQ, "01012026");
    EXPECT_EQ(w->TXT_DADATA_ACQ->text(), "01/01/2026");
    EXPECT_TRUE(purchaseLoaded(*w->Gcon_Connect));
    EXPECT_EQ(driver->log->messages.size(), 1);
    EXPECT_TRUE(driver->log->reports.isEmpty()) << driver->reports();
}

SETUP_INSTANTIATE_BACKENDS(HeaderRefusal);

class BusyHeader : public WindowScenario {};

TEST_P(BusyHeader, NoHeaderHandlerReactsWhileTheWindowIsBusy) {
    auto driver = openWindow();
    FRMMG_PREZZOLAMPO* w = driver->window();
    ASSERT_NE(w, nullptr);
    w->TXT_CODART->setText("NON-ESISTE");
    w->TXT_DADATA_ACQ->setText("31022026");
    w->TXT_ADATA_ACQ->setText("10022024");
    w->CurrentSide = "ACQ";
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
        {"article look-up",
         [&] {
             QString query, title, connection;
             rt::Variant key;
             emit w->TXT_CODART->StartLookup(query, key, title, connection);
             return !query.isEmpty() || !connection.isEmpty();
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

SETUP_INSTANTIATE_BACKENDS(BusyHeader);

class UnreadableParameters : public WindowScenario {};

// At load the window closes at its first activation; on "&Nuovo" at once.
TEST_P(UnreadableParameters, IgnoringTheFailedQueryClosesTheWindow) {
    for (const bool atLoad : {true, false}) {
        SCOPED_TRACE(atLoad ? "at load" : "on Nuovo");
        testsupport::WindowOptions options;
        options.connectionString = connectionString_;
        options.today = setuptest::Today;
        testsupport::WindowDriver driver(options);
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

SETUP_INSTANTIATE_BACKENDS(UnreadableParameters);

} // namespace
