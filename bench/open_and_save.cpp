// Opening an article with 5 purchase and 20 sales lists (both sides loaded, as Setup loads
// them), saving one edited row and deriving every sales price ("&Ricalcola"), on SQLite (a file)
// and PostgreSQL, with LI10_LISTARTIC holding a small and a large number of stored rows. Prints the
// median wall time of N runs and the statements each action sends. Then the Enter walk through
// the whole sheet with real key events: Enter alone at every stop, then a value typed at each.
//
//   prezzolampo_bench [--runs N] [--small ARTICLES] [--large ARTICLES] [--backend NAME]
//                     [--delay-ms ROUND_TRIP]
//
// PostgreSQL: the server named by PREZZOLAMPO_PG (a connection string), or a throwaway cluster.
// The backend "PostgreSQL+delay" reaches the same kind of server through a relay on loopback
// that holds every exchange for half the round trip (5 ms by default) in each direction, and
// counts the round trips of each action.
#include "bench/delay_proxy.h"
#include "db/demo_database.h"
#include "form/frmmg_prezzolampo.h"
#include "host/controls/field_controls.h"
#include "host/controls/krx_qgrid.h"
#include "host/data/connection.h"
#include "host/data/recordset.h"
#include "host/services/log_service.h"
#include "runtime/conversions.h"
#include "tests/support/pg_server.h"
#include "tests/support/window_driver.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int PurchaseLists = 5;
constexpr int SalesLists = 20;
constexpr int RowsPerStatement = 500;
const QString DelayedBackend = u"PostgreSQL+delay"_qs;

struct Options {
    int runs = 30;
    QList<int> sizes{400, 10000}; // articles; every article has a stored row per list
    QStringList backends{u"SQLite"_qs, u"PostgreSQL"_qs, DelayedBackend};
    double delayMs = 5;
};

QString articleCode(int i) {
    return u"ART%1"_qs.arg(i, 6, 10, QLatin1Char('0'));
}

// The column names of a table, as the driver reports them.
QStringList columnsOf(host::Connection& c, const QString& table) {
    const QString name = c.dialect() == host::Dialect::PostgreSQL ? table.toLower() : table;
    const QSqlRecord record = c.database().record(name);
    QStringList names;
    for (int i = 0; i < record.count(); ++i)
        names << record.fieldName(i);
    return names;
}

// Copies a list of company 1 under new numbers.
void copyList(host::Connection& c, int side, int templateList, int from, int to) {
    const QStringList columns = columnsOf(c, u"MG44_PARMAGLIST"_qs);
    for (int n = from; n <= to; ++n) {
        QStringList values = columns;
        for (QString& v : values)
            if (v.compare(u"MG44_NUMLIST"_qs, Qt::CaseInsensitive) == 0)
                v = QString::number(n);
        c.runStatement(u"INSERT INTO MG44_PARMAGLIST ("_qs + columns.join(u", "_qs) +
                       u") SELECT "_qs + values.join(u", "_qs) +
                       u" FROM MG44_PARMAGLIST WHERE MG44_DITTA_CG18 = 1 AND MG44_FLGVENACQ = "_qs +
                       QString::number(side) + u" AND MG44_NUMLIST = "_qs +
                       QString::number(templateList));
    }
}

// 5 purchase and 20 sales lists of company 1 take part; every list proposes the current year.
void configureLists(host::Connection& c) {
    c.runStatement(
        u"DELETE FROM MG44_PARMAGLIST WHERE MG44_DITTA_CG18 = 1 AND MG44_NUMLIST > 5"_qs);
    c.runStatement(u"UPDATE MG44_PARMAGLIST SET MG44_INDPROPDATAINI = 2, MG44_INDPROPDATAFINE = 2, "
                   "MG44_FLGCREAZVELOCE = 1 WHERE MG44_DITTA_CG18 = 1"_qs);
    copyList(c, demo::PurchaseSide, 1, 4, PurchaseLists);
    copyList(c, demo::SalesSide, 1, 6, SalesLists);
}

// Multi-row inserts in one transaction, written in the program's dialect and translated.
void insertRows(host::Connection& c, const QString& head, const QStringList& rows) {
    for (qsizetype i = 0; i < rows.size(); i += RowsPerStatement)
        c.runStatement(c.translate(head + rows.mid(i, RowsPerStatement).join(u", "_qs)));
}

