#include "host/services/navigator.h"

#include "host/controls/krx_qgrid.h"
#include "host/services/global_services.h"
#include "host/services/office_export.h"

namespace host {

void ScriptObjectModel::registerWindow(const QString& name, QWidget*& registered, int /*flags*/,
                                       const QString& title) {
    registeredName = name;
    registeredTitle = title;
    window = registered;
}

void ScriptObjectModel::executeFormEvent(const QString& formName, int arg, int open,
                                         const rt::Variant& name) {
    events.append({formName, arg, open, name});
    const QString title = registeredTitle.isEmpty() ? formName : registeredTitle;
    emit formEventRun(
        QStringLiteral("Evento %1: %2 (%3)")
            .arg(open ? QStringLiteral("tsOpen") : QStringLiteral("tsClose"), formName, title));
}

void ScriptObjectModel::closing(const QString& menuText) {
    closings.append(menuText);
}

void LayoutObjectModel::registerWindow(const QString& caption, QWidget*& registered, int, int,
                                       int) {
    windowCaption = caption;
    window = registered;
    grids.clear();
}

void LayoutObjectModel::registerGrid(KRX_QGRID* grid, const QString& caption) {
    grids.append({grid, caption});
}

QStringList LayoutObjectModel::captions() const {
    QStringList all;
    if (!windowCaption.isEmpty())
        all << windowCaption;
    for (const Grid& g : grids)
        all << g.caption;
    return all;
}

void Navigator::setStatus(std::int16_t status) {
    status_ = status;
    emit statusChanged(status);
}

void Navigator::refresh() {
    ++refreshes_;
    emit refreshed();
}

void Navigator::activated() {
    ++activations_;
    if (!modelsInitialized_)
        initializeModels();
    emit windowActivated();
}

void Navigator::initializeModels() {
    if (!layout_)
        layout_ = std::make_shared<LayoutObjectModel>();
    if (!script_)
        script_ = std::make_shared<ScriptObjectModel>();
    connect(script_.get(), &ScriptObjectModel::formEventRun, this, &Navigator::formEventRun,
            Qt::UniqueConnection);
    modelsInitialized_ = true;
    // The handlers may hand back other models; an empty one leaves the navigator without.
    bool cancel = false;
    emit InitializeLayoutObjectModel(cancel, layout_);
    cancel = false;
    emit InitializeScriptObjectModel(cancel, script_);
}

void Navigator::formOpened() {
    ++formOpenings_;
    emit windowOpened();
}

void Navigator::setModels(std::shared_ptr<LayoutObjectModel> layout,
                          std::shared_ptr<ScriptObjectModel> script) {
    layout_ = std::move(layout);
    script_ = std::move(script);
    modelsInitialized_ = false;
}

void Navigator::clearModels() {
    layout_.reset();
    script_.reset();
    modelsInitialized_ = false;
}

bool Navigator::exportToOffice(const QString& filePath) {
    auto exporter = std::make_shared<OfficeExport>();
    bool cancel = false;
    emit BeforeExportToOffice(cancel, exporter);
    if (cancel)
        return false;
    if (!exporter)
        exporter = std::make_shared<OfficeExport>();
    exporter->write(layout_.get(), filePath);
    return true;
}

bool Navigator::changeCompany(GlobalServices& global, const QString& companyCode) {
    bool cancel = false;
    emit BeforeChangeDitta(cancel);
    if (cancel)
        return false;
    global.setCompanyCode(companyCode);
    cancel = false;
    emit ChangeDitta(cancel);
    return true;
}

void Navigator::pressButton(std::int32_t button) {
    bool cancel = false;
    std::int32_t pressed = button;
    emit ButtonPressed(cancel, pressed);
}

} // namespace host
