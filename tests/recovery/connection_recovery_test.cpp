// The PostgreSQL server stops while a price is being saved: the typed price stays, and once the
// server is back Riprova (or the next save) rebuilds the working tables and stores it.
#include "form/frmmg_prezzolampo.h"
#include "host/data/connection.h"
#include "host/data/recordset.h"
#include "host/services/log_service.h"
#include "runtime/conversions.h"
#include "storage/statements.h"
#include "tests/support/pg_server.h"
#include "tests/support/window_driver.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using testsupport::WindowDriver;

// Answers each error report through a function, which may act on the server first.
struct ActingLog : host::ScriptedLogService {
    std::function<int()> onReport;
    int reportError(const QString& a, const QString& c, const QString& p, int s) override {
        ScriptedLogService::reportError(a, c, p, s);
        return onReport();
    }
};

// The value of a column in the row of a list; -1 when there is no such row.
rt::Decimal valueAt(host::Recordset& rs, int list, const QString& column) {
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
        if (rt::CInt(rs.Fields(u"LI10_NUMLIST"_qs).Value()) == list)
            return rt::CDec(rs.Fields(column).Value());
    return rt::Decimal(-1);
}

TEST(PostgreSQLStoppedMidSheet, TheTypedPriceIsStoredOnceTheServerIsBack) {
    const QString price = u"LI10_PREZZO"_qs, discount = u"LI10_SC1PER"_qs;
    const rt::Decimal typed = rt::CDec(rt::Variant("12,345"));
    for (const bool riprova : {true, false}) { // false: Ignora, then the next save
        SCOPED_TRACE(riprova ? "Riprova" : "Ignora");
        PREZZOLAMPO_CONNECTION_OR_SKIP(cs, u"PostgreSQL"_qs);
        auto log = std::make_shared<ActingLog>();
        WindowDriver driver({cs, true, QDate::currentDate(), log});
        driver.show();
        FRMMG_PREZZOLAMPO& w = *driver.window();
        WindowDriver::openArticle(w, u"VITI-INOX-4X40"_qs);
        ASSERT_TRUE(w.Rst_RecSet_LISACQ && w.Rst_RecSet_LISVEN) << "both sides loaded";
        host::Recordset& sales = *w.Rst_RecSet_LISVEN;
        valueAt(sales, 2, price); // the stored row of list 2
        sales.Fields(price).setValue(rt::Variant(typed));
        w.RowsModified = true;
        if (!testsupport::stopTestPostgres())
            GTEST_SKIP() << "the server is not this test's own: it cannot be stopped";
        bool down = true;
        log->onReport = [&] {
            if (riprova && log->reports.size() == 2) // still down: it comes back, then Riprova
                down = !testsupport::startTestPostgres();
            if (log->reports.size() > 4) // a Riprova that can never succeed must not hang the test
                return int(host::ErrorLeave);
            return int(riprova ? host::ErrorRetry : host::ErrorContinue);
        };
        w.UpdateRecord(sales);
        QStringList reported;
        for (const auto& r : log->reports)
            reported << r.procedure + u" | "_qs + r.description;
        const QString port = cs.section(u"Port="_qs, 1).section(u';', 0, 0);
        EXPECT_TRUE(reported.contains(u"UpdateRecord | Connessione al database interrotta: "
                                      "FATAL:  terminating connection due to administrator "
                                      "command"_qs));
        // Riprova while the server is still down: the new session cannot be opened.
        EXPECT_EQ(reported.contains(
                      u"UpdateRecord | Connessione al database non ripristinata: connection to "
                      "server at \"127.0.0.1\", port %1 failed: Connection refused Is the server "
                      "running on that host and accepting TCP/IP connections?"_qs.arg(port)),
                  riprova)
            << reported.join(u'\n').toStdString();
        EXPECT_EQ(valueAt(sales, 2, price), typed) << "nothing typed vanishes";
        if (!riprova) {
            down = !testsupport::startTestPostgres();
            const qsizetype before = log->reports.size();
            w.UpdateRecord(sales);
            EXPECT_EQ(log->reports.size(), before) << "the next save reports nothing";
        }
        ASSERT_FALSE(down);
        host::Connection check;
        check.Open(cs);
        const QString storedSales = u"SELECT * FROM LI10_LISTARTIC WHERE LI10_FLGVENDACQ = 0 "
                                    "AND LI10_CODART_MG66 = 'VITI-INOX-4X40'"_qs;
        EXPECT_EQ(valueAt(*check.Execute(storedSales), 2, price), typed);
        // The working tables are back with the window's rows, and the recordsets write to them.
        for (host::Recordset* rs : {w.Rst_RecSet_LISACQ.get(), &sales}) {
            rs->MoveFirst();
            rs->Fields(discount).setValue(rt::Variant(std::int16_t(7)));
            rs->UpdateBatch();
            auto table = w.Gcon_Connect->Execute(u"SELECT * FROM "_qs +
                                                 storage::workingTableOfSelect(rs->Source()));
            EXPECT_EQ(table->RecordCount(), rs->RecordCount());
            const int first = rt::CInt(rs->Fields(u"LI10_NUMLIST"_qs).Value());
            EXPECT_EQ(valueAt(*table, first, discount), rt::Decimal(7));
            // The typed price had never been written to the sales working table.
            EXPECT_TRUE(rs != &sales || valueAt(*table, 2, price) == typed);
        }
    }
}

} // namespace
