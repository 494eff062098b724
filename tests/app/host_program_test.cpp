// The host program's parts: settings, plug-in loading, the main frame's menu, tool bar and
// window area, and the frame with the real plug-in window.
#include "app/main_frame.h"
#include "app/plugin_loader.h"
#include "app/settings.h"

#include "db/demo_database.h"
#include "host/controls/krx_qgrid.h"
#include "host/data/connection.h"
#include "host/services/global_services.h"
#include "host/services/log_service.h"
#include "host/services/navigator.h"
#include "runtime/conversions.h"
#include "tests/runtime/test_helpers.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace {

const QString BuildPluginFolder = QStringLiteral(PREZZOLAMPO_BINARY_DIR "/plugins");

TEST(HostSettings, CommandLineComesBeforeTheSettingsFileAndTheDemo) {
    const QString pg = QStringLiteral("Provider=PostgreSQL;Host=127.0.0.1;Database=ditta");
    const struct {
        const char* name;
        QStringList arguments;
        std::map<QString, QString> file;
        QString connection; // "" = the default demo database
        QString demoFile;   // "" = none, "default" = the default demo file
        QString company;
    } table[] = {
        // clang-format off
        {"nothing given", {}, {}, "", "default", "1"},
        {"connection wins", {"--connection", pg, "--database", "/tmp/x.sqlite"}, {}, pg, "", "1"},
        {"settings file", {}, {{"connection", pg}, {"company", "7"}}, pg, "", "7"},
        {"settings database", {}, {{"database", "/srv/d.sqlite"}}, "", "/srv/d.sqlite", "1"},
        {"company as SQL", {}, {{"company", " 007"}}, "", "default", "7"},
        {"command line first", {"--database", "/tmp/y.sqlite", "--company", "3"},
         {{"connection", pg}, {"company", "7"}}, "", "/tmp/y.sqlite", "3"},
        // --screenshot and --quit-after are run by tests/app/real_window_test.sh.
        {"calling program", {"--article", "ART 01", "--modal", "--plugins", "/p"}, {}, "",
         "default", "1"},
        // clang-format on
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        QSettings file(dir.filePath(QString::fromLatin1(row.name) + ".conf"), QSettings::IniFormat);
        for (const auto& [key, value] : row.file)
            file.setValue(key, value);
        HostOptions options;
        ASSERT_TRUE(options.parse(QStringList{"prezzolampo"} + row.arguments));
        const HostSettings s = options.resolve(file);
        const QString demoFile =
            row.demoFile == "default" ? demo::defaultDemoDatabasePath() : row.demoFile;
        EXPECT_EQ(s.demoDatabaseFile, demoFile);
        EXPECT_EQ(s.connectionString,
                  row.connection.isEmpty() ? demo::demoConnectionString(demoFile) : row.connection);
        EXPECT_EQ(s.companyCode, row.company);
        const bool called = row.arguments.contains("--article");
        EXPECT_EQ(s.called, called);
        EXPECT_EQ(s.modal, called);
        EXPECT_EQ(s.article, called ? "ART 01" : "");
        EXPECT_EQ(s.pluginFolder, called ? "/p" : defaultPluginFolder());
        EXPECT_EQ(s.quitAfterMs, -1);
    }
    // A settings file whose company is empty: the program refuses to start. A company that is
    // no number and --help are the real program's, in tests/app/real_window_test.sh.
    EXPECT_FALSE(companyCodeProblem(QString()).isEmpty());

    const QStringList wrong[] = {
        {"--quit-after", "presto"}, {"--quit-after", "-5"}, {"--markup-method", "margine"},
        {"--sconosciuta"},          {"articolo"},           {"--database"}};
    for (const QStringList& arguments : wrong) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        HostOptions options;
        EXPECT_FALSE(options.parse(QStringList{"prezzolampo"} + arguments));
        EXPECT_FALSE(options.errorText().isEmpty());
    }

    // The mark-up method: command line, else settings file, else 0.
    QSettings file(dir.filePath("markup.conf"), QSettings::IniFormat);
    const auto markup = [&](const QStringList& arguments) {
        HostOptions options;
        EXPECT_TRUE(options.parse(QStringList{"prezzolampo"} + arguments));
        return options.resolve(file).markupMethod;
    };
    EXPECT_EQ(markup({}), 0);
    saveMarkupMethod(file, 1);
    EXPECT_EQ(markup({}), 1);
    EXPECT_EQ(markup({"--markup-method", "0"}), 0);
}

