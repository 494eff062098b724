#pragma once
// Cinterface: the plug-in contract between the host program and a plug-in class. The host
// creates the class, fills these properties and calls ShowForm; CloseForm answers whether
// the window really closed.

#include "runtime/variant.h"

#include <QObject>
#include <QtPlugin>
#include <cstdint>
#include <memory>

class QStatusBar;

namespace host {

class Connection;
class GlobalServices;
class Navigator;
class HeaderFrame;

// The host's menu-entry object: only its text is read.
class MenuEntry : public rt::Object {
  public:
    explicit MenuEntry(QString text = {}) : text_(std::move(text)) {}
    QString text() const { return text_; }

  private:
    QString text_;
};

class Cinterface : public rt::Object {
  public:
    virtual std::shared_ptr<GlobalServices> ClsGlobal() const = 0;
    virtual void setClsGlobal(std::shared_ptr<GlobalServices> v) = 0;
    virtual std::shared_ptr<HeaderFrame> ActiveFrame() const = 0;
    virtual void setActiveFrame(std::shared_ptr<HeaderFrame> v) = 0;
    virtual std::shared_ptr<Navigator> ActiveNavigator() const = 0;
    virtual void setActiveNavigator(std::shared_ptr<Navigator> v) = 0;
    // The instance itself unless the host replaced it; empty once released.
    virtual std::shared_ptr<Cinterface> ActiveDll() const = 0;
    virtual void setActiveDll(std::shared_ptr<Cinterface> v) = 0;
    virtual QStatusBar* StatusBar() const = 0;
    virtual void setStatusBar(QStatusBar* v) = 0;

    virtual bool CanInsert() const = 0;
    virtual void setCanInsert(bool v) = 0;
    virtual bool CanDelete() const = 0;
    virtual void setCanDelete(bool v) = 0;
    virtual bool CanUpdate() const = 0;
    virtual void setCanUpdate(bool v) = 0;
    virtual bool CanQbe() const = 0;
    virtual void setCanQbe(bool v) = 0;
    virtual std::int32_t WindowState() const = 0;
    virtual void setWindowState(std::int32_t v) = 0;
    virtual bool WindowModal() const = 0;
    virtual void setWindowModal(bool v) = 0;
    virtual std::int32_t ProgramMode() const = 0;
    virtual void setProgramMode(std::int32_t v) = 0;
    virtual rt::Variant MenuModulo() const = 0;
    virtual void setMenuModulo(const rt::Variant& v) = 0;
    virtual rt::Variant MenuPadre() const = 0;
    virtual void setMenuPadre(const rt::Variant& v) = 0;
    virtual rt::Variant MenuProg() const = 0;
    virtual void setMenuProg(const rt::Variant& v) = 0;
    virtual rt::Variant Caption() const = 0;
    virtual void setCaption(const rt::Variant& v) = 0;
    virtual std::int32_t hwndParent() const = 0;
    virtual void sethwndParent(std::int32_t v) = 0;

    virtual rt::Variant ShowForm() = 0;
    virtual rt::Variant CloseForm() = 0;

    virtual std::shared_ptr<Connection> connection() const = 0;
    virtual void setConnection(std::shared_ptr<Connection> v) = 0;
    virtual std::shared_ptr<rt::Object> Cwindow() const = 0;
    virtual rt::Variant TransferData(const rt::Variant& data) = 0;
    virtual rt::Variant Top() const = 0;
    virtual void setTop(const rt::Variant& v) = 0;
    virtual rt::Variant Left() const = 0;
    virtual void setLeft(const rt::Variant& v) = 0;
    virtual std::shared_ptr<MenuEntry> ClsVoceMenu() const = 0;
    virtual void setClsVoceMenu(std::shared_ptr<MenuEntry> v) = 0;
    virtual bool IsActive() const = 0;
    virtual void setIsActive(bool v) = 0;
    virtual bool IsCalled() const = 0;
    virtual void setIsCalled(bool v) = 0;
    virtual rt::Variant Filtro() const = 0;
    virtual void setFiltro(const rt::Variant& v) = 0;
};

// What a plug-in library hands the host: the classes it can create, by name.
class PluginFactory {
  public:
    virtual ~PluginFactory() = default;
    virtual QStringList classNames() const = 0;
    virtual std::shared_ptr<Cinterface> create(const QString& className) = 0;
};

} // namespace host

#define PREZZOLAMPO_PLUGIN_FACTORY_IID "it.prezzolampo.host.PluginFactory/1.0"
Q_DECLARE_INTERFACE(host::PluginFactory, PREZZOLAMPO_PLUGIN_FACTORY_IID)
