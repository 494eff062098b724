// The window in the host on each backend: a picture linked and shown, the export, a close refused.
#include "host/controls/krx_qgrid.h"
#include "host/data/connection.h"
#include "host/services/global_services.h"
#include "host/services/log_service.h"
#include "host/services/media_link.h"
#include "host/services/navigator.h"
#include "runtime/conversions.h"
#include "runtime/errors.h"
#include "tests/support/pg_server.h"
#include "tests/support/window_driver.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using testsupport::WindowDriver;

// One value of the first row of a query, on a connection of its own.
QVariant firstValue(const QString& connectionString, const QString& sql) {
    host::Connection c;
    c.Open(connectionString);
    QSqlQuery q = c.runStatement(c.translate(sql));
    return q.next() ? q.value(0) : QVariant();
}

class MediaAndExport : public ::testing::TestWithParam<const char*> {};

TEST_P(MediaAndExport, APictureLinkedToARowIsStoredFoundAndShownAndTheWindowExported) {
    PREZZOLAMPO_CONNECTION_OR_SKIP(cs, QString::fromLatin1(GetParam()));
    WindowDriver d({cs, true, QDate::currentDate(), nullptr});
    QTemporaryDir dir;
    const QByteArray picture = QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(3000, '\x7f');
    QFile file(dir.filePath(QStringLiteral("trapano.png")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(picture) == picture.size());
    file.close();
    std::shared_ptr<host::MediaLink> link;
    QList<QUrl> shown;
    QStringList notices;
    d.global->factory().mediaLink = [&] {
        link = std::make_shared<host::MediaLink>();
        link->chooseFile = [&] { return file.fileName(); };
        link->showFile = [&](const QUrl& url) { return shown.append(url), true; };
        link->notice = [&](const QString& text) { notices << text; };
        return link;
    };
    d.contract->setIsActive(true);
    d.show();
    FRMMG_PREZZOLAMPO& w = *d.window();
    EXPECT_EQ(d.script->registeredTitle, QStringLiteral("Crezione Veloce Listini"));

    WindowDriver::openArticle(w, u"TRAP-BATT-18V"_qs, u"01012026"_qs, u"311226"_qs);
    ASSERT_TRUE(w.Rst_RecSet_LISACQ);
    host::Recordset& rows = *w.Rst_RecSet_LISACQ;
    int row = 1;
    const auto linked = [&] {
        const rt::Variant code = rows.Fields("LI10_IDMEDIA_CG99").Value();
        return !code.isNull() && rt::CDbl(code) != 0;
    };
    for (rows.MoveFirst(); linked(); rows.MoveNext())
        ++row;
    w.GRD_LISACQ->view()->setFocus();
    w.GRD_LISACQ->view()->setCurrentIndex(w.GRD_LISACQ->view()->model()->index(row - 1, 1));
    WindowDriver::pump();
    ASSERT_EQ(rows.AbsolutePosition(), row);
    const QString list = rt::CStr(w.Rst_RecSet_LISACQ->Fields("LI10_NUMLIST").Value());
    d.navigator->pressButton(25);
    ASSERT_TRUE(link);
    const qint64 code = link->lastCreatedCode();
    ASSERT_GT(code, 0) << notices.join(u'\n').toStdString();
    const QString stored = QStringLiteral(
        "SELECT COUNT(*) FROM LI10_LISTARTIC WHERE LI10_CODART_MG66 = 'TRAP-BATT-18V' AND "
        "LI10_FLGVENDACQ = 1 AND LI10_NUMLIST = %1 AND LI10_IDMEDIA_CG99 = %2");
    EXPECT_EQ(firstValue(cs, stored.arg(list).arg(code)).toInt(), 1);
    const QString data = QStringLiteral("SELECT CG99_DATI FROM CG99_MEDIA WHERE CG99_IDMEDIA = %1");
    EXPECT_EQ(firstValue(cs, data.arg(code)).toByteArray(), picture);
    d.navigator->pressButton(25); // the row has its code now: the picture is shown
    ASSERT_EQ(shown.size(), 1);
    QFile again(shown[0].toLocalFile());
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), picture);

    const QString exported = dir.filePath(QStringLiteral("listini.xlsx"));
    ASSERT_TRUE(d.navigator->exportToOffice(exported));
    QProcess python;
    python.start(u"python3"_qs, {PREZZOLAMPO_SOURCE_DIR "/tests/support/xlsx_cells.py", exported});
    ASSERT_TRUE(python.waitForFinished());
    const QJsonObject book = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    // The sheets and the header's first cell are the captions the window gave the layout model.
    EXPECT_EQ(
        book["sheets"].toArray().toVariantList(),
        (QVariantList{"Testata", "Griglia Listini di Acquisto", "Griglia Listini di Vendita"}));
    const QJsonObject header = book["cells"]["Testata"].toObject();
    EXPECT_EQ(header["A1"].toArray()[1].toString(), "Creazione Veloce Listini Anagrafici");
    EXPECT_TRUE(header.contains("B3")) << "the article's field";
    const QJsonObject purchase = book["cells"]["Griglia Listini di Acquisto"].toObject();
    // The header row: the captions of the shown columns alone, in the grid's order.
    QStringList shownCaptions, headerRow;
    for (int i = 0; i < w.GRD_LISACQ->columnCount(); ++i)
        if (w.GRD_LISACQ->column(i).visible)
            shownCaptions << w.GRD_LISACQ->column(i).caption;
    ASSERT_LT(shownCaptions.size(), w.GRD_LISACQ->columnCount()) << "no hidden column to leave out";
    for (int c = 0; c < shownCaptions.size(); ++c)
        headerRow << purchase[QChar(char16_t(u'A' + c)) + u"1"_qs].toArray()[1].toString();
    EXPECT_EQ(headerRow, shownCaptions);
    EXPECT_FALSE(purchase.contains(QChar(char16_t(u'A' + shownCaptions.size())) + u"1"_qs));
    EXPECT_EQ(purchase["A2"].toArray()[0].toString(), "n") << "numbers are written as numbers";
    EXPECT_THROW(d.navigator->exportToOffice("/dev/null/listini.xlsx"), rt::Error);
    EXPECT_EQ(notices, QStringList{});

    // An unload that fails and is left (Interrompi) leaves the window open: CloseForm answers
    // False and keeps the form; answered Ignora the next time, the window closes.
    d.contract->setClsVoceMenu(nullptr); // the unload reads its text: error 91
    d.log->answers = {host::ErrorLeave};
    EXPECT_FALSE(d.contract->CloseForm().asBool());
    WindowDriver::pump();
    ASSERT_NE(d.window(), nullptr) << "the window went although it did not close";
    EXPECT_TRUE(d.window()->isVisible());
    EXPECT_EQ(d.reportedProcedures(), QStringList{"Form_Unload"});
    d.log->defaultAnswer = host::ErrorContinue; // Ignora every error of the second unload
    EXPECT_TRUE(d.close());
    EXPECT_EQ(d.contract->FrmPrezzoLampo(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Backends, MediaAndExport,
                         ::testing::Values("SQLite", "PostgreSQL", "PostgreSQL_ODBC"),
                         [](const auto& param) { return std::string(param.param); });

} // namespace
