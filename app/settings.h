#pragma once
// The host program's settings: the database connection and the company, taken from the
// command line or from the user's settings file (~/.config/prezzolampo/prezzolampo.conf);
// without either, the demo SQLite database in the user's data folder.

#include <QCommandLineParser>
#include <QSettings>
#include <QString>
#include <QStringList>

struct HostSettings {
    QString connectionString;
    QString companyCode;
    // The SQLite file behind the connection when it is the demo's: created when missing.
    QString demoDatabaseFile;
    QString pluginFolder;
    // Called by another program: the article handed in.
    bool called = false;
    QString article;
    bool modal = false;
    // For tests: grab the main frame into this file once the window is shown.
    QString screenshotFile;
    // For tests: close the main frame after this many milliseconds (negative: never).
    int quitAfterMs = -1;
    // How a sales list's mark-up is read: 0 = added on cost, other = margin on the selling
    // price. The host's company parameter; the user changes it from the Impostazioni menu.
    int markupMethod = 0;
};

class HostOptions {
  public:
    HostOptions();

    // Parses the program's arguments (the program name first). False on a wrong option or
    // value, with errorText().
    bool parse(const QStringList& arguments);
    bool helpRequested() const;
    QString helpText() const;
    QString errorText() const { return error_; }

    // The options given, completed from the settings file and the defaults.
    HostSettings resolve(QSettings& file) const;

  private:
    QCommandLineParser parser_;
    QString error_;
};

// Why a company code cannot be used (it must be a whole number: it goes into every statement as
// written); empty when it can.
QString companyCodeProblem(const QString& code);
// The user's settings file of the host program.
QString settingsFilePath();
// Keeps the mark-up method in the settings file (the Impostazioni menu's choice).
void saveMarkupMethod(QSettings& file, int method);
// The main frame's size and place as it was last closed (empty: never closed yet).
QByteArray savedFrameGeometry(QSettings& file);
void saveFrameGeometry(QSettings& file, const QByteArray& geometry);
// The plug-in folder when none is given: next to the program, as the build lays it out.
QString defaultPluginFolder();
// The data folder of the user (log file, demo database).
QString userDataFolder();