void fillArticles(host::Connection& c, int articles) {
    const QDate today = rt::Today();
    const QString start = QDate(today.year(), 1, 1).toString(u"''yyyyMMdd''"_qs);
    const QString end = QDate(today.year(), 12, 31).toString(u"''yyyyMMdd''"_qs);
    QStringList articleRows;
    QStringList priceRows;
    for (int a = 1; a <= articles; ++a) {
        const QString code = u"'"_qs + articleCode(a) + u"'"_qs;
        articleRows << u"(1, "_qs + code + u", 0, 0)"_qs;
        for (int side : {demo::PurchaseSide, demo::SalesSide}) {
            const int lists = side == demo::PurchaseSide ? PurchaseLists : SalesLists;
            for (int l = 1; l <= lists; ++l)
                priceRows << u"(1, 0, %1, 0, %2, '', '', %3, %4, %5, 1, %6.5, 10, 5, 0, 0, 0, 0, "
                             "0, 0, 0, 0, 30, 0, 0, 0, 0, 0, 0, %4, %4, 1)"_qs.arg(side)
                                 .arg(code)
                                 .arg(l)
                                 .arg(start, end)
                                 .arg(a % 97 + l);
        }
    }
    QSqlDatabase db = c.database();
    db.transaction();
    insertRows(c,
               u"INSERT INTO MG66_ANAGRART (MG66_DITTA_CG18, MG66_CODART, MG66_FLGARRPRZ, "
               "MG66_FLGOPZIONI) VALUES "_qs,
               articleRows);
    insertRows(c,
               u"INSERT INTO LI10_LISTARTIC (LI10_DITTA_CG18, LI10_FLGUSODECOR, LI10_FLGVENDACQ, "
               "LI10_INDTIPOLIS, LI10_CODART_MG66, LI10_OPZIONE_MG5E, LI10_DEPOS_MG58, "
               "LI10_NUMLIST, LI10_DATAINIZIOVAL, LI10_DATAFINEVAL, LI10_FLGLIST, LI10_PREZZO, "
               "LI10_SC1PER, LI10_SC2PER, LI10_SC3PER, LI10_SC4PER, LI10_SC5PER, LI10_SC6PER, "
               "LI10_SCIMP, LI10_MAG1PER, LI10_MAG2PER, LI10_MAGIMP, LI10_PERRICDELTA, "
               "LI10_INDRICALPR, LI10_INDARROT, LI10_SCAGL_MG02, LI10_FLGPROVV, LI10_PROVPER, "
               "LI10_PROVIMP, LI10_DATACREAZ, LI10_DATAULTAGG, LI10_INDUM) VALUES "_qs,
               priceRows);
    db.commit();
    c.runStatement(u"ANALYZE"_qs); // both backends: plans that know the table's size
}

