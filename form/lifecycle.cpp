// The window's life: initialise, load, activation, status hand-over, closing, the common
// error routine and the trace lines.
#include "form/frmmg_prezzolampo.h"
#include "host/contract/cinterface.h"
#include "host/controls/field_controls.h"
#include "host/controls/krx_qgrid.h"
#include "host/controls/window_controls.h"
#include "host/data/connection.h"
#include "host/data/recordset.h"
#include "host/services/article_lookup.h"
#include "host/services/connection_factory.h"
#include "host/services/global_services.h"
#include "host/services/log_service.h"
#include "host/services/navigator.h"
#include "host/services/net_price_calculator.h"
#include "host/services/number_formatter.h"
#include "host/services/recordset_supplier.h"
#include "host/services/rounding_service.h"
#include "host/window/window_support.h"
#include "runtime/conversions.h"
#include "storage/form_utilities.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <utility>

namespace {

const QString TraceProject = QStringLiteral("RIDE_PREZZOLAMPO");
const QString TraceObject = QStringLiteral("FRMMG_PREZZOLAMPO");

// The window's placement when it is shown modal or hosted (twips).
constexpr int DefaultPosition = 10;
constexpr int PlacedWidth = 11975;
constexpr int PlacedHeight = 7260;
// Abort, retry and ignore; critical icon; second button default; system-modal.
constexpr int ErrorReportStyle =
    host::vbAbortRetryIgnore | host::vbCritical | host::vbDefaultButton2 | host::vbSystemModal;
// Why the window closes: the close box or the program.
constexpr int UnloadByCloseBox = 0;
constexpr int UnloadByProgram = 1;
constexpr int ErrCannotCreateObject = 429;
constexpr int ErrInvalidPropertyValue = 380;

void trace(const QString& instanceId, const QString& phase) {
    host::OutputDebugString(
        QStringLiteral("QVMA:|%1|%2|%3|%4").arg(instanceId, phase, TraceProject, TraceObject));
}

// A member call on no object is run-time error 91, as in every other procedure.
template <class T> T& need(const std::shared_ptr<T>& object) {
    if (!object)
        throw rt::Error::objectNotSet();
    return *object;
}

// A host object made by the host's factory; error 429 when the host cannot make it.
template <class T>
std::shared_ptr<T> makeHostObject(const std::function<std::shared_ptr<T>()>& make) {
    std::shared_ptr<T> object = make ? make() : nullptr;
    if (!object)
        throw rt::Error(ErrCannotCreateObject, QStringLiteral("Impossibile creare l'oggetto."));
    return object;
}

// The title of the error reports: the host's, or the program's name without global services.
QString applicationTitle(const std::shared_ptr<host::Cinterface>& contract) {
    const std::shared_ptr<host::GlobalServices> global = contract ? contract->ClsGlobal() : nullptr;
    return global ? global->applicationTitle() : QCoreApplication::applicationName();
}

// The contract's Left or Top, or the default position when it is 0.
int positionOr10(const rt::Variant& value) {
    const std::int32_t v = rt::CLng(value);
    return v == 0 ? DefaultPosition : v;
}

} // namespace

// ---- Form_Initialize / Form_Terminate ----

FRMMG_PREZZOLAMPO::FRMMG_PREZZOLAMPO(QWidget* parent) : QWidget(parent) {
    buildLayout();
    connectHandlers();
    trace(rt::CStr(GetInstanceId()), QStringLiteral("INI"));
}

FRMMG_PREZZOLAMPO::~FRMMG_PREZZOLAMPO() {
    trace(rt::CStr(GetInstanceId()), QStringLiteral("TER"));
}

rt::Variant FRMMG_PREZZOLAMPO::GetInstanceId() {
    if (Gstr_InstanceId.isEmpty())
        Gstr_InstanceId = GetGuidString();
    return rt::Variant(Gstr_InstanceId);
}

QString FRMMG_PREZZOLAMPO::GetGuidString() {
    return host::createGuidString();
}

// ---- What the plug-in class calls ----

