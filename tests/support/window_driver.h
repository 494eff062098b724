#pragma once
// Window scenarios on Qt's offscreen platform: the host's global services with a scripted log
// service on a demo database, a small plug-in contract that shows the window as the plug-in
// class does, the trace lines, and the user's gestures (type and Enter, click, read a cell).
//
//     testsupport::WindowDriver driver;          // demo database in a fresh SQLite file
//     driver.show();                             // ShowForm, then let the activation run
//     driver.typeAndEnter(driver.window()->TXT_CODART, "ART001");
//     EXPECT_EQ(driver.cell(driver.window()->GRD_LISVEN, 0, "LI10_PREZZO"), "12,500");
//     EXPECT_TRUE(driver.close());               // CloseForm

#include "form/frmmg_prezzolampo.h"
#include "host/contract/cinterface.h"

#include <QDate>
#include <QPointer>
#include <QStringList>
#include <memory>

class QAbstractButton;

namespace host {
class FieldControl;
class Navigator;
class ScriptObjectModel;
class LayoutObjectModel;
class ScriptedLogService;
} // namespace host

namespace testsupport {

// A plug-in contract for window tests: the Cinterface properties held as plain values, and
// ShowForm / CloseForm driving the window as the plug-in class does (errors ignored step by step).
class TestContract : public host::Cinterface,
                     public PluginClassInterface,
                     public std::enable_shared_from_this<TestContract> {
  public:
    std::shared_ptr<host::GlobalServices> ClsGlobal() const override { return global_; }
    void setClsGlobal(std::shared_ptr<host::GlobalServices> v) override { global_ = std::move(v); }
    std::shared_ptr<host::HeaderFrame> ActiveFrame() const override { return frame_; }
    void setActiveFrame(std::shared_ptr<host::HeaderFrame> v) override { frame_ = std::move(v); }
    std::shared_ptr<host::Navigator> ActiveNavigator() const override { return navigator_; }
    void setActiveNavigator(std::shared_ptr<host::Navigator> v) override {
        navigator_ = std::move(v);
    }
    // The contract itself until the window releases it (held weakly: no cycle).
    std::shared_ptr<host::Cinterface> ActiveDll() const override;
    void setActiveDll(std::shared_ptr<host::Cinterface> v) override;
    QStatusBar* StatusBar() const override { return statusBar_; }
    void setStatusBar(QStatusBar* v) override { statusBar_ = v; }

    bool CanInsert() const override { return canInsert_; }
    void setCanInsert(bool v) override { canInsert_ = v; }
    bool CanDelete() const override { return canDelete_; }
    void setCanDelete(bool v) override { canDelete_ = v; }
    bool CanUpdate() const override { return canUpdate_; }
    void setCanUpdate(bool v) override { canUpdate_ = v; }
    bool CanQbe() const override { return canQbe_; }
    void setCanQbe(bool v) override { canQbe_ = v; }
    std::int32_t WindowState() const override { return windowState_; }
    void setWindowState(std::int32_t v) override { windowState_ = v; }
    bool WindowModal() const override { return modal_; }
    void setWindowModal(bool v) override { modal_ = v; }
    std::int32_t ProgramMode() const override { return programMode_; }
    void setProgramMode(std::int32_t v) override { programMode_ = v; }
    rt::Variant MenuModulo() const override { return menuModulo_; }
    void setMenuModulo(const rt::Variant& v) override { menuModulo_ = v; }
    rt::Variant MenuPadre() const override { return menuPadre_; }
    void setMenuPadre(const rt::Variant& v) override { menuPadre_ = v; }
    rt::Variant MenuProg() const override { return menuProg_; }
    void setMenuProg(const rt::Variant& v) override { menuProg_ = v; }
    rt::Variant Caption() const override { return caption_; }
    void setCaption(const rt::Variant& v) override { caption_ = v; }
    std::int32_t hwndParent() const override { return hwndParent_; }
    void sethwndParent(std::int32_t v) override { hwndParent_ = v; }

    rt::Variant ShowForm() override;
    rt::Variant CloseForm() override;

    std::shared_ptr<host::Connection> connection() const override { return connection_; }
    void setConnection(std::shared_ptr<host::Connection> v) override { connection_ = std::move(v); }
    std::shared_ptr<rt::Object> Cwindow() const override { return nullptr; }
    rt::Variant TransferData(const rt::Variant&) override { return {}; }
    rt::Variant Top() const override { return top_; }
    void setTop(const rt::Variant& v) override { top_ = v; }
    rt::Variant Left() const override { return left_; }
    void setLeft(const rt::Variant& v) override { left_ = v; }
    std::shared_ptr<host::MenuEntry> ClsVoceMenu() const override { return menuEntry_; }
    void setClsVoceMenu(std::shared_ptr<host::MenuEntry> v) override { menuEntry_ = std::move(v); }
    bool IsActive() const override { return isActive_; }
    void setIsActive(bool v) override { isActive_ = v; }
    bool IsCalled() const override { return isCalled_; }
    void setIsCalled(bool v) override { isCalled_ = v; }
    rt::Variant Filtro() const override { return filtro_; }
    void setFiltro(const rt::Variant& v) override { filtro_ = v; }

    rt::Variant CodiceArticolo() const override { return rt::Variant(codiceArticolo_); }
    void setCodiceArticolo(const rt::Variant& v) override;

    // The window of the last ShowForm, while it exists.
    QPointer<FRMMG_PREZZOLAMPO> window;

  private:
    std::shared_ptr<host::GlobalServices> global_;
    std::shared_ptr<host::HeaderFrame> frame_;
    std::shared_ptr<host::Navigator> navigator_;
    std::shared_ptr<host::Cinterface> otherDll_;
    bool dllIsSelf_ = true;
    QStatusBar* statusBar_ = nullptr;
    bool canInsert_ = false, canDelete_ = false, canUpdate_ = false, canQbe_ = false;
    std::int32_t windowState_ = 0;
    bool modal_ = false;
    std::int32_t programMode_ = 0;
    rt::Variant menuModulo_, menuPadre_, menuProg_, caption_, filtro_;
    std::int32_t hwndParent_ = 0;
    std::shared_ptr<host::Connection> connection_;
    rt::Variant top_ = rt::Variant(std::int32_t{0});
    rt::Variant left_ = rt::Variant(std::int32_t{0});
    std::shared_ptr<host::MenuEntry> menuEntry_;
    bool isActive_ = false;
    bool isCalled_ = false;
    QString codiceArticolo_;
};

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
    std::shared_ptr<TestContract> contract;
    QStringList trace;       // every line written to the debug-output channel
    int connectionsMade = 0; // connections the window asked the host for

    // ShowForm, then lets the window's first activation run (modeless contracts).
    void show();
    // CloseForm's answer; pending deletions run afterwards.
    bool close();
    FRMMG_PREZZOLAMPO* window() const { return contract->window.data(); }

    // Lets pending events, queued calls and deferred deletions run.
    static void pump();
    // Types text into a field's editor and presses Enter.
    static void typeAndEnter(host::FieldControl* field, const QString& text);
    static void pressKey(QWidget* widget, Qt::Key key);
    static void click(QAbstractButton* button);
    // The text a grid cell shows.
    static QString cell(const host::KRX_QGRID* grid, int row, const QString& key);

    // The trace lines of an object ("FRMMG_PREZZOLAMPO"), and the identifier of a line.
    QStringList traceLinesOf(const QString& object) const;
    static QString traceInstanceId(const QString& line);
};

} // namespace testsupport
