// Events of the host navigator, received while ActiveNavigator is set, and of the media-link
// object. Like every member of the class they ignore run-time errors statement by statement;
// none of them sets Cancel.
#include "form/required_object.h"
#include "host/controls/window_controls.h"
#include "host/data/recordset.h"
#include "host/services/global_services.h"
#include "host/services/log_service.h"
#include "host/services/media_link.h"
#include "host/services/navigator.h"
#include "plugin/clsmg_prezzolampo.h"
#include "runtime/conversions.h"

namespace {

constexpr std::int32_t MultimediaButton = 25;
constexpr int MessageInformation = 64; // information icon, OK button
constexpr int FrameHeaderOnly = 2;
constexpr int FrameInsertion = 0;
const QString MediaColumn = QStringLiteral("LI10_IDMEDIA_CG99");

Procedure ignoringErrors(const char* member) {
    return Procedure::ignoringErrors(QString::fromLatin1(member));
}

} // namespace

bool CLSMG_PREZZOLAMPO::isActive(Procedure& p) {
    bool active = false;
    p([&] { active = objectOf(ActiveDll()).IsActive(); });
    return active;
}

void CLSMG_PREZZOLAMPO::ActiveNavigator_BeforeExportToOffice(
    bool& /*Cancel*/, std::shared_ptr<host::OfficeExport>& /*Pcls_ExpToOffice*/) {
    // No action: the export goes on.
}

void CLSMG_PREZZOLAMPO::ActiveNavigator_BeforeChangeDitta(bool& /*Cancel*/) {
    // No action.
}

void CLSMG_PREZZOLAMPO::ActiveNavigator_ChangeDitta(bool& /*Cancel*/) {
    // No action: the window goes on with the company it loaded.
}

void CLSMG_PREZZOLAMPO::takeWindowBack(QWidget* window) {
    auto* form = qobject_cast<FRMMG_PREZZOLAMPO*>(window);
    if (form == frmPrezzoLampo_.data())
        return;
    if (frmPrezzoLampo_)
        releasedForms_.append(frmPrezzoLampo_); // still ends with the instance
    frmPrezzoLampo_ = form;
}

void CLSMG_PREZZOLAMPO::ActiveNavigator_InitializeLayoutObjectModel(
    bool& /*Cancel*/, std::shared_ptr<host::LayoutObjectModel>& ClsLayout) {
    auto p = ignoringErrors("ActiveNavigator_InitializeLayoutObjectModel");
    const bool active = isActive(p);
    if (!active)
        return;
    p([&] {
        QWidget* window = &objectOf(frmPrezzoLampo_.data());
        objectOf(ClsLayout).registerWindow(QStringLiteral("Creazione Veloce Listini Anagrafici"),
                                           window, 0, 0, 0);
        takeWindowBack(window);
    });
    p([&] {
        ClsLayout->registerGrid(&objectOf(objectOf(frmPrezzoLampo_.data()).GRD_LISACQ),
                                QStringLiteral("Griglia Listini di Acquisto"));
    });
    p([&] {
        ClsLayout->registerGrid(&objectOf(objectOf(frmPrezzoLampo_.data()).GRD_LISVEN),
                                QStringLiteral("Griglia Listini di Vendita"));
    });
}

void CLSMG_PREZZOLAMPO::ActiveNavigator_InitializeScriptObjectModel(
    bool& /*Cancel*/, std::shared_ptr<host::ScriptObjectModel>& ClsScript) {
    auto p = ignoringErrors("ActiveNavigator_InitializeScriptObjectModel");
    const bool active = isActive(p);
    if (!active)
        return;
    p([&] {
        QWidget* window = &objectOf(frmPrezzoLampo_.data());
        objectOf(ClsScript).registerWindow(window->objectName(), window, 0,
                                           QStringLiteral("Crezione Veloce Listini"));
        takeWindowBack(window);
    });
}

void CLSMG_PREZZOLAMPO::ActiveNavigator_ButtonPressed(bool& /*Cancel*/, std::int32_t& ButtonPress) {
    auto p = ignoringErrors("ActiveNavigator_ButtonPressed");
    const bool active = isActive(p);
    if (!active || ButtonPress != MultimediaButton)
        return;
    linkMedia();
}

void CLSMG_PREZZOLAMPO::linkMedia() {
    auto p = ignoringErrors("ActiveNavigator_ButtonPressed");
    // 1. The active frame and its recordset.
    std::shared_ptr<host::HeaderFrame> frame;
    bool ready = false;
    p([&] {
        frame = objectOf(ActiveDll()).ActiveFrame();
        ready = frame && frame->Recordset();
    });
    if (!ready)
        return;
    // 2. Header only: the link needs a row.
    int status = -1;
    p([&] { status = frame->Status(); });
    if (status == FrameHeaderOnly) {
        p([&] {
            objectOf(objectOf(clsGlobal_).factory().logService())
                .message(QStringLiteral("Il collegamento ai dati multimediali è possibile "
                                        "solamente in fase di variazione"),
                         MessageInformation, QStringLiteral("Avviso Utente"));
        });
        return;
    }
    // 3. A row not stored yet is stored first.
    if (status == FrameInsertion)
        p([&] { frame->Update(); });
    // 4.
    p([&] {
        if (!CHyperMedia) {
            CHyperMedia = objectOf(ActiveDll()).ClsGlobal()->factory().mediaLink();
            objectOf(CHyperMedia);
            connect(CHyperMedia.get(), &host::MediaLink::AfterMediaCreate, this,
                    &CLSMG_PREZZOLAMPO::CHyperMedia_AfterMediaCreate);
        }
    });
    // 5.
    rt::Variant code;
    p([&] { code = objectOf(frame->Recordset()).Fields(MediaColumn).Value(); });
    // 6.
    p([&] {
        const host::GlobalServices& global = objectOf(objectOf(ActiveDll()).ClsGlobal());
        objectOf(CHyperMedia)
            .Open(global.session().user, global.session().workstation, global.connectionString(),
                  code, rt::CLng(rt::Variant(objectOf(clsGlobal_).companyCode())), 1, 0);
    });
}

void CLSMG_PREZZOLAMPO::CHyperMedia_AfterMediaCreate(bool& /*Cancel*/, rt::Variant& CodiceMedia) {
    auto p = ignoringErrors("CHyperMedia_AfterMediaCreate");
    std::shared_ptr<host::Recordset> rows;
    p([&] { rows = objectOf(objectOf(ActiveDll()).ActiveFrame()).Recordset(); });
    if (!rows)
        return;
    // Only the current row is written: a closed recordset, or one without the column, leaves
    // it unchanged and so writes nothing.
    p([&] { rows->Fields(MediaColumn).setValue(CodiceMedia); });
    p([&] { rows->UpdateBatch(host::adAffectCurrent); });
}