void FRMMG_PREZZOLAMPO::ensureLoaded() {
    if (loaded_ || unloaded_)
        return;
    loaded_ = true;
    loading_ = true;
    Form_Load();
    loading_ = false;
    // A close asked for while the load ran (its pending events let the host close) is carried
    // out now, before the window is shown.
    if (const std::optional<int> mode = std::exchange(unloadAfterLoad_, std::nullopt))
        unloadWith(*mode);
}

void FRMMG_PREZZOLAMPO::setWindowStateValue(std::int32_t state) {
    ensureLoaded();
    switch (state) {
    case 0:
        setWindowState(Qt::WindowNoState);
        break;
    case 1:
        setWindowState(Qt::WindowMinimized);
        break;
    case 2:
        setWindowState(Qt::WindowMaximized);
        break;
    default:
        throw rt::Error(ErrInvalidPropertyValue, QStringLiteral("Valore di proprietà non valido."));
    }
}

void FRMMG_PREZZOLAMPO::showForm(bool modal) {
    ensureLoaded();
    if (unloaded_)
        return;
    if (!modal) {
        // The global services come from the contract: the window never sets Gcls_Global.
        std::shared_ptr<host::GlobalServices> global =
            ActiveInterface ? ActiveInterface->ClsGlobal() : nullptr;
        if (global && global->presentWindow)
            global->presentWindow(this);
        else
            show();
        return;
    }
    setWindowModality(Qt::ApplicationModal);
    show();
    // The window may be deleted while its events run: watch it through a guard.
    QPointer<FRMMG_PREZZOLAMPO> self(this);
    QEventLoop loop;
    while (self && !self->unloaded_)
        loop.processEvents(QEventLoop::WaitForMoreEvents);
}

bool FRMMG_PREZZOLAMPO::unloadForm() {
    return unloadWith(UnloadByProgram);
}

bool FRMMG_PREZZOLAMPO::unloadWith(int unloadMode) {
    if (unloaded_)
        return true;
    if (unloading_)
        return false; // a close requested while closing: the first one decides
    if (loading_) {
        unloadAfterLoad_ = unloadMode; // the unload would meet objects the load is making
        return false;
    }
    unloading_ = true;
    bool cancel = false;
    if (loaded_) {
        // A price still being typed is stored before anything of the window goes.
        for (host::KRX_QGRID* grid : {GRD_LISACQ, GRD_LISVEN})
            if (grid != nullptr)
                grid->commitOpenEdit();
        Form_QueryUnload(cancel, unloadMode);
        if (!cancel)
            Form_Unload(cancel);
    } else {
        ActiveClass.reset();
        ActiveInterface.reset();
    }
    unloading_ = false;
    // An unload left half way (the user answered Interrompi to an error) keeps its contract:
    // the window stays open, and closing it again runs the unload again.
    if (cancel || ActiveInterface)
        return false;
    unloaded_ = true;
    loaded_ = false;
    active_ = false;
    hide();
    deleteLater();
    return true;
}

// ---- Window events ----

