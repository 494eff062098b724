// The same scripted work of a person run twice on a fresh demo database, once with every
// question asked of the server and once with the fewer-round-trip plan (one read of the stored
// rows per side, the working rows sent together, the save's UPDATE without a look first):
// after every step LI10_LISTARTIC and both working tables must hold the same rows.
#include "host/controls/window_controls.h"
#include "storage/statements.h"
#include "tests/editing/sheet_driver.h"

#include <QSet>
#include <functional>

namespace {

using editingtest::typeAndEnter;
using setuptest::Today;
using testsupport::WindowDriver;

// Every row of a statement's answer, each as its values joined, sorted.
QStringList rowsOf(host::Connection& c, const QString& select) {
    QStringList rows;
    for (auto rs = c.Execute(select); !rs->IsEOF(); rs->MoveNext()) {
        QStringList values;
        for (int i = 0; i < rs->FieldCount(); ++i) {
            const rt::Variant v = rs->Fields(i).Value();
            values << (v.isNull() ? u"NULL"_qs : rt::CStr(v));
        }
        rows << values.join(u'|');
    }
    rows.sort();
    return rows;
}

// The rows only one side has, for a readable failure.
std::string differences(const QStringList& slow, const QStringList& fast) {
    const QSet<QString> a(slow.begin(), slow.end()), b(fast.begin(), fast.end());
    return ("\n  server only: " + QStringList((a - b).values()).join(u"\n  server only: ") +
            "\n  fast only:   " + QStringList((b - a).values()).join(u"\n  fast only:   "))
        .toStdString();
}

struct Snapshot {
    QString step;
    QStringList stored;
    QStringList purchaseRows; // the working tables, as the server holds them
    QStringList salesRows;
};

// The script run by the window on its own demo database with the plan chosen; after each step
// a snapshot of the tables.
class ScriptRun {
  public:
    ScriptRun(const QString& connectionString, bool fewerRoundTrips)
        : driver({connectionString, true, Today, nullptr}) {
        driver.show();
        w().fewerRoundTrips = fewerRoundTrips;
        script();
    }
    FRMMG_PREZZOLAMPO& w() { return *driver.window(); }

    void act(const QString& step, const std::function<void()>& gesture) {
        host::Connection& c = *w().Gcon_Connect;
        const int before = c.statementCount();
        gesture();
        WindowDriver::pump();
        statements += c.statementCount() - before; // the snapshots' reads left out
        host::Connection mine;
        mine.Open(driver.connectionString);
        // Temporary tables are the window's session's own: read through its connection.
        const auto working = [&](const std::shared_ptr<host::Recordset>& rs) {
            return rs && rs->State() == host::adStateOpen ? rowsOf(*w().Gcon_Connect, rs->Source())
                                                          : QStringList();
        };
        snapshots.append({step, rowsOf(mine, u"SELECT * FROM LI10_LISTARTIC"_qs),
                          working(w().Rst_RecSet_LISACQ), working(w().Rst_RecSet_LISVEN)});
    }

    // What a person does: opens the article, types a stretch of the sheet (a purchase row's end
    // derives the sales prices), recalculates, saves a row whose stored row someone deleted,
    // starts again and opens the article once more.
    void script() {
        FRMMG_PREZZOLAMPO& w = this->w();
        act(u"open"_qs, [&] { WindowDriver::openArticle(w, u"VITI-INOX-4X40"_qs); });
        for (int i = 0; i < 14; ++i)
            act(u"Enter %1"_qs.arg(i), [&] { typeAndEnter(QString::number(i % 7 + 2)); });
        act(u"&Ricalcola"_qs, [&] { WindowDriver::click(w.CMD_RICALCOLATUTTI); });
        act(u"save after a deletion"_qs, [&] {
            host::Connection other;
            other.Open(driver.connectionString);
            other.Execute(u"DELETE FROM LI10_LISTARTIC WHERE LI10_FLGVENDACQ = 1 AND "
                          "LI10_NUMLIST = 2 AND LI10_CODART_MG66 = 'VITI-INOX-4X40'"_qs);
            other.Close();
            host::Recordset& sales = *w.Rst_RecSet_LISVEN;
            sales.MoveFirst();
            while (rt::CInt(sales.Fields(u"LI10_NUMLIST"_qs).Value()) != 2)
                sales.MoveNext();
            sales.Fields(u"LI10_PREZZO"_qs).setValue(dec("12.5"));
            w.RowsModified = true;
            w.UpdateRecord(sales);
        });
        act(u"&Nuovo"_qs, [&] { WindowDriver::click(w.CMD_NUOVO); });
        act(u"open again"_qs, [&] { WindowDriver::openArticle(w, u"VITI-INOX-4X40"_qs); });
    }

    WindowDriver driver;
    QList<Snapshot> snapshots;
    int statements = 0; // the statements the window sent
};

class FastPlan : public setuptest::WindowScenario {};

TEST_P(FastPlan, LeavesTheSameRowsAsEveryQuestionAskedOfTheServer) {
    PREZZOLAMPO_CONNECTION_OR_SKIP(fastDatabase, QString::fromLatin1(GetParam()));
    ScriptRun slow(connectionString_, false), fast(fastDatabase, true);
    EXPECT_NO_REPORTS(slow.driver);
    EXPECT_NO_REPORTS(fast.driver);

    ASSERT_EQ(fast.snapshots.size(), slow.snapshots.size());
    for (qsizetype i = 0; i < slow.snapshots.size(); ++i) {
        const Snapshot& a = slow.snapshots[i];
        const Snapshot& b = fast.snapshots[i];
        SCOPED_TRACE(a.step.toStdString());
        EXPECT_TRUE(b.stored == a.stored) << differences(a.stored, b.stored);
        EXPECT_TRUE(b.purchaseRows == a.purchaseRows)
            << differences(a.purchaseRows, b.purchaseRows);
        EXPECT_TRUE(b.salesRows == a.salesRows) << differences(a.salesRows, b.salesRows);
    }
    // The script meets stored rows, new rows and a deleted one: nothing trivially equal.
    EXPECT_FALSE(slow.snapshots.first().salesRows.isEmpty());
    EXPECT_NE(slow.snapshots.first().stored, slow.snapshots.last().stored);
    EXPECT_LT(fast.statements, slow.statements);
}

// A working table's column facts come from its CREATE, without a trip to the catalog: they
// must be those the catalog gives.
TEST(FastPlanPostgreSQL, AWorkingTableHasTheColumnFactsTheCatalogGives) {
    PREZZOLAMPO_CONNECTION_OR_SKIP(cs, u"PostgreSQL"_qs);
    host::Connection c;
    c.Open(cs);
    const QString table = u"##LISVEN_0123456789ABCDEF0123456789ABCDEF"_qs;
    c.Execute(storage::createWorkingTableSql(table));
    const auto facts = [&] {
        QStringList all;
        auto rs = c.Execute(storage::selectWorkingTableSql(table));
        for (int i = 0; i < rs->FieldCount(); ++i) {
            const host::Field f = rs->Fields(i);
            all << u"%1 %2 %3 %4 %5"_qs.arg(f.Name())
                       .arg(f.Type())
                       .arg(f.Precision())
                       .arg(f.NumericScale())
                       .arg(f.DefinedSize());
        }
        return all;
    };
    const QStringList fromCreate = facts();
    c.Execute(u"ANALYZE"_qs); // forgets every table's column types
    EXPECT_EQ(fromCreate, facts());
    EXPECT_EQ(fromCreate.size(), 48);
}

SETUP_INSTANTIATE_BACKENDS(FastPlan);

} // namespace
