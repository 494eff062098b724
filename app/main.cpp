// prezzolampo: the host program. It reads its settings, prepares the demo database when it
// is the one in use, loads the plug-in class CLSMG_PREZZOLAMPO from its plug-in folder and
// opens its window in the main frame.
#include "app/main_frame.h"
#include "app/plugin_loader.h"
#include "app/settings.h"

#include "db/demo_database.h"
#include "host/data/connection.h"
#include "host/services/global_services.h"
#include "host/services/log_service.h"
#include "runtime/conversions.h"
#include "runtime/errors.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

namespace {

const QString PluginClassName = QStringLiteral("CLSMG_PREZZOLAMPO");
// Time left to the window's first activation and painting before the screenshot.
constexpr int ScreenshotDelayMs = 500;
// A frame told to quit while its plug-in window cannot close yet (its load is still running)
// tries again this often, for at most this long.
constexpr int QuitRetryMs = 100;
constexpr int QuitPatienceMs = 20000;

void printError(const QString& text) {
    std::fprintf(stderr, "prezzolampo: %s\n", qPrintable(text));
}

// A demo database file that does not exist yet is created with the demo company's data.
bool prepareDemoDatabase(const QString& file) {
    if (QFileInfo::exists(file))
        return true;
    QDir().mkpath(QFileInfo(file).absolutePath());
    try {
        auto connection = std::make_shared<host::Connection>();
        connection->Open(demo::demoConnectionString(file));
        demo::createDemoDatabase(*connection, rt::Today());
        connection->Close();
        return true;
    } catch (const rt::Error& e) {
        printError(QStringLiteral("impossibile creare il database dimostrativo %1: %2")
                       .arg(file, e.description()));
        QFile::remove(file);
        return false;
    }
}

QString logFilePath() {
    const QString dataFolder = userDataFolder();
    QDir().mkpath(dataFolder);
    return QDir(dataFolder).filePath(QStringLiteral("prezzolampo.log"));
}

std::shared_ptr<host::GlobalServices> makeGlobalServices(const HostSettings& settings) {
    auto global = std::make_shared<host::GlobalServices>();
    global->setConnectionString(settings.connectionString);
    global->setCompanyCode(settings.companyCode);
    global->setMarkupMethod(settings.markupMethod);
    global->factory() = host::HostObjectFactory::standard(logFilePath());
    return global;
}

// Closes the frame; while its plug-in window cannot close yet, tries again later. A frame
// still open when patience runs out ends the program as a failed run.
void closeFrameWhenPossible(MainFrame& frame, int patienceMs) {
    frame.close();
    if (!frame.isVisible())
        return;
    if (patienceMs <= 0) {
        printError(QStringLiteral("la finestra non si chiude: il programma termina"));
        QCoreApplication::exit(1);
        return;
    }
    QTimer::singleShot(QuitRetryMs, &frame, [&frame, patienceMs] {
        closeFrameWhenPossible(frame, patienceMs - QuitRetryMs);
    });
}

PluginCall pluginCall(const HostSettings& settings) {
    PluginCall call;
    call.modal = settings.modal;
    call.called = settings.called;
    call.article = settings.article;
    return call;
}

// --screenshot and --quit-after: the hooks the real-window tests drive the program with.
void scheduleTestHooks(MainFrame& frame, const HostSettings& settings) {
    auto screenshotTaken = std::make_shared<bool>(settings.screenshotFile.isEmpty());
    auto takeScreenshot = [&frame, file = settings.screenshotFile, screenshotTaken] {
        if (*screenshotTaken)
            return;
        *screenshotTaken = true;
        QCoreApplication::processEvents();
        if (!frame.grab().save(file))
            printError(QStringLiteral("impossibile salvare l'immagine %1").arg(file));
    };
    if (!settings.screenshotFile.isEmpty())
        QTimer::singleShot(ScreenshotDelayMs, &frame, takeScreenshot);
    if (settings.quitAfterMs >= 0) {
        QTimer::singleShot(settings.quitAfterMs, &frame, [&frame, takeScreenshot] {
            takeScreenshot();
            // Nobody is there to answer: no question may keep the program waiting.
            host::quitWithoutQuestions();
            closeFrameWhenPossible(frame, QuitPatienceMs);
        });
    }
}

// The program's arguments as text, before any application object exists.
QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("prezzolampo"));
    // Options are read before the windowing system is asked for: --help and a wrong option
    // answer on a machine without a display too.
    HostOptions options;
    if (!options.parse(argumentsOf(argc, argv))) {
        printError(options.errorText());
        std::fprintf(stderr, "%s", qPrintable(options.helpText()));
        return 2;
    }
    if (options.helpRequested()) {
        std::fprintf(stdout, "%s", qPrintable(options.helpText()));
        return 0;
    }
    // From here on the windowing system is needed (and the program's folder, where the
    // default plug-in folder lies, is known).
    QApplication app(argc, argv);
    QSettings file(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("prezzolampo"),
                   QStringLiteral("prezzolampo"));
    const HostSettings settings = options.resolve(file);
    if (const QString problem = companyCodeProblem(settings.companyCode); !problem.isEmpty()) {
        printError(problem + QStringLiteral(" (file delle impostazioni: %1)").arg(file.fileName()));
        return 2;
    }
    // What a window cannot report through its own log service still reaches the log file.
    host::setFallbackLogService(std::make_shared<host::DialogLogService>(logFilePath()));
    if (!settings.demoDatabaseFile.isEmpty() && !prepareDemoDatabase(settings.demoDatabaseFile))
        return 1;

    PluginLoader loader(settings.pluginFolder);
    std::shared_ptr<host::Cinterface> plugin = loader.create(PluginClassName);
    if (!plugin) {
        printError(loader.errorText());
        return 1;
    }

    int exitCode = 0;
    {
        MainFrame frame(makeGlobalServices(settings));
        frame.markupMethodChosen = [&file](int method) { saveMarkupMethod(file, method); };
        frame.frameGeometryChosen = [&file](const QByteArray& g) { saveFrameGeometry(file, g); };
        frame.restorePlacement(savedFrameGeometry(file));
        frame.show();
        QTimer::singleShot(0, &frame,
                           [&frame, p = std::move(plugin), call = pluginCall(settings)]() mutable {
                               frame.openPlugin(std::move(p), call);
                           });
        scheduleTestHooks(frame, settings);
        exitCode = QApplication::exec();
    }
    host::setFallbackLogService(nullptr);
    return exitCode;
}