void FRMMG_PREZZOLAMPO::Form_Load() {
    Procedure p(*this, QStringLiteral("Form_Load"));
    // The global services as the contract holds them at each step.
    auto global = [this] { return need(ActiveInterface).ClsGlobal(); };

    // 1. A modal window is placed where the contract says, 10 twips in when it says 0.
    p([&] {
        if (need(ActiveInterface).WindowModal())
            host::placeInTwips(this, positionOr10(ActiveInterface->Left()),
                               positionOr10(ActiveInterface->Top()), PlacedWidth, PlacedHeight);
    });
    // 2.
    p([&] { FrmPrezzoLampo = this; });
    // 3.
    p([&] { Gstr_Connect = need(global()).connectionString(); });
    // 4. The window's own connection.
    bool newConnection = false;
    p([&] { newConnection = !Gcon_Connect; });
    if (newConnection) {
        p([&] { Gcls_Log = makeHostObject(need(global()).factory().logService); });
        p([&] { need(Gcls_Log).attach(ActiveInterface); });
        p([&] {
            if (!Gcls_Connect)
                Gcls_Connect =
                    std::make_shared<host::ConnectionFactory>(need(global()).factory().connection);
            Gcon_Connect = Gcls_Connect->newConnection();
        });
        p([&] { need(Gcon_Connect).ConnectionString = Gstr_Connect; });
        p([&] { need(Gcon_Connect).Open(QString(), QString(), QString()); });
        p([&] { need(ActiveInterface).setConnection(Gcon_Connect); });
    }
    // 5.
    p([&] { INITGRD_LISACQ(); });
    p([&] { INITGRD_LISVEN(); });
    // 6. Auxiliary host objects (the three last ones have no further use).
    p([&] { Gcls_NumberFormat = makeHostObject(need(global()).factory().numberFormatter); });
    p([&] { Gcls_ArticleLookup = makeHostObject(need(global()).factory().articleLookupProvider); });
    p([&] { Gcls_Aux1 = std::make_shared<rt::Object>(); });
    p([&] { Gcls_Aux2 = std::make_shared<rt::Object>(); });
    p([&] { Gcls_Aux3 = std::make_shared<rt::Object>(); });
    // 7.
    p([&] { Gstr_Ditta = need(global()).companyCode(); });
    // 8. The company's articles.
    p([&] {
        if (!Gcls_SupplierArticoli)
            Gcls_SupplierArticoli = makeHostObject(need(global()).factory().recordsetSupplier);
        Rst_Articoli = Gcls_SupplierArticoli->newRecordset();
    });
    p([&] {
        Gstr_SqlArticoli =
            QStringLiteral("SELECT MG66_CODART FROM MG66_ANAGRART WHERE MG66_DITTA_CG18 = ") +
            Gstr_Ditta;
    });
    p([&] { need(Rst_Articoli).Open(Gstr_SqlArticoli, need(Gcon_Connect)); });
    // 9. The header data frame, which may hand back other contract, connection and articles.
    p([&] {
        FME_TESTATA = std::make_shared<host::HeaderFrame>();
        connect(FME_TESTATA.get(), &host::HeaderFrame::ChangeStatus, this,
                &FRMMG_PREZZOLAMPO::FME_TESTATA_ChangeStatus);
    });
    p([&] {
        need(FME_TESTATA)
            .init(ActiveInterface, Gcon_Connect, Rst_Articoli, Gstr_SqlArticoli, QString(), nullptr,
                  nullptr);
    });
    p([&] { need(FME_TESTATA).registerField(TXT_CODART, nullptr); });
    p([&] { need(FME_TESTATA).registerField(TXT_OPZIONE, nullptr); });
    p([&] { need(FME_TESTATA).registerField(TXT_CODART); });
    p([&] { need(FME_TESTATA).registerField(TXT_OPZIONE); });
    p([&] { need(FME_TESTATA).setOption(true); });
    // 10. The article and option fields.
    p([&] { TXT_CODART->init(ActiveInterface, Gcon_Connect, Gstr_Ditta); });
    p([&] { TXT_CODART->setDecoding(true); });
    p([&] { TXT_OPZIONE->init(ActiveInterface, Gstr_Ditta, Gcon_Connect, Gstr_Connect); });
    // 11. The date combos, shown by the header when a date comes from the configuration.
    for (host::KRX_COMBO* combo : {CBO_DADATA_ACQ, CBO_ADATA_ACQ, CBO_DADATA_VEN, CBO_ADATA_VEN}) {
        p([&] { combo->addItemAt(QStringLiteral("Da Configurazione"), 0); });
        // Its text set to 0 is its item 0: the combo shows "Da Configurazione".
        p([&] { combo->setCurrentIndex(0); });
        p([&] { combo->bringToFront(); });
    }
    // 12.
    p([&] { Reinizializza(); });
    // 13. Net prices and rounding.
    p([&] { Gcls_NetPrice = makeHostObject(need(global()).factory().netPriceCalculator); });
    p([&] { need(Gcls_NetPrice).attachContext(global()); });
    p([&] { Gcls_Rounding = makeHostObject(need(global()).factory().roundingService); });
    p([&] {
        need(Gcls_Rounding).attach(ActiveInterface);
        Gcls_Rounding->setConnection(Gcon_Connect);
    });
    // 14. Without parameters for quick creation the window stays busy and closes when shown.
    p([&] {
        setUpAtLoad_ = SetupGrids();
        Gbol_Busy = !setUpAtLoad_;
    });
}

