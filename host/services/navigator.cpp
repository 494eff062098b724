#include "host/services/navigator.h"

namespace host {

void ScriptObjectModel::executeFormEvent(const QString& formName, int arg, int open,
                                         const rt::Variant& name) {
    events.append({formName, arg, open, name});
}

void ScriptObjectModel::closing(const QString& menuText) {
    closings.append(menuText);
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
    emit windowActivated();
}

void Navigator::formOpened() {
    ++formOpenings_;
    emit windowOpened();
}

void Navigator::setModels(std::shared_ptr<LayoutObjectModel> layout,
                          std::shared_ptr<ScriptObjectModel> script) {
    layout_ = std::move(layout);
    script_ = std::move(script);
}

void Navigator::clearModels() {
    layout_.reset();
    script_.reset();
}

} // namespace host