int storedRows(host::Connection& c) {
    auto rs = c.Execute(u"SELECT COUNT(*) AS N FROM LI10_LISTARTIC"_qs);
    return rt::CLng(rs->Fields(0).Value());
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// One walk through the sheet: the Enter steps, their median time, and the statements of the steps
// that ended a purchase row's last asked column (the derivation runs there) and of the others.
struct Walk {
    int steps = 0;
    double enterMs = 0;
    double stepsPerSecond = 0;
    double statementsPerEnter = 0;     // steps not at the last asked purchase column
    double statementsAtLastColumn = 0; // steps at it
};

struct Figures {
    QString backend;
    int rows = 0;
    double buildSeconds = 0;
    double openMs = 0;
    int openStatements = 0;
    double saveMs = 0;
    int saveStatements = 0;
    double recalcMs = 0;
    int recalcStatements = 0;
    // Round trips through the relay (0 without one).
    std::int64_t openTrips = 0;
    std::int64_t saveTrips = 0;
    std::int64_t recalcTrips = 0;
    int errors = 0;
    Walk untouched; // Enter alone: nothing changed
    Walk typed;     // a value typed before every Enter
};

// Enter from the first asked purchase cell to the last sales row; typing a value first when
// asked. The window is freshly loaded (RowsModified clear).
Walk walkSheet(FRMMG_PREZZOLAMPO& w, bool typeValues) {
    host::Connection& c = *w.Gcon_Connect;
    w.RowsModified = false;
    w.CurrentSide = u"VEN"_qs;
    w.window()->activateWindow(); // the keys go to the focused cell, as at a desk
    QApplication::setActiveWindow(w.window());
    w.GRD_LISACQ->setEnabled(true); // what a valid header enables
    w.GRD_LISVEN->setEnabled(true);
    // Loaded afresh, so that the walk starts where a completed header puts the focus.
    w.GRD_LISACQ->setRecordset(nullptr);
    w.GRD_LISVEN->setRecordset(nullptr);
    w.Rst_RecSet_LISACQ.reset();
    w.Rst_RecSet_LISVEN.reset();
    w.Setup();
    QApplication::processEvents();
    std::vector<double> times;
    double total = 0;
    int plainSteps = 0, plainStatements = 0, lastSteps = 0, lastStatements = 0;
    for (int step = 0; step < 500; ++step) {
        QWidget* focused = QApplication::focusWidget();
        if (!focused)
            break;
        if (typeValues)
            QTest::keyClicks(focused, QString::number(step % 9 + 1));
        const bool lastPurchaseColumn = w.CurrentSide == u"ACQ"_qs && w.UltimaColonna();
        const QString before = w.CurrentSide + w.GRD_LISVEN->currentColumnKey() +
                               QString::number(w.GRD_LISVEN->currentRow());
        const int statements = c.statementCount();
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(focused, Qt::Key_Return);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        times.push_back(ms);
        total += ms;
        (lastPurchaseColumn ? lastSteps : plainSteps)++;
        (lastPurchaseColumn ? lastStatements : plainStatements) += c.statementCount() - statements;
        const QString after = w.CurrentSide + w.GRD_LISVEN->currentColumnKey() +
                              QString::number(w.GRD_LISVEN->currentRow());
        if (w.CurrentSide == u"VEN"_qs && after == before)
            break; // the last sales row's last asked column
    }
    Walk walk;
    walk.steps = int(times.size());
    walk.enterMs = times.empty() ? 0 : median(times);
    walk.stepsPerSecond = total > 0 ? 1000.0 * walk.steps / total : 0;
    walk.statementsPerEnter = plainSteps ? double(plainStatements) / plainSteps : 0;
    walk.statementsAtLastColumn = lastSteps ? double(lastStatements) / lastSteps : 0;
    return walk;
}

// The same connection string with the server's address replaced by the relay's.
QString throughRelay(const QString& cs, std::uint16_t port) {
    QStringList parts;
    for (const QString& part : cs.split(u';')) {
        const QString key = part.section(u'=', 0, 0).trimmed().toLower();
        if (key != u"host"_qs && key != u"server"_qs && key != u"port"_qs)
            parts << part;
    }
    return parts.join(u';') + u";Host=127.0.0.1;Port=%1"_qs.arg(port);
}

Figures measure(const QString& backend, int articles, const Options& o) {
    const int runs = o.runs;
    Figures f;
    f.backend = backend;
    const bool delayed = backend == DelayedBackend;
    const QString cs = testsupport::testConnectionString(delayed ? u"PostgreSQL"_qs : backend);
    if (cs.isEmpty()) {
        std::fprintf(stderr, "%s non disponibile: %s\n", qPrintable(backend),
                     qPrintable(testsupport::postgresUnavailableReason()));
        return f;
    }
    QElapsedTimer build;
    build.start();
    {
        host::Connection c;
        c.Open(cs);
        demo::createDemoDatabase(c, rt::Today());
        configureLists(c);
        fillArticles(c, articles);
        f.rows = storedRows(c);
        c.Close();
    }
    f.buildSeconds = double(build.elapsed()) / 1000;

    std::unique_ptr<bench::DelayProxy> relay;
    QString windowCs = cs;
    if (delayed) {
        const QString host = cs.section(u"Host="_qs, 1).section(u';', 0, 0);
        const int port = cs.section(u"Port="_qs, 1).section(u';', 0, 0).toInt();
        relay =
            std::make_unique<bench::DelayProxy>(host.toStdString(), std::uint16_t(port),
                                                std::chrono::microseconds(qint64(o.delayMs * 500)));
        if (!relay->problem().empty()) {
            std::fprintf(stderr, "relay: %s\n", relay->problem().c_str());
            f.rows = 0;
            return f;
        }
        windowCs = throughRelay(cs, relay->port());
    }
    const auto trips = [&] { return relay ? relay->roundTrips() : std::int64_t(0); };

    testsupport::WindowOptions options;
    options.connectionString = windowCs;
    options.demoData = false;
    testsupport::WindowDriver driver(options);
    driver.show();
    FRMMG_PREZZOLAMPO& w = *driver.window();
    host::Connection& c = *w.Gcon_Connect;

    std::vector<double> open, save, recalc;
    QElapsedTimer timer;
    for (int run = 0; run < runs; ++run) {
        // What "&Nuovo" leaves, then another article.
        w.GRD_LISACQ->setRecordset(nullptr);
        w.GRD_LISVEN->setRecordset(nullptr);
        w.Rst_RecSet_LISACQ.reset();
        w.Rst_RecSet_LISVEN.reset();
        w.RowsModified = false;
        w.TXT_CODART->setText(articleCode(1 + (run * 7919) % articles));
        w.TXT_CODART->validContent(); // the header validated it before the lists load

        int before = c.statementCount();
        std::int64_t tripsBefore = trips();
        timer.start();
        w.SetupLisVen();
        w.UpdateRecords(u"VEN"_qs);
        w.SetupLisAcq();
        w.UpdateRecords(u"ACQ"_qs);
        open.push_back(double(timer.nsecsElapsed()) / 1e6);
        f.openStatements = c.statementCount() - before;
        f.openTrips = trips() - tripsBefore;

        host::Recordset& rs = *w.Rst_RecSet_LISVEN;
        rs.MoveFirst();
        for (int i = 0; i < run % SalesLists; ++i)
            rs.MoveNext();
        w.RowsModified = true;
        rs.Fields(u"LI10_PREZZO"_qs).setValue(rt::Variant(rt::Decimal(100 + run)));
        before = c.statementCount();
        tripsBefore = trips();
        timer.start();
        w.UpdateRecord(rs);
        save.push_back(double(timer.nsecsElapsed()) / 1e6);
        f.saveStatements = c.statementCount() - before;
        f.saveTrips = trips() - tripsBefore;

        // "&Ricalcola": every sales row derived from its base purchase list and saved.
        w.Rst_RecSet_LISACQ->MoveFirst();
        before = c.statementCount();
        tripsBefore = trips();
        timer.start();
        w.CMD_RICALCOLATUTTI_ButtonClick();
        recalc.push_back(double(timer.nsecsElapsed()) / 1e6);
        f.recalcStatements = c.statementCount() - before;
        f.recalcTrips = trips() - tripsBefore;
    }
    f.openMs = median(open);
    f.saveMs = median(save);
    f.recalcMs = median(recalc);
    f.untouched = walkSheet(w, false);
    f.typed = walkSheet(w, true);
    f.errors = int(driver.log->reports.size());
    for (const auto& r : driver.log->reports)
        std::fprintf(stderr, "errore in %s: %s\n", qPrintable(r.procedure),
                     qPrintable(r.description));
    return f;
}

// Round trips are counted only through the relay.
std::string tripText(const Figures& f, std::int64_t trips) {
    return f.backend == DelayedBackend ? std::to_string(trips) : std::string("-");
}

Options parse(const QStringList& args) {
    Options o;
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == u"--runs"_qs)
            o.runs = args[i + 1].toInt();
        else if (args[i] == u"--small"_qs)
            o.sizes[0] = args[i + 1].toInt();
        else if (args[i] == u"--large"_qs)
            o.sizes[1] = args[i + 1].toInt();
        else if (args[i] == u"--backend"_qs)
            o.backends = QStringList{args[i + 1]};
        else if (args[i] == u"--delay-ms"_qs)
            o.delayMs = args[i + 1].toDouble();
    }
    return o;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtimeDir(QDir::tempPath() + u"/prezzolampo-bench-XXXXXX"_qs);
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        QFile::setPermissions(runtimeDir.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toUtf8());
    }
    QApplication app(argc, argv);
    const Options options = parse(app.arguments());

    std::printf("%-16s %7s %7s %8s %7s %7s %8s %7s %7s %9s %9s %9s %6s\n", "backend", "rows",
                "build s", "open ms", "open st", "open rt", "save ms", "save st", "save rt",
                "recalc ms", "recalc st", "recalc rt", "errors");
    std::vector<Figures> walks;
    for (const QString& backend : options.backends) {
        for (int articles : options.sizes) {
            const Figures f = measure(backend, articles, options);
            if (f.rows == 0)
                continue;
            walks.push_back(f);
            std::printf("%-16s %7d %7.1f %8.2f %7d %7s %8.3f %7d %7s %9.2f %9d %9s %6d\n",
                        qPrintable(f.backend), f.rows, f.buildSeconds, f.openMs, f.openStatements,
                        tripText(f, f.openTrips).c_str(), f.saveMs, f.saveStatements,
                        tripText(f, f.saveTrips).c_str(), f.recalcMs, f.recalcStatements,
                        tripText(f, f.recalcTrips).c_str(), f.errors);
            std::fflush(stdout);
        }
    }
    std::printf("(rt = round trips to the server, counted through the relay; PostgreSQL+delay adds "
                "%.1f ms per round trip)\n",
                options.delayMs);
    std::printf("(%d runs each; open = SetupLisVen, UpdateRecords VEN, SetupLisAcq, UpdateRecords "
                "ACQ of %d sales and %d purchase lists; save = UpdateRecord of one edited row;\n"
                " recalc = \"&Ricalcola\": RicalcolaPrezzi over every sales row, each saved)\n",
                options.runs, SalesLists, PurchaseLists);
    for (const Figures& f : walks) {
        for (const auto& [name, walk] : {std::pair{"Enter alone", f.untouched}, {"typed", f.typed}})
            std::printf("%-16s %7d %-12s %6d steps %8.3f ms/Enter %8.0f Enter/s  %5.2f st/Enter "
                        "%6.2f st at a purchase row's end\n",
                        qPrintable(f.backend), f.rows, name, walk.steps, walk.enterMs,
                        walk.stepsPerSecond, walk.statementsPerEnter, walk.statementsAtLastColumn);
    }
    std::printf("(walk = real Enter key events through the %d + %d list sheet; ms/Enter is the "
                "median of the steps)\n",
                PurchaseLists, SalesLists);
    return 0;
}
