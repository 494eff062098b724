// The host program's parts: its settings (command line over settings file over the demo
// database), the plug-in folder scan and creation by class name, and the main frame's menu,
// navigator tool bar and window area.
#include "app/main_frame.h"
#include "app/plugin_loader.h"
#include "app/settings.h"

#include "db/demo_database.h"
#include "host/services/global_services.h"
#include "host/services/navigator.h"

#include "runtime/conversions.h"
#include "tests/runtime/test_helpers.h"
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <map>

namespace {

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
        {"nothing given", {}, {}, "", "default", "1"},
        {"sqlite file", {"--database", "/tmp/x.sqlite"}, {}, "", "/tmp/x.sqlite", "1"},
        {"connection wins", {"--connection", pg, "--database", "/tmp/x.sqlite"}, {}, pg, "", "1"},
        {"settings file", {}, {{"connection", pg}, {"company", "7"}}, pg, "", "7"},
        {"settings database", {}, {{"database", "/srv/d.sqlite"}}, "", "/srv/d.sqlite", "1"},
        {"company as SQL", {}, {{"company", " 007"}}, "", "default", "7"},
        {"command line first",
         {"--database", "/tmp/y.sqlite", "--company", "3"},
         {{"connection", pg}, {"company", "7"}},
         "",
         "/tmp/y.sqlite",
         "3"},
        // --screenshot and --quit-after are run by tests/app/real_window_test.sh.
        {"calling program",
         {"--article", "ART 01", "--modal", "--plugins", "/p"},
         {},
         "",
         "default",
         "1"},
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
    // A settings file whose company is no whole number: the program refuses to start.
    EXPECT_TRUE(companyCodeProblem(QStringLiteral("7")).isEmpty());
    EXPECT_FALSE(companyCodeProblem(QStringLiteral("1 OR 1=1")).isEmpty());
    EXPECT_FALSE(companyCodeProblem(QString()).isEmpty());

    for (const QStringList& arguments : {QStringList{"--quit-after", "presto"},
                                         {"--quit-after", "-5"},
                                         {"--markup-method", "margine"},
                                         {"--sconosciuta"},
                                         {"articolo"},
                                         {"--database"}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        HostOptions options;
        EXPECT_FALSE(options.parse(QStringList{"prezzolampo"} + arguments));
        EXPECT_FALSE(options.errorText().isEmpty());
    }
    HostOptions help;
    ASSERT_TRUE(help.parse({"prezzolampo", "--help"}));
    EXPECT_TRUE(help.helpRequested());
}

// The mark-up method: command line, else settings file, else 0.
TEST(HostSettings, MarkupMethodIsTheHostsSetting) {
    QTemporaryDir dir;
    QSettings file(dir.filePath("markup.conf"), QSettings::IniFormat);
    const auto resolved = [&](const QStringList& arguments) {
        HostOptions options;
        EXPECT_TRUE(options.parse(QStringList{"prezzolampo"} + arguments));
        return options.resolve(file).markupMethod;
    };
    EXPECT_EQ(resolved({}), 0);
    saveMarkupMethod(file, 1);
    EXPECT_EQ(resolved({}), 1);
    EXPECT_EQ(resolved({"--markup-method", "0"}), 0);
}

const QString BuildPluginFolder = QStringLiteral(PREZZOLAMPO_BINARY_DIR "/plugins");

// The class is found in the library and created by name whatever the case; an unknown class or
// folder gives an Italian message.
TEST(PluginLoaderTest, FindsTheClassInTheLibraryAndCreatesItByNameWhateverTheCase) {
    const QList<PluginLoader::Library> libraries = PluginLoader(BuildPluginFolder).libraries();
    ASSERT_EQ(libraries.size(), 1);
    EXPECT_TRUE(libraries.first().file.contains("RIDE_PREZZOLAMPO"));
    EXPECT_EQ(libraries.first().classes, QStringList{"CLSMG_PREZZOLAMPO"});
    const struct {
        QString folder, className;
        bool found;
    } table[] = {{BuildPluginFolder, "CLSMG_PREZZOLAMPO", true},
                 {BuildPluginFolder, "clsmg_prezzolampo", true},
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

// The Impostazioni menu puts a mark-up method in force at once and hands it over to be kept;
// the navigator buttons raise the navigator's events; plug-in windows open in the window area
// and take their frame along.
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
    QList<int> pressed;
    int exports = 0;
    QObject::connect(frame.navigator().get(), &host::Navigator::ButtonPressed,
                     [&pressed](bool&, std::int32_t button) { pressed.append(button); });
    QObject::connect(frame.navigator().get(), &host::Navigator::BeforeExportToOffice,
                     [&exports](bool&) { ++exports; });
    const struct {
        const char* button;
        QList<int> pressed;
        int exports;
    } table[] = {{"multimediaButton", {25}, 0}, {"exportButton", {25}, 1}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.button);
        auto* action = frame.findChild<QAction*>(QString::fromLatin1(row.button));
        ASSERT_NE(action, nullptr);
        action->trigger();
        EXPECT_EQ(pressed, row.pressed);
        EXPECT_EQ(exports, row.exports);
    }
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

} // namespace
