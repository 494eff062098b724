#pragma once
// CLSMG_PREZZOLAMPO: the plug-in class of RIDE_PREZZOLAMPO. The host creates it, fills the
// properties of its contract Cinterface and calls ShowForm; the class creates the window
// FRMMG_PREZZOLAMPO and hands it the contract. It holds no business logic of its own.
//
// Every member runs with run-time errors ignored statement by statement: a value that cannot
// be converted leaves the stored one unchanged, a failing step of ShowForm is skipped.
//
// Always create it with create(): ActiveDll answers the instance itself through a weak
// reference, so the instance does not keep itself alive.

#include "form/frmmg_prezzolampo.h"
#include "form/plugin_class.h"
#include "host/contract/cinterface.h"
#include "runtime/variant.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStatusBar>
#include <QString>
#include <cstdint>
#include <memory>

namespace host {
class LayoutObjectModel;
class MediaLink;
class OfficeExport;
class ScriptObjectModel;
} // namespace host

class CLSMG_PREZZOLAMPO : public QObject,
                          public host::Cinterface,
                          public PluginClassInterface,
                          public std::enable_shared_from_this<CLSMG_PREZZOLAMPO> {
    Q_OBJECT
  public:
    static constexpr const char* ClassName = "CLSMG_PREZZOLAMPO";
    static constexpr const char* LibraryName = "RIDE_PREZZOLAMPO";

    static std::shared_ptr<CLSMG_PREZZOLAMPO> create();

    // Class_Initialize: writes the "INI" trace line.
    CLSMG_PREZZOLAMPO();
    // Class_Terminate: writes the "TER" trace line and releases the host objects.
    ~CLSMG_PREZZOLAMPO() override;
    CLSMG_PREZZOLAMPO(const CLSMG_PREZZOLAMPO&) = delete;
    CLSMG_PREZZOLAMPO& operator=(const CLSMG_PREZZOLAMPO&) = delete;

    // ---- The class's default interface ----
    rt::Variant CodiceArticolo() const override;
    void setCodiceArticolo(const rt::Variant& v) override;

    // ---- Cinterface ----
    std::shared_ptr<host::GlobalServices> ClsGlobal() const override { return clsGlobal_; }
    void setClsGlobal(std::shared_ptr<host::GlobalServices> v) override;
    std::shared_ptr<host::HeaderFrame> ActiveFrame() const override { return activeFrame_; }
    void setActiveFrame(std::shared_ptr<host::HeaderFrame> v) override;
    std::shared_ptr<host::Navigator> ActiveNavigator() const override { return activeNavigator_; }
    void setActiveNavigator(std::shared_ptr<host::Navigator> v) override;
    std::shared_ptr<host::Cinterface> ActiveDll() const override;
    void setActiveDll(std::shared_ptr<host::Cinterface> v) override;
    QStatusBar* StatusBar() const override { return statusBar_; }
    void setStatusBar(QStatusBar* v) override;

    bool CanInsert() const override { return canInsert_; }
    void setCanInsert(bool v) override { canInsert_ = v; }
    bool CanDelete() const override { return canDelete_; }
    void setCanDelete(bool v) override { canDelete_ = v; }
    bool CanUpdate() const override { return canUpdate_; }
    void setCanUpdate(bool v) override { canUpdate_ = v; }
    bool CanQbe() const override { return canQbe_; }
    void setCanQbe(bool v) override { canQbe_ = v; }
    std::int32_t WindowState() const override { return windowState_; }
    void setWindowState(std::int32_t v) override;
    bool WindowModal() const override { return windowModal_; }
    void setWindowModal(bool v) override { windowModal_ = v; }
    std::int32_t ProgramMode() const override { return programMode_; }
    void setProgramMode(std::int32_t v) override;
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
    void setConnection(std::shared_ptr<host::Connection> v) override;
    std::shared_ptr<rt::Object> Cwindow() const override { return Gobj_Window; }
    rt::Variant TransferData(const rt::Variant& data) override;
    rt::Variant Top() const override { return rt::Variant(top_); }
    void setTop(const rt::Variant& v) override;
    rt::Variant Left() const override { return rt::Variant(left_); }
    void setLeft(const rt::Variant& v) override;
    std::shared_ptr<host::MenuEntry> ClsVoceMenu() const override { return clsVoceMenu_; }
    void setClsVoceMenu(std::shared_ptr<host::MenuEntry> v) override;
    bool IsActive() const override { return isActive_; }
    void setIsActive(bool v) override { isActive_ = v; }
    bool IsCalled() const override { return isCalled_; }
    void setIsCalled(bool v) override { isCalled_ = v; }
    rt::Variant Filtro() const override { return filtro_; }
    void setFiltro(const rt::Variant& v) override { filtro_ = v; }

    // The window created by the last ShowForm (none before, or once it was destroyed).
    FRMMG_PREZZOLAMPO* FrmPrezzoLampo() const { return frmPrezzoLampo_.data(); }

    // The instance identifier of the trace lines, made on first use.
    rt::Variant GetInstanceId();
    // A new GUID as 32 upper-case hexadecimal digits; "" when none can be made.
    static QString GetGuidString();

    // ---- Navigator and media-link events (navigator_events.cpp) ----
    // Connected while ActiveNavigator is set; every argument by reference; errors ignored
    // statement by statement; none sets Cancel.
    void
    ActiveNavigator_BeforeExportToOffice(bool& Cancel,
                                         std::shared_ptr<host::OfficeExport>& Pcls_ExpToOffice);
    void ActiveNavigator_BeforeChangeDitta(bool& Cancel);
    void ActiveNavigator_ChangeDitta(bool& Cancel);
    void ActiveNavigator_InitializeLayoutObjectModel(
        bool& Cancel, std::shared_ptr<host::LayoutObjectModel>& ClsLayout);
    void ActiveNavigator_InitializeScriptObjectModel(
        bool& Cancel, std::shared_ptr<host::ScriptObjectModel>& ClsScript);
    void ActiveNavigator_ButtonPressed(bool& Cancel, std::int32_t& ButtonPress);
    void CHyperMedia_AfterMediaCreate(bool& Cancel, rt::Variant& CodiceMedia);

    // The media-link object, made at the first media request and kept until the class ends.
    std::shared_ptr<host::MediaLink> CHyperMedia;

  signals:
    // Raised synchronously by TransferData.
    void DataTransfer(const rt::Variant& data);

  private:
    void writeTrace(const QString& phase);
    void connectNavigatorEvents();
    void disconnectNavigatorEvents();
    void replaceForm(FRMMG_PREZZOLAMPO* form);
    // A window reference handed back by a model takes the place of the one held.
    void takeWindowBack(QWidget* window);
    // IsActive read through ActiveDll, as one statement of the calling handler (false when it
    // cannot be read).
    bool isActive(Procedure& p);
    // Button 25: the media link of the active frame's current row.
    void linkMedia();

    QString codiceArticolo_;
    QPointer<FRMMG_PREZZOLAMPO> frmPrezzoLampo_;
    // Windows of earlier ShowForm calls that were still open when replaced.
    QList<QPointer<FRMMG_PREZZOLAMPO>> releasedForms_;
    QString instanceId_;
    // Never assigned: the host window type's event sink that Cwindow answers.
    std::shared_ptr<rt::Object> Gobj_Window;

    std::shared_ptr<host::GlobalServices> clsGlobal_;
    std::shared_ptr<host::HeaderFrame> activeFrame_;
    std::shared_ptr<host::Navigator> activeNavigator_;
    QList<QMetaObject::Connection> navigatorConnections_;
    // ActiveDll: the instance itself (held weakly) until the host sets another object.
    bool activeDllIsSelf_ = true;
    std::shared_ptr<host::Cinterface> activeDll_;
    QPointer<QStatusBar> statusBar_;
    bool canInsert_ = false;
    bool canDelete_ = false;
    bool canUpdate_ = false;
    bool canQbe_ = false;
    std::int16_t windowState_ = 0;
    bool windowModal_ = false;
    std::int16_t programMode_ = 0;
    rt::Variant menuModulo_;
    rt::Variant menuPadre_;
    rt::Variant menuProg_;
    rt::Variant caption_;
    std::int32_t hwndParent_ = 0;
    std::shared_ptr<host::Connection> connection_;
    std::int32_t top_ = 0;
    std::int32_t left_ = 0;
    std::shared_ptr<host::MenuEntry> clsVoceMenu_;
    bool isActive_ = false;
    bool isCalled_ = false;
    rt::Variant filtro_;
};