void FRMMG_PREZZOLAMPO::MDIActiveX1_FormLoad() {
    Procedure p(*this, QStringLiteral("MDIActiveX1_FormLoad"));
    p([&] {
        MDIActiveX1->place(positionOr10(need(ActiveInterface).Left()),
                           positionOr10(ActiveInterface->Top()), PlacedWidth, PlacedHeight);
    });
}

void FRMMG_PREZZOLAMPO::Form_Activate() {
    Procedure p(*this, QStringLiteral("Form_Activate"));
    // 1. A window that could not be set up closes as soon as it is shown. A window busy with
    // its own work (activated again as a dialog of that work closes) lets the work go on.
    bool busy = false;
    p([&] { busy = Gbol_Busy; });
    if (busy && !setUpAtLoad_)
        p([&] { unloadForm(); });
    if (busy || p.left())
        return;
    // 2.-3.
    p([&] { need(ActiveInterface).setActiveFrame(FME_TESTATA); });
    p([&] { Status(); });
    // 4. First activation only.
    bool first = false;
    p([&] { first = !Gbol_Activated; });
    if (!first)
        return;
    p([&] { Gbol_Activated = true; });
    p([&] { TXT_CODART->setOptionField(TXT_OPZIONE); });
    bool called = false;
    p([&] { called = need(ActiveInterface).IsCalled(); });
    if (called) {
        QString code;
        p([&] { code = NzStr(need(ActiveClass).CodiceArticolo()); });
        if (!code.isEmpty())
            enterCalledArticle(p, code);
    } else {
        p([&] {
            if (TXT_CODART->isEnabled())
                TXT_CODART->setFocus();
        });
    }
    p([&] { need(need(ActiveInterface).ActiveNavigator()).activated(); });
    p([&] { ExecuteFormEvent(rt::Variant("tsOpen")); });
    p([&] { RESIZEFORM->start(); });
    p([&] {
        need(need(ActiveInterface).ClsGlobal()).setApplication(QCoreApplication::instance());
    });
    p([&] {
        if (Gbol_Busy && !setUpAtLoad_)
            unloadForm();
    });
}

void FRMMG_PREZZOLAMPO::RESIZEFORM_Setup() {
    RESIZEFORM->addControl(QStringLiteral("GRB_DETAILACQ"), 15);
    RESIZEFORM->addControl(QStringLiteral("CMD_RICALCOLATUTTI"), 12);
    RESIZEFORM->addControl(QStringLiteral("CMD_NUOVO"), 12);
    // The rest follows so that both groups grow with the window: the header and both grids
    // take the added width; the purchase group takes the upper half of the added height with
    // its grid (its bottom moves by half), the sales group and grid the lower half, and the
    // sales dates move down with the sales group's top. What lies below it moves down.
    constexpr double PurchaseShare = 0.5;
    RESIZEFORM->addSharedControl(QStringLiteral("GRB_DETAILACQ"), 15, 0, PurchaseShare);
    RESIZEFORM->addSharedControl(QStringLiteral("GRD_LISACQ"), 15, 0, PurchaseShare);
    RESIZEFORM->addControl(QStringLiteral("GRB_HEAD"), 7);
    for (const char* name : {"GRB_DETAILVEN", "GRD_LISVEN"})
        RESIZEFORM->addSharedControl(QString::fromLatin1(name), 15, PurchaseShare, 1);
    for (const char* name : {"TXT_DADATA_VEN_LBL", "TXT_ADATA_VEN_LBL", "TXT_DADATA_VEN",
                             "TXT_ADATA_VEN", "CBO_DADATA_VEN", "CBO_ADATA_VEN"})
        RESIZEFORM->addSharedControl(QString::fromLatin1(name), 0, PurchaseShare, PurchaseShare);
    for (const char* name : {"TXT_DESCLISTINO_LBL", "TXT_DESCLISTINO"})
        RESIZEFORM->addControl(QString::fromLatin1(name), 8);
}

