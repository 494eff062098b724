// The PostgreSQL server stops while a price is being saved: every save is reported with the
// server's words, the typed price stays in the working row, and once the server is back
// Riprova (or the next save) opens a new session, rebuilds the working tables from the
// window's rows and stores the price.
#include "form/frmmg_prezzolampo.h"
#include "host/controls/field_controls.h"
#include "host/data/connection.h"
#include "host/data/recordset.h"
#include "host/services/log_service.h"
#include "runtime/conversions.h"
#include "storage/statements.h"
#include "tests/support/pg_server.h"
#include "tests/support/window_driver.h"

#include <functional>
#include <gtest/gtest.h>
#include <string_view>

namespace {

using testsupport::WindowDriver;

// Answers each error report through a function, which may act on the server first.
class ActingLog : public host::ScriptedLogService {
  public:
    std::function<int()> onReport = [] { return int(host::ErrorLeave); };
    int reportError(const QString& app, const QString& caption, const QString& procedure,
                    int style) override {
        ScriptedLogService::reportError(app, caption, procedure, style);
        return onReport();
    }
};

rt::Decimal decimalAt(host::Recordset& rs, int list, const char* column) {
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
        if (rt::CInt(rs.Fields(u"LI10_NUMLIST"_qs).Value()) == list)
            return rt::CDec(rs.Fields(QLatin1String(column)).Value());
    ADD_FAILURE() << "no row of list " << list;
    return {};
}

class PostgreSQLStoppedMidSheet : public ::testing::Test {
  protected:
    // The article open on both sides, a price typed on the stored sales row of list 2, the
    // server stopped.
    void SetUp() override {
        PREZZOLAMPO_CONNECTION_OR_SKIP(cs, u"PostgreSQL"_qs);
        testsupport::WindowOptions options;
        options.connectionString = cs;
        options.log = log;
        driver = std::make_unique<WindowDriver>(options);
        driver->show();
        w = driver->window();
        WindowDriver::typeAndEnter(w->TXT_CODART, u"VITI-INOX-4X40"_qs);
        WindowDriver::typeAndEnter(w->TXT_DADATA_ACQ, u"01012024"_qs);
        WindowDriver::typeAndEnter(w->TXT_ADATA_ACQ, u"31122024"_qs);
        ASSERT_TRUE(w->Rst_RecSet_LISACQ && w->Rst_RecSet_LISVEN) << "both sides loaded";
        decimalAt(sales(), 2, "LI10_PREZZO");
        sales().Fields(u"LI10_PREZZO"_qs).setValue(typed);
        w->RowsModified = true;
        serverDown = testsupport::stopTestPostgres();
        if (!serverDown) {
            GTEST_SKIP() << "the server is not this test's own: it cannot be stopped";
        }
    }
    // A failed case leaves the server running for the next one.
    void TearDown() override {
        if (serverDown)
            startServer();
        driver.reset();
    }
    bool startServer() {
        serverDown = !testsupport::startTestPostgres();
        return !serverDown;
    }
    host::Recordset& sales() { return *w->Rst_RecSet_LISVEN; }
    QStringList reported() const {
        QStringList lines;
        for (const auto& r : log->reports)
            lines << r.procedure + u" | "_qs + r.description;
        return lines;
    }
    // The stored price, the working tables back with the window's rows, the recordsets
    // writing to them.
    void expectStoredAndWorkingTablesBack() {
        host::Connection check;
        check.Open(driver->connectionString);
        EXPECT_EQ(decimalAt(*check.Execute(u"SELECT * FROM LI10_LISTARTIC WHERE LI10_FLGVENDACQ "
                                           "= 0 AND LI10_CODART_MG66 = 'VITI-INOX-4X40'"_qs),
                            2, "LI10_PREZZO"),
                  typed);
        for (host::Recordset* rs : {w->Rst_RecSet_LISACQ.get(), &sales()}) {
            rs->MoveFirst();
            rs->Fields(u"LI10_SC1PER"_qs).setValue(rt::Variant(std::int16_t(7)));
            rs->UpdateBatch();
            auto table = w->Gcon_Connect->Execute(u"SELECT * FROM "_qs +
                                                  storage::workingTableOfSelect(rs->Source()));
            EXPECT_EQ(table->RecordCount(), rs->RecordCount());
            const int list = rt::CInt(rs->Fields(u"LI10_NUMLIST"_qs).Value());
            EXPECT_EQ(decimalAt(*table, list, "LI10_SC1PER"), rt::Decimal(7));
            if (rs == &sales()) {
                EXPECT_EQ(decimalAt(*table, 2, "LI10_PREZZO"), typed);
            }
        }
    }

    const rt::Decimal typed = *rt::Decimal::parse(std::string_view("12.345"));
    std::shared_ptr<ActingLog> log = std::make_shared<ActingLog>();
    std::unique_ptr<WindowDriver> driver;
    FRMMG_PREZZOLAMPO* w = nullptr;
    bool serverDown = false;
};

const QString Stopped =
    u"Connessione al database interrotta: FATAL:  terminating connection due to administrator "
    "command"_qs;
const QString Refused = u"Connessione al database non ripristinata: connection to server at "
                        "\"127.0.0.1\", port %1 failed: Connection refused Is the server running "
                        "on that host and accepting TCP/IP connections?"_qs;

QString refusedOn(const QString& connectionString) {
    return Refused.arg(connectionString.section(u"Port="_qs, 1).section(u';', 0, 0));
}

TEST_F(PostgreSQLStoppedMidSheet, RiprovaAfterTheServerIsBackStoresTheTypedPrice) {
    log->onReport = [&] {
        if (log->reports.size() == 2) { // still down: the server comes back, then Riprova
            EXPECT_TRUE(startServer());
        }
        return int(host::ErrorRetry);
    };
    w->UpdateRecord(sales());
    EXPECT_EQ(reported(),
              (QStringList{u"EsisteListino | "_qs + Stopped,
                           u"EsisteListino | "_qs + refusedOn(driver->connectionString)}));
    EXPECT_EQ(log->reports.value(1).dbErrors.value(0).description,
              refusedOn(driver->connectionString).section(u": "_qs, 1));
    expectStoredAndWorkingTablesBack();
    EXPECT_EQ(log->reports.size(), 2);
}

TEST_F(PostgreSQLStoppedMidSheet, IgnoraWhileDownThenTheNextSaveStoresIt) {
    log->onReport = [] { return int(host::ErrorContinue); };
    w->UpdateRecord(sales());
    EXPECT_TRUE(reported().contains(u"EsisteListino | "_qs + Stopped))
        << reported().join(u'\n').toStdString();
    EXPECT_TRUE(reported().contains(u"UpdateRecord | "_qs + refusedOn(driver->connectionString)))
        << reported().join(u'\n').toStdString();
    EXPECT_EQ(decimalAt(sales(), 2, "LI10_PREZZO"), typed);
    ASSERT_TRUE(startServer());
    const qsizetype before = log->reports.size();
    w->UpdateRecord(sales());
    EXPECT_EQ(log->reports.size(), before) << reported().join(u'\n').toStdString();
    expectStoredAndWorkingTablesBack();
}

} // namespace