TEST(PluginLoaderTest, FindsTheClassInTheLibraryAndCreatesItByNameWhateverTheCase) {
    const QList<PluginLoader::Library> libraries = PluginLoader(BuildPluginFolder).libraries();
    ASSERT_EQ(libraries.size(), 1);
    EXPECT_TRUE(libraries.first().file.contains("RIDE_PREZZOLAMPO"));
    EXPECT_EQ(libraries.first().classes, QStringList{"CLSMG_PREZZOLAMPO"});
    const struct {
        QString folder, className;
        bool found;
    } table[] = {{BuildPluginFolder, "clsmg_prezzolampo", true},
                 {BuildPluginFolder, "CLSMG_ALTRO", false},
                 {"/nonesiste/plugins", "CLSMG_PREZZOLAMPO", false}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.className.toStdString() + " in " + row.folder.toStdString());
        PluginLoader loader(row.folder);
        const std::shared_ptr<host::Cinterface> plugin = loader.create(row.className);
        EXPECT_EQ(bool(plugin), row.found) << loader.errorText().toStdString();
        EXPECT_EQ(plugin ? plugin->ActiveDll() : nullptr, plugin);
        EXPECT_EQ(loader.errorText().startsWith("Classe " + row.className + " non trovata"),
                  !row.found);
    }
}

// The Impostazioni menu puts a mark-up method in force at once and hands it over to be kept.
TEST(MainFrameTest, MenuNavigatorButtonsAndWindowArea) {
    auto global = std::make_shared<host::GlobalServices>();
    global->setMarkupMethod(0);
    MainFrame frame(global);
    QList<int> kept;
    frame.markupMethodChosen = [&kept](int method) { kept.append(method); };
    auto* margin = frame.findChild<QAction*>(QStringLiteral("markupMethod1"));
    auto* onCost = frame.findChild<QAction*>(QStringLiteral("markupMethod0"));
    ASSERT_TRUE(margin && onCost);
    EXPECT_TRUE(onCost->isChecked());
    margin->trigger();
    EXPECT_EQ(rt::CInt(global->markupMethod()), 1);
    EXPECT_FALSE(onCost->isChecked());
    onCost->trigger();
    EXPECT_EQ(rt::CInt(global->markupMethod()), 0);
    EXPECT_EQ(kept, (QList<int>{1, 0}));

    QStringList told;
    QString proposedFolder;
    frame.chooseExportFile = [&proposedFolder](const QString& proposed) {
        proposedFolder = QFileInfo(proposed).path();
        return proposed;
    };
    frame.tellUser = [&told](const QString& text, bool) { told << text; };
    QStringList heard; // the navigator's events
    QObject::connect(frame.navigator().get(), &host::Navigator::ButtonPressed,
                     [&heard](bool&, std::int32_t button) { heard << QString::number(button); });
    QObject::connect(frame.navigator().get(), &host::Navigator::BeforeExportToOffice,
                     [&heard](bool&) { heard << QStringLiteral("export"); });
    auto* media = frame.findChild<QAction*>(QStringLiteral("multimediaButton"));
    auto* exportButton = frame.findChild<QAction*>(QStringLiteral("exportButton"));
    ASSERT_TRUE(media && exportButton);
    media->trigger();
    exportButton->trigger();
    EXPECT_EQ(heard, (QStringList{"25", "export"}));
    EXPECT_TRUE(QDir(proposedFolder).exists()) << proposedFolder.toStdString();
    // No window registered with the layout model: the export says so and writes no file.
    EXPECT_EQ(told,
              QStringList{"Esportazione non riuscita: nessuna finestra aperta da esportare."});

    ASSERT_TRUE(global->presentWindow);
    auto* window = new QWidget;
    global->presentWindow(window);
    ASSERT_EQ(frame.windowArea()->subWindowList().size(), 1);
    EXPECT_EQ(frame.windowArea()->subWindowList().first()->widget(), window);
    delete window;
    // The emptied frame closes and deletes itself once the events run.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(frame.windowArea()->subWindowList().isEmpty());
}

