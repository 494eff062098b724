// What the window shows is what it stores, and each completed header loads each side once: the
// amount columns' decimals, the currency column's text, and the statement trace and the fields
// of a completion.
#include "form/frmmg_prezzolampo.h"
#include "host/controls/field_controls.h"
#include "host/controls/krx_qgrid.h"
#include "host/controls/window_controls.h"
#include "host/window/window_support.h"
#include "runtime/decimal.h"
#include "tests/setup/setup_scenarios.h"

#include <QFontMetrics>
#include <QStyle>
#include <QTableView>

namespace {

using setuptest::statementsStartingWith;
using setuptest::WindowScenario;
using testsupport::WindowDriver;

int creates(const host::Connection& c, const char* side) {
    return static_cast<int>(
        statementsStartingWith(c, QStringLiteral("CREATE TABLE ##LIS%1_").arg(side)).size());
}

class CompletedHeader : public WindowScenario {};

TEST_P(CompletedHeader, LoadsEachSideOnce) {
    using Step = std::pair<const char*, const char*>; // field, text
    const struct {
        const char* name;
        std::vector<Step> steps;
    } cases[] = {
        {"dates, then the article",
         {{"TXT_DADATA_ACQ", "01012024"},
          {"TXT_ADATA_ACQ", "31122024"},
          {"TXT_CODART", setuptest::ArticleWithoutOptions}}},
        {"the article, then the dates",
         {{"TXT_CODART", setuptest::ArticleWithoutOptions},
          {"TXT_DADATA_ACQ", "01012024"},
          {"TXT_ADATA_ACQ", "31122024"}}},
        {"article with an option last",
         {{"TXT_DADATA_ACQ", "01012024"},
          {"TXT_ADATA_ACQ", "31122024"},
          {"TXT_CODART", setuptest::ArticleWithOptions},
          {"TXT_OPZIONE", "BIANCO"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto driver = openWindow();
        FRMMG_PREZZOLAMPO* w = driver->window();
        ASSERT_NE(w, nullptr);
        for (int round = 1; round <= 2; ++round) {
            SCOPED_TRACE(round == 1 ? "first article" : "after Nuovo");
            for (const auto& [field, text] : c.steps) {
                // Nothing loads and the grids stay off until the header is complete: an article
                // with options waits for its option.
                EXPECT_EQ(creates(*w->Gcon_Connect, "ACQ"), round - 1) << field;
                EXPECT_FALSE(w->GRD_LISACQ->isEnabled() || w->GRD_LISVEN->isEnabled() ||
                             w->CMD_RICALCOLATUTTI->isEnabled());
                WindowDriver::typeAndEnter(w->findChild<host::FieldControl*>(field), text);
            }
            EXPECT_EQ(creates(*w->Gcon_Connect, "VEN"), round);
            EXPECT_EQ(creates(*w->Gcon_Connect, "ACQ"), round);
            // Once loaded the key cannot change: article, option and dates are disabled.
            EXPECT_TRUE(w->GRD_LISACQ->isEnabled() && w->GRD_LISVEN->isEnabled() &&
                        w->CMD_RICALCOLATUTTI->isEnabled());
            for (host::FieldControl* key : std::initializer_list<host::FieldControl*>{
                     w->TXT_CODART, w->TXT_OPZIONE, w->TXT_DADATA_ACQ, w->TXT_ADATA_ACQ})
                EXPECT_FALSE(key->isEnabled()) << key->objectName().toStdString();
            EXPECT_FALSE(w->Gbol_Busy);
            // The header's later events of the same completion leave the loaded rows alone.
            w->Setup();
            EXPECT_EQ(creates(*w->Gcon_Connect, "VEN"), round);
            EXPECT_EQ(creates(*w->Gcon_Connect, "ACQ"), round);
            WindowDriver::click(w->CMD_NUOVO);
        }
        EXPECT_NO_REPORTS(*driver);
    }
}

SETUP_INSTANTIATE_BACKENDS(CompletedHeader);

class ShownValues : public WindowScenario {};

// Every typed column shows as many decimals as it takes when typed: 1,235 in "Sc. importo"
// shows 1,235, not 1,24. The currency column shows "EURO" whole at its width.
TEST_P(ShownValues, EveryColumnShowsWhatItHolds) {
    auto driver = openWindow();
    FRMMG_PREZZOLAMPO* w = driver->window();
    ASSERT_NE(w, nullptr);
    for (host::KRX_QGRID* grid : {w->GRD_LISACQ, w->GRD_LISVEN}) {
        SCOPED_TRACE(grid->objectName().toStdString());
        for (int i = 0; i < grid->columnCount(); ++i) {
            const host::GridColumn& column = grid->column(i);
            if (column.decimals <= 0)
                continue;
            SCOPED_TRACE(column.key.toStdString());
            // One in the last decimal the column takes: 1.001 with three.
            const rt::Decimal value = *rt::Decimal::parse(
                QStringLiteral("1.%1").arg(QStringLiteral("1"), column.decimals, u'0'));
            const QString shown = rt::Format(rt::Variant(value), column.format);
            EXPECT_EQ(rt::CDec(rt::Variant(shown)), value) << shown.toStdString();
        }
        QTableView* view = grid->view();
        const int currency = grid->columnIndex(QStringLiteral("VALUTA"));
        const int textMargin =
            view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
        EXPECT_LE(QFontMetrics(view->font()).horizontalAdvance(QStringLiteral("EURO")) +
                      2 * textMargin,
                  view->columnWidth(currency) - 1);
        EXPECT_EQ(view->columnWidth(currency), host::twipsToPixels(560));
    }
}

SETUP_INSTANTIATE_BACKENDS(ShownValues);

} // namespace
