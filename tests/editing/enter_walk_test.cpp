// The Enter walk: from the first purchase row to the last sales row, Enter visits exactly the
// columns that each row's list asks for, every one of them open for typing.
#include "tests/editing/sheet_driver.h"

namespace {

using editingtest::place;
using editingtest::press;
using setuptest::updateLists;
using setuptest::WindowScenario;
constexpr int Sales = demo::SalesSide;
constexpr int Purchase = demo::PurchaseSide;

// The stops of one row: "A1 PREZZO SC1PER" stands for "A1 PREZZO", "A1 SC1PER".
QStringList row(const QString& stops) {
    QStringList words = stops.split(u' ');
    const QString where = words.takeFirst();
    QStringList result;
    for (const QString& column : words)
        result << where + u' ' + column + u'+';
    return result;
}

// Every value asked of the lists of one side but the gross price: no discount, amount,
// surcharge or commission.
QString onlyPrice() {
    return QStringLiteral("MG44_FLGRICHPREZZO = 1, MG44_NUMSCPERC = 0, MG44_FLGRICHSCIMP = 0, "
                          "MG44_NUMMAGPERC = 0, MG44_FLGRICHMAGIMP = 0, MG44_PERCPROV = 0");
}

// The demo's sales lists, as the walk visits them after the purchase rows.
const QStringList DemoSalesWalk =
    row("V0 PREZZO PERRICDELTA") +
    row("V1 PREZZO SC1PER SC2PER SC3PER SC4PER SC5PER SC6PER SCIMP MAG1PER MAG2PER MAGIMP "
        "PERRICDELTA PROVPER") +
    row("V2 SC1PER SC2PER SC3PER SC4PER MAG1PER PERRICDELTA") +
    row("V3 PREZZO SC1PER MAGIMP PERRICDELTA") +
    row("V4 PREZZO SC1PER SC2PER SC3PER SC4PER SC5PER PERRICDELTA");

class EnterWalk : public WindowScenario {};

TEST_P(EnterWalk, VisitsExactlyTheAskedColumnsPurchaseRowsFirst) {
    const struct {
        const char* name;
        QStringList statements;
        QStringList walk;
    } cases[] = {
        {"the demo lists",
         {},
         row("A0 PREZZO SC1PER SC2PER SC3PER SCIMP") +
             row("A1 PREZZO SC1PER SC2PER MAG1PER MAGIMP") + row("A2 PREZZO") + DemoSalesWalk},
        {"lists asking only the gross price (and the sales mark-up)",
         {updateLists(Purchase, onlyPrice()), updateLists(Sales, onlyPrice())},
         row("A0 PREZZO") + row("A1 PREZZO") + row("A2 PREZZO") + row("V0 PREZZO PERRICDELTA") +
             row("V1 PREZZO PERRICDELTA") + row("V2 PREZZO PERRICDELTA") +
             row("V3 PREZZO PERRICDELTA") + row("V4 PREZZO PERRICDELTA")},
        {"price, two discounts and the surcharge amount: straight from the second discount to "
         "the amount",
         {updateLists(Purchase,
                      "MG44_NUMSCPERC = 2, MG44_FLGRICHSCIMP = 0, MG44_NUMMAGPERC = 0, "
                      "MG44_FLGRICHMAGIMP = 1",
                      1)},
         row("A0 PREZZO SC1PER SC2PER MAGIMP") + row("A1 PREZZO SC1PER SC2PER MAG1PER MAGIMP") +
             row("A2 PREZZO") + DemoSalesWalk},
        {"a purchase list with commission, one without the price",
         {updateLists(Purchase, "MG44_PERCPROV = 3", 2),
          updateLists(Purchase, "MG44_FLGRICHPREZZO = 0, MG44_NUMMAGPERC = 2", 3)},
         row("A0 PREZZO SC1PER SC2PER SC3PER SCIMP") +
             row("A1 PREZZO SC1PER SC2PER MAG1PER MAGIMP PROVPER") + row("A2 MAG1PER MAG2PER") +
             DemoSalesWalk},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto driver = openWindow(c.statements);
        FRMMG_PREZZOLAMPO* w = driver->window();
        ASSERT_NE(w, nullptr);
        editingtest::openSheet(w);

        QStringList visited{place(w)};
        for (qsizetype step = 1; step < c.walk.size(); ++step) {
            press(Qt::Key_Return);
            visited << place(w);
        }
        EXPECT_EQ(visited.join(u", ").toStdString(), c.walk.join(u", ").toStdString());
        EXPECT_EQ(w->CurrentSide, "VEN");
        // Enter in the last asked column of the last sales row ends the edit and leaves the
        // focus there.
        press(Qt::Key_Return);
        EXPECT_EQ(place(w).toStdString(), c.walk.last().chopped(1).toStdString());
        EXPECT_NO_REPORTS(*driver);
    }
}

SETUP_INSTANTIATE_BACKENDS(EnterWalk);

} // namespace
