// A calling program hands in its article (IsCalled, CodiceArticolo): the first activation
// enters it as if the user had typed it and pressed Enter. Decoded, it shows its description,
// enables the option field only for an article with options, and the lists load as soon as
// the header is complete; a code that is no article, or longer than the field, is refused in
// words and waits in the field to be corrected.
#include "form/frmmg_prezzolampo.h"
#include "host/controls/field_controls.h"
#include "host/controls/window_controls.h"
#include "storage/form_utilities.h"
#include "tests/setup/setup_scenarios.h"

namespace {

using setuptest::purchaseLoaded;
using setuptest::salesLoaded;
using setuptest::updateLists;
using testsupport::WindowDriver;

// No list asks for a typed date: the article alone completes the header.
const QStringList NoTypedDates = {
    updateLists(demo::PurchaseSide, "MG44_INDPROPDATAINI = 1, MG44_INDPROPDATAFINE = 1"),
    updateLists(demo::SalesSide, "MG44_INDPROPDATAINI = 1, MG44_INDPROPDATAFINE = 1")};

class CalledArticle : public setuptest::WindowScenario {
  protected:
    // The window as a calling program opens it, with its article.
    std::unique_ptr<WindowDriver> openCalled(const QString& code,
                                             const QStringList& statements = {}) {
        testsupport::WindowOptions options;
        options.connectionString = connectionString_;
        options.today = setuptest::Today;
        auto driver = std::make_unique<WindowDriver>(options);
        execute(driver->connectionString, statements);
        driver->contract->setIsCalled(true);
        driver->contract->setCodiceArticolo(rt::Variant(code));
        driver->show();
        return driver;
    }
};

QWidget* focusedField(FRMMG_PREZZOLAMPO* w) {
    QWidget* focus = w->focusWidget();
    return focus != nullptr && focus->parentWidget() != nullptr ? focus->parentWidget() : focus;
}

TEST_P(CalledArticle, TheArticleIsEnteredAsIfTypedAndConfirmed) {
    const QString Drill = u"Trapano avvitatore a batteria 18 V"_qs;
    const struct {
        const char* name;
        QString code;
        QStringList statements;
        QString description;
        bool accepted;    // the field shows it disabled; else enabled, refused in words
        bool withOptions; // the option field is enabled
        bool loaded;      // the lists load at once
        QString message;  // "" none
    } cases[] = {
        {"purchase dates asked", "TRAP-BATT-18V", {}, Drill, true, false, false, ""},
        {"trailing blanks of the caller", "TRAP-BATT-18V   ", {}, Drill, true, false, false, ""},
        {"no date asked", "TRAP-BATT-18V", NoTypedDates, Drill, true, false, true, ""},
        {"article with options", setuptest::ArticleWithOptions, NoTypedDates,
         "Smalto all'acqua 0,75 l", true, true, false, ""},
        {"no article of the company", "BORRACCIA-075", NoTypedDates, "", false, false, false,
         "L'articolo \"BORRACCIA-075\" non esiste!"},
        {"longer than the field: never cut to a prefix", "TRAP-BATT-18V-PROFESSIONALE",
         NoTypedDates, "", false, false, false,
         "Il codice articolo \"TRAP-BATT-18V-PROFESSIONALE\" ha 27 caratteri: al massimo ne "
         "può avere 25!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto driver = openCalled(c.code, c.statements);
        FRMMG_PREZZOLAMPO* w = driver->window();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->TXT_CODART->text(), c.code.trimmed());
        EXPECT_EQ(w->TXT_CODART->isEnabled(), !c.accepted);
        EXPECT_EQ(w->TXT_DESCART->text(), c.description);
        EXPECT_EQ(w->TXT_OPZIONE->isEnabled(), c.withOptions);
        EXPECT_EQ(purchaseLoaded(*w->Gcon_Connect), c.loaded);
        EXPECT_EQ(salesLoaded(*w->Gcon_Connect), c.loaded);
        EXPECT_EQ(w->GRD_LISACQ->isEnabled(), c.loaded);
        EXPECT_EQ(driver->messageTexts(),
                  c.message.isEmpty() ? QStringList() : QStringList{c.message});
        // The focus waits where the user goes on: the refused code, the option, the dates, or
        // the purchase grid once loaded.
        QWidget* expected = !c.accepted     ? static_cast<QWidget*>(w->TXT_CODART)
                            : c.withOptions ? static_cast<QWidget*>(w->TXT_OPZIONE)
                            : c.loaded      ? static_cast<QWidget*>(w->GRD_LISACQ)
                                            : static_cast<QWidget*>(w->TXT_DADATA_ACQ);
        EXPECT_TRUE(expected->isAncestorOf(w->focusWidget()) || expected == w->focusWidget())
            << "focus in "
            << (focusedField(w) ? focusedField(w)->objectName().toStdString()
                                : std::string("nothing"));
        EXPECT_NO_REPORTS(*driver);
    }
}

TEST_P(CalledArticle, TheDemoArticleLoadsOnceThePurchaseDatesAreTyped) {
    auto driver = openCalled("TRAP-BATT-18V");
    FRMMG_PREZZOLAMPO* w = driver->window();
    ASSERT_NE(w, nullptr);
    ASSERT_FALSE(purchaseLoaded(*w->Gcon_Connect));
    WindowDriver::typeAndEnter(w->TXT_DADATA_ACQ, "01012026");
    WindowDriver::typeAndEnter(w->TXT_ADATA_ACQ, "311226");
    EXPECT_TRUE(purchaseLoaded(*w->Gcon_Connect));
    EXPECT_TRUE(salesLoaded(*w->Gcon_Connect));
    EXPECT_TRUE(w->CMD_RICALCOLATUTTI->isEnabled());
    ASSERT_NE(w->Rst_RecSet_LISACQ, nullptr);
    EXPECT_EQ(NzStr(w->Rst_RecSet_LISACQ->Fields(QStringLiteral("LI10_CODART_MG66")).Value()),
              "TRAP-BATT-18V");
    EXPECT_NO_REPORTS(*driver);
}

TEST_P(CalledArticle, ARefusedCodeIsCorrectedInTheFieldAndThenLoads) {
    auto driver = openCalled("BORRACCIA-075", NoTypedDates);
    FRMMG_PREZZOLAMPO* w = driver->window();
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(driver->log->messages.size(), 1);
    WindowDriver::typeAndEnter(w->TXT_CODART, "TRAP-BATT-18V");
    EXPECT_TRUE(purchaseLoaded(*w->Gcon_Connect));
    EXPECT_EQ(w->TXT_DESCART->text(), "Trapano avvitatore a batteria 18 V");
    EXPECT_EQ(driver->log->messages.size(), 1);
}

SETUP_INSTANTIATE_BACKENDS(CalledArticle);

} // namespace
