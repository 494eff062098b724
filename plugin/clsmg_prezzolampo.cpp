#include "plugin/clsmg_prezzolampo.h"

#include "form/frmmg_prezzolampo.h"
#include "form/procedure.h"
#include "host/services/global_services.h"
#include "host/services/navigator.h"
#include "host/window/window_support.h"
#include "runtime/conversions.h"
#include "runtime/errors.h"

namespace {

// The members of the class ignore run-time errors statement by statement.
Procedure ignoringErrors(const char* member) {
    return Procedure::ignoringErrors(QString::fromLatin1(member));
}

} // namespace

std::shared_ptr<CLSMG_PREZZOLAMPO> CLSMG_PREZZOLAMPO::create() {
    return std::make_shared<CLSMG_PREZZOLAMPO>();
}

CLSMG_PREZZOLAMPO::CLSMG_PREZZOLAMPO() {
    writeTrace(QStringLiteral("INI"));
    // ActiveDll starts as the instance itself (activeDllIsSelf_).
}

CLSMG_PREZZOLAMPO::~CLSMG_PREZZOLAMPO() {
    writeTrace(QStringLiteral("TER"));
    auto p = ignoringErrors("Class_Terminate");
    p([&] { clsVoceMenu_.reset(); });
    p([&] { clsGlobal_.reset(); });
    p([&] { Gobj_Window.reset(); });
    p([&] {
        disconnectNavigatorEvents();
        activeNavigator_.reset();
    });
    p([&] {
        activeDllIsSelf_ = false;
        activeDll_.reset();
    });
    // The windows end with the instance that created them.
    releasedForms_.append(frmPrezzoLampo_);
    for (const QPointer<FRMMG_PREZZOLAMPO>& form : std::as_const(releasedForms_))
        delete form.data();
}

void CLSMG_PREZZOLAMPO::writeTrace(const QString& phase) {
    const QString line = QStringLiteral("QVMA:|") + GetInstanceId().asString() + u'|' + phase +
                         u'|' + QLatin1String(LibraryName) + u'|' + QLatin1String(ClassName);
    host::OutputDebugString(line);
}

rt::Variant CLSMG_PREZZOLAMPO::GetInstanceId() {
    if (instanceId_.isEmpty())
        instanceId_ = GetGuidString();
    return rt::Variant(instanceId_);
}

QString CLSMG_PREZZOLAMPO::GetGuidString() {
    return host::createGuidString();
}

// ---- Default interface ----

rt::Variant CLSMG_PREZZOLAMPO::CodiceArticolo() const {
    return rt::Variant(codiceArticolo_);
}

void CLSMG_PREZZOLAMPO::setCodiceArticolo(const rt::Variant& v) {
    auto p = ignoringErrors("CodiceArticolo");
    p([&] { codiceArticolo_ = rt::CStr(v); });
}

// ---- Object references ----

void CLSMG_PREZZOLAMPO::setClsGlobal(std::shared_ptr<host::GlobalServices> v) {
    clsGlobal_ = std::move(v);
}

void CLSMG_PREZZOLAMPO::setActiveFrame(std::shared_ptr<host::HeaderFrame> v) {
    activeFrame_ = std::move(v);
}

void CLSMG_PREZZOLAMPO::setActiveNavigator(std::shared_ptr<host::Navigator> v) {
    auto p = ignoringErrors("ActiveNavigator");
    p([&] {
        disconnectNavigatorEvents();
        activeNavigator_ = std::move(v);
        connectNavigatorEvents();
    });
}

void CLSMG_PREZZOLAMPO::connectNavigatorEvents() {
    host::Navigator* navigator = activeNavigator_.get();
    if (!navigator)
        return;
    using N = host::Navigator;
    using C = CLSMG_PREZZOLAMPO;
    navigatorConnections_ = {
        connect(navigator, &N::BeforeExportToOffice, this,
                &C::ActiveNavigator_BeforeExportToOffice),
        connect(navigator, &N::BeforeChangeDitta, this, &C::ActiveNavigator_BeforeChangeDitta),
        connect(navigator, &N::ChangeDitta, this, &C::ActiveNavigator_ChangeDitta),
        connect(navigator, &N::ButtonPressed, this, &C::ActiveNavigator_ButtonPressed),
        connect(navigator, &N::InitializeLayoutObjectModel, this,
                &C::ActiveNavigator_InitializeLayoutObjectModel),
        connect(navigator, &N::InitializeScriptObjectModel, this,
                &C::ActiveNavigator_InitializeScriptObjectModel),
    };
}