void pump() {
    for (int round = 0; round < 5; ++round) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// The frame a 1366 x 768 screen gets on a first run.
const QSize FirstRunFrame(1280, 720);

// The frame then goes without being closed and still runs the window's unload.
TEST(FrameWithWindow, BothGridsShowEveryColumnAndGrowWithTheFrame) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString cs = demo::demoConnectionString(dir.filePath(QStringLiteral("demo.db")));
    host::Connection demoData;
    demoData.Open(cs);
    demo::createDemoDatabase(demoData, rt::Today());
    demoData.Close();
    const auto global = std::make_shared<host::GlobalServices>();
    const auto log = std::make_shared<host::ScriptedLogService>();
    global->setConnectionString(cs);
    global->setCompanyCode(QString::number(demo::DemoCompany));
    global->factory() = host::HostObjectFactory::standard(QString());
    global->factory().logService = [log] { return log; };
    auto frame = std::make_unique<MainFrame>(global);
    frame->resize(FirstRunFrame);
    frame->show();
    pump();
    PluginLoader loader(BuildPluginFolder);
    std::shared_ptr<host::Cinterface> plugin = loader.create(QStringLiteral("CLSMG_PREZZOLAMPO"));
    ASSERT_TRUE(plugin) << loader.errorText().toStdString();
    frame->openPlugin(std::move(plugin), PluginCall{});
    pump();
    ASSERT_TRUE(frame->plugin());
    const std::shared_ptr<host::Connection> connection = frame->plugin()->connection();
    ASSERT_TRUE(connection);
    // The navigator builds its models when the window is first activated.
    const std::shared_ptr<host::ScriptObjectModel> script = frame->navigator()->scriptModel();
    ASSERT_TRUE(script);

    host::KRX_QGRID* const grids[] = {frame->findChild<host::KRX_QGRID*>(u"GRD_LISACQ"_qs),
                                      frame->findChild<host::KRX_QGRID*>(u"GRD_LISVEN"_qs)};
    QSize before[2];
    for (int i = 0; i < 2; ++i) {
        host::KRX_QGRID* g = grids[i];
        ASSERT_NE(g, nullptr);
        SCOPED_TRACE(g->objectName().toStdString());
        QTableView* view = g->view();
        // All sixteen columns fit, shown or not: nothing to scroll sideways.
        int columns = view->verticalHeader()->width() + 2 * view->frameWidth();
        for (int c = 0; c < g->columnCount(); ++c)
            columns += view->columnWidth(c);
        EXPECT_LE(columns + view->verticalScrollBar()->sizeHint().width(), g->width());
        EXPECT_EQ(view->horizontalScrollBar()->maximum(), 0);
        before[i] = g->size();
    }
    QWidget* sub = grids[0]->parentWidget()->parentWidget();
    sub->resize(sub->size() + QSize(100, 80));
    pump();
    // The two groups share the added height.
    EXPECT_EQ(grids[0]->size(), before[0] + QSize(100, 40));
    EXPECT_EQ(grids[1]->size(), before[1] + QSize(100, 40));

    ASSERT_EQ(connection->State(), host::adStateOpen);
    frame.reset();
    pump();
    EXPECT_EQ(std::count_if(script->events.begin(), script->events.end(),
                            [](const auto& e) { return e.open == 0; }),
              1);
    EXPECT_EQ(connection->State(), host::adStateClosed);
    EXPECT_TRUE(log->reports.isEmpty());
}

TEST(FramePlacement, TheFrameOpensWhereItWasClosed) {
    QByteArray kept;
    const QRect closedAt(40, 30, 900, 600);
    {
        MainFrame frame(std::make_shared<host::GlobalServices>());
        frame.frameGeometryChosen = [&kept](const QByteArray& g) { kept = g; };
        frame.setGeometry(closedAt);
        frame.show();
        pump();
        EXPECT_TRUE(frame.close());
    }
    MainFrame again(std::make_shared<host::GlobalServices>());
    again.restorePlacement(kept);
    EXPECT_EQ(again.geometry().size(), closedAt.size());
    // Nothing kept yet: the first run's size, within the screen.
    MainFrame first(std::make_shared<host::GlobalServices>());
    first.restorePlacement({});
    EXPECT_EQ(first.size(), FirstRunFrame.boundedTo(first.screen()->availableGeometry().size()));
}

} // namespace
