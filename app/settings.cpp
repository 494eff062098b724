#include "app/settings.h"

#include "db/demo_database.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

namespace opt {
const QString connection = QStringLiteral("connection");
const QString database = QStringLiteral("database");
const QString company = QStringLiteral("company");
const QString plugins = QStringLiteral("plugins");
const QString article = QStringLiteral("article");
const QString modal = QStringLiteral("modal");
const QString screenshot = QStringLiteral("screenshot");
const QString quitAfter = QStringLiteral("quit-after");
const QString markupMethod = QStringLiteral("markup-method");
} // namespace opt

// Keys of the settings file.
const QString connectionKey = QStringLiteral("connection");
const QString databaseKey = QStringLiteral("database");
const QString companyKey = QStringLiteral("company");
const QString pluginsKey = QStringLiteral("plugins");
const QString markupMethodKey = QStringLiteral("markupMethod");
const QString frameGeometryKey = QStringLiteral("frameGeometry");

const QString defaultCompany = QString::number(demo::DemoCompany);

} // namespace

HostOptions::HostOptions() {
    parser_.setApplicationDescription(
        QStringLiteral("Creazione Veloce Listini Anagrafici: programma ospite del plug-in "
                       "RIDE_PREZZOLAMPO."));
    parser_.addHelpOption();
    parser_.addOptions({
        {opt::connection, QStringLiteral("Stringa di connessione al database."),
         QStringLiteral("stringa")},
        {opt::database,
         QStringLiteral("File del database SQLite (creato con i dati dimostrativi "
                        "se non esiste)."),
         QStringLiteral("file")},
        {opt::company, QStringLiteral("Codice della ditta (predefinito: 1)."),
         QStringLiteral("codice")},
        {opt::plugins, QStringLiteral("Cartella dei plug-in."), QStringLiteral("cartella")},
        {opt::article,
         QStringLiteral("Apre la finestra come richiamata da un altro programma, "
                        "con l'articolo indicato."),
         QStringLiteral("codice")},
        {opt::modal, QStringLiteral("Mostra la finestra in modo modale.")},
        {opt::screenshot,
         QStringLiteral("Salva un'immagine della finestra principale nel file "
                        "indicato (per i test)."),
         QStringLiteral("file")},
        {opt::quitAfter,
         QStringLiteral("Chiude la finestra principale dopo i millisecondi "
                        "indicati (per i test)."),
         QStringLiteral("ms")},
        {opt::markupMethod,
         QStringLiteral("Metodo di ricarico: 0 = ricarico sul costo, 1 = margine sul prezzo "
                        "di vendita (predefinito: quello del file delle impostazioni, "
                        "altrimenti 0)."),
         QStringLiteral("metodo")},
    });
}

QString companyCodeProblem(const QString& code) {
    static const QRegularExpression wholeNumber(QStringLiteral("^\\d{1,5}$"));
    if (wholeNumber.match(code.trimmed()).hasMatch())
        return {};
    return QStringLiteral("Codice ditta non valido: \"%1\" (deve essere un numero intero da 0 "
                          "a 99999).")
        .arg(code);
}

bool HostOptions::parse(const QStringList& arguments) {
    error_.clear();
    if (!parser_.parse(arguments)) {
        error_ = parser_.errorText();
        return false;
    }
    if (!parser_.positionalArguments().isEmpty()) {
        error_ =
            QStringLiteral("Argomento non previsto: %1").arg(parser_.positionalArguments().first());
        return false;
    }
    if (parser_.isSet(opt::company)) {
        error_ = companyCodeProblem(parser_.value(opt::company));
        if (!error_.isEmpty())
            return false;
    }
    if (parser_.isSet(opt::markupMethod)) {
        bool ok = false;
        parser_.value(opt::markupMethod).toInt(&ok);
        if (!ok) {
            error_ = QStringLiteral("Valore non valido per --markup-method: %1")
                         .arg(parser_.value(opt::markupMethod));
            return false;
        }
    }
    if (parser_.isSet(opt::quitAfter)) {
        bool ok = false;
        const int ms = parser_.value(opt::quitAfter).toInt(&ok);
        if (!ok || ms < 0) {
            error_ = QStringLiteral("Valore non valido per --quit-after: %1")
                         .arg(parser_.value(opt::quitAfter));
            return false;
        }
    }
    return true;
}

bool HostOptions::helpRequested() const {
    return parser_.isSet(QStringLiteral("help"));
}

QString HostOptions::helpText() const {
    return parser_.helpText();
}

HostSettings HostOptions::resolve(QSettings& file) const {
    HostSettings s;
    auto useDemoFile = [&s](const QString& sqliteFile) {
        s.demoDatabaseFile = QDir::cleanPath(QDir::current().absoluteFilePath(sqliteFile));
        s.connectionString = demo::demoConnectionString(s.demoDatabaseFile);
    };
    // The command line first, then the settings file, then the demo database.
    if (parser_.isSet(opt::connection))
        s.connectionString = parser_.value(opt::connection);
    else if (parser_.isSet(opt::database))
        useDemoFile(parser_.value(opt::database));
    else if (file.contains(connectionKey))
        s.connectionString = file.value(connectionKey).toString();
    else if (file.contains(databaseKey))
        useDemoFile(file.value(databaseKey).toString());
    else
        useDemoFile(demo::defaultDemoDatabasePath());

    s.companyCode = parser_.isSet(opt::company) ? parser_.value(opt::company)
                                                : file.value(companyKey, defaultCompany).toString();
    // A whole number goes to SQL as written ("007" as 7); anything else is left for the
    // program to refuse (companyCodeProblem).
    if (companyCodeProblem(s.companyCode).isEmpty())
        s.companyCode = QString::number(s.companyCode.trimmed().toInt());
    s.pluginFolder = parser_.isSet(opt::plugins)
                         ? parser_.value(opt::plugins)
                         : file.value(pluginsKey, defaultPluginFolder()).toString();
    s.called = parser_.isSet(opt::article);
    s.article = parser_.value(opt::article);
    s.modal = parser_.isSet(opt::modal);
    s.screenshotFile = parser_.value(opt::screenshot);
    s.quitAfterMs = parser_.isSet(opt::quitAfter) ? parser_.value(opt::quitAfter).toInt() : -1;
    s.markupMethod = parser_.isSet(opt::markupMethod) ? parser_.value(opt::markupMethod).toInt()
                                                      : file.value(markupMethodKey, 0).toInt();
    return s;
}

QString settingsFilePath() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("prezzolampo"),
                     QStringLiteral("prezzolampo"))
        .fileName();
}

void saveMarkupMethod(QSettings& file, int method) {
    file.setValue(markupMethodKey, method);
    file.sync();
}

QByteArray savedFrameGeometry(QSettings& file) {
    return file.value(frameGeometryKey).toByteArray();
}

void saveFrameGeometry(QSettings& file, const QByteArray& geometry) {
    file.setValue(frameGeometryKey, geometry);
    file.sync();
}

QString defaultPluginFolder() {
    return QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                               .absoluteFilePath(QStringLiteral(PREZZOLAMPO_RELATIVE_PLUGIN_DIR)));
}

QString userDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}
