#pragma once
// Window scenarios on Qt's offscreen platform: the host's global services with a scripted log
// service on a demo database, the plug-in class CLSMG_PREZZOLAMPO filled as the host fills it,
// the trace lines, and the user's gestures (type and Enter, click).
//
//     testsupport::WindowDriver driver;          // demo database in a fresh SQLite file
//     driver.show();                             // ShowForm, then let the activation run
//     driver.typeAndEnter(driver.window()->TXT_CODART, "ART001");
//     EXPECT_TRUE(driver.close());               // CloseForm

#include "form/frmmg_prezzolampo.h"
#include "plugin/clsmg_prezzolampo.h"

#include <QDate>
#include <QStringList>
#include <memory>
#include <string>

class QAbstractButton;

namespace host {
class FieldControl;
class Navigator;
class ScriptObjectModel;
class LayoutObjectModel;
class ScriptedLogService;
} // namespace host

namespace testsupport {

struct WindowOptions {
    // The database the window opens; empty: the demo database in a fresh SQLite file.
    QString connectionString;
    // Fill the database with the demo company (schema and data) before the window opens.
    bool demoData = true;
    QDate today = QDate::currentDate();
    // The log service the window creates; empty: a new ScriptedLogService.
    std::shared_ptr<host::ScriptedLogService> log;
};

class WindowDriver {
  public:
    explicit WindowDriver(WindowOptions options = {});
    ~WindowDriver();
    WindowDriver(const WindowDriver&) = delete;
    WindowDriver& operator=(const WindowDriver&) = delete;

    QString connectionString;
    std::shared_ptr<host::GlobalServices> global;
    std::shared_ptr<host::ScriptedLogService> log; // the one the window's load creates
    std::shared_ptr<host::Navigator> navigator;
    std::shared_ptr<host::ScriptObjectModel> script;
    std::shared_ptr<host::LayoutObjectModel> layout;
    std::shared_ptr<CLSMG_PREZZOLAMPO> contract;
    QStringList trace;       // every line written to the debug-output channel
    int connectionsMade = 0; // connections the window asked the host for

    // ShowForm, then lets the window's first activation run (modeless contracts).
    void show();
    // CloseForm's answer; pending deletions run afterwards.
    bool close();
    FRMMG_PREZZOLAMPO* window() const { return contract ? contract->FrmPrezzoLampo() : nullptr; }

    // Lets pending events, queued calls and deferred deletions run.
    static void pump();
    // Types text into a field's editor and presses Enter.
    static void typeAndEnter(host::FieldControl* field, const QString& text);
    // The article typed, then the purchase period the demo's third purchase list asks for.
    static void openArticle(FRMMG_PREZZOLAMPO& w, const QString& article,
                            const QString& from = u"01012024"_qs,
                            const QString& to = u"31122024"_qs);
    static void click(QAbstractButton* button);

    // The procedures the window reported errors under; the texts of the messages shown; the
    // reports as text for a failure message.
    QStringList reportedProcedures() const;
    QStringList messageTexts() const;
    // The window's form events the script model was told: opened (1) or closed (0).
    int formEvents(int open) const;
    std::string reports() const;
};

} // namespace testsupport

// Passes when the window reported no error; otherwise shows the reports.
#define EXPECT_NO_REPORTS(driver) EXPECT_TRUE((driver).log->reports.isEmpty()) << (driver).reports()