rt::Variant FRMMG_PREZZOLAMPO::Status() {
    Procedure p = Procedure::ignoringErrors(QStringLiteral("Status"));
    p([&] {
        need(need(ActiveInterface).ClsGlobal()).setApplication(QCoreApplication::instance());
    });
    p([&] { need(need(ActiveInterface).ClsGlobal()).setCurrentContract(ActiveInterface); });
    p([&] {
        if (std::shared_ptr<host::HeaderFrame> frame = need(ActiveInterface).ActiveFrame())
            need(ActiveInterface->ActiveNavigator())
                .setStatus(rt::CInt(rt::Variant(static_cast<std::int32_t>(frame->Status()))));
    });
    p([&] { need(need(ActiveInterface).ActiveNavigator()).refresh(); });
    return {};
}

rt::Variant FRMMG_PREZZOLAMPO::ExecuteFormEvent(const rt::Variant& eventName) {
    Procedure p(*this, QStringLiteral("ExecuteFormEvent"));
    const QString event =
        eventName.type() == rt::VarType::String ? eventName.asString() : QString();
    const bool open = event == QLatin1String("tsOpen");
    if (!open && event != QLatin1String("tsClose"))
        return {};
    if (open)
        p([&] { need(need(ActiveInterface).ActiveNavigator()).formOpened(); });
    std::shared_ptr<host::ScriptObjectModel> script;
    p([&] { script = need(need(ActiveInterface).ActiveNavigator()).scriptModel(); });
    p([&] {
        if (script)
            script->executeFormEvent(objectName(), 0, open ? 1 : 0, rt::Variant(objectName()));
    });
    return {};
}

void FRMMG_PREZZOLAMPO::Form_QueryUnload(bool& cancel, int /*unloadMode*/) {
    Procedure p(*this, QStringLiteral("Form_QueryUnload"));
    p([&] { Status(); });
    p([&] {
        if (!cancel)
            ExecuteFormEvent(rt::Variant("tsClose"));
    });
}

