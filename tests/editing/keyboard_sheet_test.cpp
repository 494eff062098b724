// A whole price sheet typed with digits and Enter alone, from the article code to the last sales
// row: every value lands in LI10_LISTARTIC the moment its cell is left.
#include "host/data/connection.h"
#include "host/data/recordset.h"
#include "host/data/sql_literal.h"
#include "storage/form_utilities.h"
#include "tests/editing/sheet_driver.h"

#include <QMap>

namespace {

using editingtest::place;
using editingtest::typeAndEnter;
using setuptest::WindowScenario;

// What is typed into a column at every stop of the walk ("" = Enter alone, the value stays).
QString typedFor(const QString& column, int row) {
    static const QMap<QString, QString> values = {
        {"PREZZO", "1%1,25"}, {"SC1PER", "1%1"}, {"SC2PER", "2"},     {"SC3PER", "3"},
        {"SC4PER", "4"},      {"SC5PER", "5"},   {"SC6PER", "6"},     {"SCIMP", "0,5"},
        {"MAG1PER", "1,5"},   {"MAG2PER", ""},   {"MAGIMP", "1.000"}, {"PERRICDELTA", "3%1"},
        {"PROVPER", "4,125"}};
    const QString value = values.value(column);
    return value.contains(u'%') ? value.arg(row) : value;
}

struct StoredRow {
    int side;
    int list;
    QMap<QString, QString> values; // column without "LI10_" -> stored number, "," decimals
};

class KeyboardSheet : public WindowScenario {
  protected:
    // Every stored row of the article for the typed period, by side and list.
    static QMap<QPair<int, int>, StoredRow> storedRows(const QString& connectionString) {
        host::Connection c;
        c.Open(connectionString);
        auto rs = c.Execute(QStringLiteral("SELECT * FROM LI10_LISTARTIC WHERE LI10_DITTA_CG18 = "
                                           "1 AND LI10_CODART_MG66 = ") +
                            host::quotedSqlText(QString::fromLatin1(editingtest::Article)));
        QMap<QPair<int, int>, StoredRow> rows;
        for (; !rs->IsEOF(); rs->MoveNext()) {
            const QDate start =
                rt::CDate(rs->Fields(QStringLiteral("LI10_DATAINIZIOVAL")).Value()).date();
            if (start.year() != setuptest::Today.year())
                continue;
            StoredRow row;
            row.side = rt::CInt(rs->Fields(QStringLiteral("LI10_FLGVENDACQ")).Value());
            row.list = rt::CInt(rs->Fields(QStringLiteral("LI10_NUMLIST")).Value());
            for (int i = 0; i < rs->FieldCount(); ++i) {
                const host::Field f = rs->Fields(i);
                if (f.Type() == host::adNumeric && !f.Value().isNull())
                    row.values.insert(f.Name().toUpper().remove(QStringLiteral("LI10_")),
                                      rt::CStr(rt::CDec(f.Value())));
            }
            rows.insert({row.side, row.list}, row);
        }
        c.Close();
        return rows;
    }
};

TEST_P(KeyboardSheet, EveryValueTypedWithDigitsAndEnterIsStoredAtOnce) {
    auto driver = openWindow();
    FRMMG_PREZZOLAMPO* w = driver->window();
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(editingtest::focused(), w->TXT_CODART->editor());
    typeAndEnter(QString::fromLatin1(editingtest::Article));
    typeAndEnter(QStringLiteral("01012024"));
    typeAndEnter(QStringLiteral("31122024"));

    // Walk the whole sheet, typing at every stop; remember what each stop should hold.
    QMap<QString, QString> expected; // "A0 PREZZO" -> typed value as stored ("1.000" -> "1000")
    QString at = place(w);
    for (int step = 0; step < 100; ++step) {
        ASSERT_TRUE(at.endsWith(u'+')) << at.toStdString() << ": not open for typing";
        const QString where = at.chopped(1);
        const QString column = where.section(u' ', 1);
        const QString typed = typedFor(column, where.mid(1, where.indexOf(u' ') - 1).toInt());
        if (!typed.isEmpty())
            expected.insert(where, QString(typed).remove(u'.'));
        typeAndEnter(typed);
        const QString next = place(w);
        if (next == where) // Enter in the last cell of the last sales row
            break;
        at = next;
    }
    EXPECT_EQ(at, "V4 PERRICDELTA+");
    EXPECT_NO_REPORTS(*driver);

    // The sales prices of the lists derived from a purchase list (1, 2 and 4 of the demo) are
    // worked out again when their mark-up is typed: stored as the window holds them, not typed.
    host::Recordset& sales = *w->Rst_RecSet_LISVEN;
    for (int row : {0, 1, 3}) {
        const QString key = QStringLiteral("V%1 PREZZO").arg(row);
        sales.setAbsolutePosition(row + 1);
        const QString derived = rt::CStr(rt::CDec(sales.Fields(u"LI10_PREZZO"_qs).Value()));
        EXPECT_NE(derived, expected.value(key)) << key.toStdString() << " was not derived";
        expected.insert(key, derived);
    }

    // Stored: every typed value in the row of its list (rows in list order: 1, 2, ...).
    const auto stored = storedRows(driver->connectionString);
    ASSERT_FALSE(stored.isEmpty());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        const int side = it.key().startsWith(u'A') ? demo::PurchaseSide : demo::SalesSide;
        const int list = it.key().mid(1, 1).toInt() + 1;
        const QPair<int, int> key(side, list);
        ASSERT_TRUE(stored.contains(key));
        const QString value = stored[key].values.value(it.key().section(u' ', 1));
        EXPECT_EQ(value.toStdString(), it.value().toStdString());
    }
}

SETUP_INSTANTIATE_BACKENDS(KeyboardSheet);

} // namespace
