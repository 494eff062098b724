// prezzolampo-demo: creates the demo company database on first run and prints what it holds.
//
//   prezzolampo-demo [--database FILE | --connection STRING] [--recreate]
//   prezzolampo-demo --print-schema sqlite|postgresql|sqlserver
#include "db/demo_database.h"
#include "db/schema.h"
#include "runtime/errors.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

struct Options {
    QString connectionString;
    QString sqliteFile; // empty when a connection string was given
    bool recreate = false;
    QString printSchema;
};

Options parseOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Crea il database dimostrativo di prezzolampo e ne riassume il contenuto."));
    parser.addHelpOption();
    const QCommandLineOption database(QStringLiteral("database"),
                                      QStringLiteral("File SQLite del database dimostrativo."),
                                      QStringLiteral("file"));
    const QCommandLineOption connection(
        QStringLiteral("connection"),
        QStringLiteral("Stringa di connessione (Provider=SQLite;... o Provider=PostgreSQL;...)."),
        QStringLiteral("stringa"));
    const QCommandLineOption recreate(QStringLiteral("recreate"),
                                      QStringLiteral("Ricrea il database anche se esiste."));
    const QCommandLineOption printSchema(
        QStringLiteral("print-schema"),
        QStringLiteral("Stampa lo schema nel dialetto indicato (sqlite, postgresql, sqlserver)."),
        QStringLiteral("dialetto"));
    parser.addOptions({database, connection, recreate, printSchema});
    parser.process(app);

    Options options;
    options.recreate = parser.isSet(recreate);
    options.printSchema = parser.value(printSchema);
    if (parser.isSet(connection)) {
        options.connectionString = parser.value(connection);
    } else {
        options.sqliteFile =
            parser.isSet(database) ? parser.value(database) : demo::defaultDemoDatabasePath();
        options.connectionString = demo::demoConnectionString(options.sqliteFile);
    }
    return options;
}

int printSchema(const QString& dialectName) {
    const auto dialect = demo::dialectFromName(dialectName);
    if (!dialect) {
        QTextStream(stderr) << "Dialetto sconosciuto: " << dialectName
                            << " (sqlite, postgresql, sqlserver)\n";
        return 2;
    }
    QTextStream(stdout) << demo::schemaScript(*dialect);
    return 0;
}

int run(const Options& options) {
    QTextStream out(stdout);
    if (!options.sqliteFile.isEmpty())
        QDir().mkpath(QFileInfo(options.sqliteFile).absolutePath());
    host::Connection connection;
    connection.Open(options.connectionString);
    if (options.recreate || !demo::hasDemoDatabase(connection)) {
        demo::createDemoDatabase(connection, QDate::currentDate());
        out << "Database dimostrativo creato.\n";
    }
    out << "Database: "
        << (options.sqliteFile.isEmpty() ? options.connectionString : options.sqliteFile) << "\n";
    out << demo::demoSummary(connection);
    connection.Close();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("prezzolampo"));
    const Options options = parseOptions(app);
    if (!options.printSchema.isEmpty())
        return printSchema(options.printSchema);
    try {
        return run(options);
    } catch (const rt::Error& e) {
        QTextStream(stderr) << "Errore " << e.number() << ": " << e.description() << "\n";
        return 1;
    }
}