void CLSMG_PREZZOLAMPO::disconnectNavigatorEvents() {
    for (const QMetaObject::Connection& c : std::as_const(navigatorConnections_))
        disconnect(c);
    navigatorConnections_.clear();
}

std::shared_ptr<host::Cinterface> CLSMG_PREZZOLAMPO::ActiveDll() const {
    if (activeDllIsSelf_)
        return std::const_pointer_cast<CLSMG_PREZZOLAMPO>(weak_from_this().lock());
    return activeDll_;
}

void CLSMG_PREZZOLAMPO::setActiveDll(std::shared_ptr<host::Cinterface> v) {
    // The instance itself is held weakly: a strong reference to itself would keep it alive.
    activeDllIsSelf_ = v.get() == static_cast<host::Cinterface*>(this);
    activeDll_ = activeDllIsSelf_ ? nullptr : std::move(v);
}

void CLSMG_PREZZOLAMPO::setStatusBar(QStatusBar* v) {
    statusBar_ = v;
}

void CLSMG_PREZZOLAMPO::setConnection(std::shared_ptr<host::Connection> v) {
    connection_ = std::move(v);
}

void CLSMG_PREZZOLAMPO::setClsVoceMenu(std::shared_ptr<host::MenuEntry> v) {
    clsVoceMenu_ = std::move(v);
}

// ---- Values stored with a conversion ----

void CLSMG_PREZZOLAMPO::setWindowState(std::int32_t v) {
    auto p = ignoringErrors("WindowState");
    p([&] { windowState_ = rt::CInt(rt::Variant(v)); });
}

void CLSMG_PREZZOLAMPO::setProgramMode(std::int32_t v) {
    auto p = ignoringErrors("ProgramMode");
    p([&] { programMode_ = rt::CInt(rt::Variant(v)); });
}

void CLSMG_PREZZOLAMPO::setTop(const rt::Variant& v) {
    auto p = ignoringErrors("Top");
    p([&] { top_ = rt::CLng(v); });
}

void CLSMG_PREZZOLAMPO::setLeft(const rt::Variant& v) {
    auto p = ignoringErrors("Left");
    p([&] { left_ = rt::CLng(v); });
}

// ---- Methods ----

void CLSMG_PREZZOLAMPO::replaceForm(FRMMG_PREZZOLAMPO* form) {
    FRMMG_PREZZOLAMPO* previous = frmPrezzoLampo_.data();
    frmPrezzoLampo_ = form;
    if (!previous)
        return;
    // A window that is still open lives on until the instance ends; a closed one goes now.
    if (previous->isLoaded() && !previous->isUnloaded())
        releasedForms_.append(previous);
    else
        delete previous;
}

rt::Variant CLSMG_PREZZOLAMPO::ShowForm() {
    // A modal window may release the host's last reference while it runs.
    const std::shared_ptr<CLSMG_PREZZOLAMPO> keepAlive = weak_from_this().lock();
    auto form = [this]() -> FRMMG_PREZZOLAMPO& {
        if (!frmPrezzoLampo_)
            throw rt::Error::objectNotSet();
        return *frmPrezzoLampo_;
    };
    auto p = ignoringErrors("ShowForm");
    p([&] { replaceForm(new FRMMG_PREZZOLAMPO()); });
    p([&] { form().ActiveInterface = ActiveDll(); });
    p([&] { form().ActiveClass = std::dynamic_pointer_cast<PluginClassInterface>(ActiveDll()); });
    // The first access to the window: its load runs here, after the two references are set.
    p([&] {
        form().ensureLoaded();
        form().setWindowStateValue(windowState_);
    });
    p([&] { form().setWindowTitle(rt::CStr(caption_)); });
    p([&] { form().showForm(windowModal_); });
    return {};
}

rt::Variant CLSMG_PREZZOLAMPO::CloseForm() {
    const std::shared_ptr<CLSMG_PREZZOLAMPO> keepAlive = weak_from_this().lock();
    bool result = false;
    auto p = ignoringErrors("CloseForm");
    p([&] {
        if (!frmPrezzoLampo_)
            throw rt::Error::objectNotSet();
        frmPrezzoLampo_->unloadForm();
    });
    // The window's unload clears its ActiveInterface as its last step. Without any window
    // the question itself fails, and the ignored error lets the answer be True.
    p([&] {
        if (!frmPrezzoLampo_ || !frmPrezzoLampo_->ActiveInterface)
            result = true;
    });
    return rt::Variant(result);
}

rt::Variant CLSMG_PREZZOLAMPO::TransferData(const rt::Variant& data) {
    auto p = ignoringErrors("TransferData");
    p([&] { emit DataTransfer(data); });
    return {};
}