void FRMMG_PREZZOLAMPO::Form_Unload(bool& /*cancel*/) {
    Procedure p(*this, QStringLiteral("Form_Unload"));
    // The window's own objects are detached only when its load made them: a window whose load
    // failed early still closes without questions. The host's objects are required as ever.
    // 1.
    p([&] { Gcls_NetPrice.reset(); });
    p([&] {
        if (Gcls_Rounding)
            Gcls_Rounding->attach(nullptr);
    });
    p([&] { Gcls_Rounding.reset(); });
    // 2.
    p([&] { need(need(ActiveInterface).ClsGlobal()).closing(ActiveInterface); });
    // 3. The script model learns which menu entry closed.
    QString menuText;
    p([&] { menuText = need(need(ActiveInterface).ClsVoceMenu()).text(); });
    p([&] {
        host::Navigator& navigator = need(need(ActiveInterface).ActiveNavigator());
        if (std::shared_ptr<host::ScriptObjectModel> script = navigator.scriptModel()) {
            script->closing(menuText);
            navigator.clearModels();
        }
    });
    // 4.
    p([&] { GRD_LISACQ->cleanup(); });
    p([&] { GRD_LISVEN->cleanup(); });
    // 5.
    p([&] {
        if (FME_TESTATA)
            FME_TESTATA->end();
    });
    p([&] {
        if (FME_TESTATA)
            FME_TESTATA->disconnect(this);
        FME_TESTATA.reset();
    });
    // 6.
    p([&] { need(ActiveInterface).setConnection(nullptr); });
    p([&] { need(need(ActiveInterface).ClsGlobal()).clearContractReferences(); });
    // 7.
    p([&] {
        Gcls_SupplierArticoli.reset();
        Gcls_SupplierLISACQ.reset();
        Gcls_SupplierLISVEN.reset();
        Gcls_Connect.reset();
    });
    p([&] {
        if (Gcls_Log)
            Gcls_Log->attach(nullptr);
    });
    p([&] { Gcls_Log.reset(); });
    // 8. The working tables are temporary tables of this connection and end with it.
    p([&] {
        if (Gcon_Connect)
            Gcon_Connect->Close();
    });
    p([&] { Gcon_Connect.reset(); });
    // 9. The parameter sets go with the other recordsets.
    p([&] {
        Gcls_NumberFormat.reset();
        Gcls_ArticleLookup.reset();
        Gcls_Aux1.reset();
        Gcls_Aux2.reset();
        Gcls_Aux3.reset();
        Rst_Articoli.reset();
        Rst_RecSet_LISACQ.reset();
        Rst_RecSet_LISVEN.reset();
        Rst_ParametriACQ.reset();
        Rst_ParametriVEN.reset();
        Gcls_Global.reset();
    });
    // 10.
    p([&] { need(ActiveInterface).setActiveDll(nullptr); });
    // 11. CloseForm reads ActiveInterface afterwards: empty means the window closed.
    p([&] {
        ActiveClass.reset();
        ActiveInterface.reset();
        FrmPrezzoLampo = nullptr;
    });
}

void FRMMG_PREZZOLAMPO::CMD_NUOVO_ButtonClick() {
    Procedure p(*this, QStringLiteral("CMD_NUOVO_ButtonClick"));
    p([&] { Reinizializza(); });
}

// ---- The common error routine ----

std::int32_t FRMMG_PREZZOLAMPO::GestisciErrore(const QString& procedure) {
    host::LogService& log = need(Gcls_Log);
    log.setError(Err.value_or(rt::Error(0, QString())));
    if (Gcon_Connect)
        log.setConnectionErrors(Gcon_Connect->Errors());
    return log.reportError(applicationTitle(ActiveInterface), windowTitle(), procedure,
                           ErrorReportStyle);
}

int FRMMG_PREZZOLAMPO::reportProcedureError(const QString& procedure, const rt::Error& error) {
    Err = error;
    // Never silent: what the window's own log service cannot report goes to the host's log
    // service of last resort and to standard error.
    QString failure;
    if (Gcls_Log) {
        try {
            return GestisciErrore(procedure);
        } catch (const std::exception& e) {
            failure = QString::fromUtf8(e.what());
        }
    }
    QList<host::DbError> dbErrors;
    if (Gcon_Connect)
        dbErrors = Gcon_Connect->Errors();
    return host::reportUnheardError(applicationTitle(ActiveInterface), windowTitle(), procedure,
                                    error, dbErrors, failure, ErrorReportStyle);
}

// ---- Qt events that drive the window events ----

void FRMMG_PREZZOLAMPO::windowActivated() {
    if (!loaded_ || loading_ || unloaded_ || unloading_ || active_)
        return;
    active_ = true;
    Form_Activate();
}

void FRMMG_PREZZOLAMPO::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A window shown inside the host's frame is not always activated by the platform.
    QMetaObject::invokeMethod(this, &FRMMG_PREZZOLAMPO::windowActivated, Qt::QueuedConnection);
}

void FRMMG_PREZZOLAMPO::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow())
        windowActivated();
    else
        active_ = false;
}

bool FRMMG_PREZZOLAMPO::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WindowActivate)
        windowActivated();
    else if (event->type() == QEvent::WindowDeactivate)
        active_ = false;
    return handled;
}

void FRMMG_PREZZOLAMPO::closeEvent(QCloseEvent* event) {
    if (unloaded_ || unloadWith(UnloadByCloseBox))
        event->accept();
    else
        event->ignore();
}
