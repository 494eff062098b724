// The Enter walk from the article code to the last sales row: Enter visits exactly the columns
// each row's list asks for, purchase rows first, each open for typing, and stores what is typed.
#include "tests/editing/sheet_driver.h"

#include <QMap>

namespace {

using editingtest::place;
using editingtest::storedValue;
using editingtest::typeAndEnter;
using setuptest::updateLists;
using setuptest::WindowScenario;

// The stops of one row: "A1 PREZZO SC1PER" stands for "A1 PREZZO", "A1 SC1PER".
QStringList row(const QString& stops) {
    QStringList words = stops.split(u' ');
    const QString where = words.takeFirst();
    QStringList result;
    for (const QString& column : words)
        result << where + u' ' + column + u'+';
    return result;
}

// What is typed at a stop such as "V1 SC1PER" ("" = Enter alone, the value stays).
QString typedAt(const QString& where) {
    static const QMap<QString, QString> values = {
        {"PREZZO", "1%1,25"}, {"SC1PER", "1%1"}, {"SC2PER", "2"},     {"SC3PER", "3"},
        {"SC4PER", "4"},      {"SC5PER", "5"},   {"SC6PER", "6"},     {"SCIMP", "0,5"},
        {"MAG1PER", "1,5"},   {"MAG2PER", ""},   {"MAGIMP", "1.000"}, {"PERRICDELTA", "3%1"},
        {"PROVPER", "4,125"}};
    const QString value = values.value(where.section(u' ', 1));
    return value.contains(u'%') ? value.arg(where.mid(1, where.indexOf(u' ') - 1)) : value;
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

TEST_P(EnterWalk, VisitsExactlyTheAskedColumnsAndStoresWhatIsTyped) {
    const struct {
        const char* name;
        QStringList statements;
        QStringList walk;
    } cases[] = {
        {"the demo lists",
         {},
         row("A0 PREZZO SC1PER SC2PER SC3PER SCIMP") +
             row("A1 PREZZO SC1PER SC2PER MAG1PER MAGIMP") + row("A2 PREZZO") + DemoSalesWalk},
        {"a purchase list with commission, one without the price",
         {updateLists(demo::PurchaseSide, "MG44_PERCPROV = 3", 2),
          updateLists(demo::PurchaseSide, "MG44_FLGRICHPREZZO = 0, MG44_NUMMAGPERC = 2", 3)},
         row("A0 PREZZO SC1PER SC2PER SC3PER SCIMP") +
             row("A1 PREZZO SC1PER SC2PER MAG1PER MAGIMP PROVPER") + row("A2 MAG1PER MAG2PER") +
             DemoSalesWalk},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto driver = openWindow(c.statements);
        FRMMG_PREZZOLAMPO* w = driver->window();
        ASSERT_NE(w, nullptr);
        for (const char* header : {setuptest::ArticleWithoutOptions, "01012024", "31122024"})
            typeAndEnter(QString::fromLatin1(header));

        QStringList visited;
        QMap<QString, QString> typed; // "A0 PREZZO" -> the value as stored ("1.000" -> "1000")
        for (qsizetype step = 0; step < c.walk.size(); ++step) {
            visited << place(w);
            const QString value = typedAt(visited.last().chopped(1));
            if (!value.isEmpty())
                typed.insert(visited.last().chopped(1), QString(value).remove(u'.'));
            typeAndEnter(value);
        }
        EXPECT_EQ(visited.join(u", ").toStdString(), c.walk.join(u", ").toStdString());
        // Enter in the last asked column of the last sales row ends the edit and leaves the
        // focus there.
        EXPECT_EQ(place(w).toStdString(), c.walk.last().chopped(1).toStdString());
        EXPECT_NO_REPORTS(*driver);

        // Stored as the window holds it; a sales price is derived again when the row's mark-up
        // is typed, any other value is the typed one.
        for (auto it = typed.cbegin(); it != typed.cend(); ++it) {
            SCOPED_TRACE(it.key().toStdString());
            const bool sales = it.key().startsWith(u'V');
            host::Recordset& rows = sales ? *w->Rst_RecSet_LISVEN : *w->Rst_RecSet_LISACQ;
            rows.setAbsolutePosition(it.key().mid(1, 1).toInt() + 1);
            const QString key = u"LI10_"_qs + it.key().section(u' ', 1);
            const std::string held = editingtest::text(rows.Fields(key).Value());
            if (!sales || key != u"LI10_PREZZO"_qs) {
                EXPECT_EQ(held, it.value().toStdString());
            }
            EXPECT_EQ(editingtest::text(storedValue(driver->connectionString, rows, key)), held);
        }
    }
}

SETUP_INSTANTIATE_BACKENDS(EnterWalk);

} // namespace
