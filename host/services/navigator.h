#pragma once
// The host navigator: the main frame's tool bar and status. It raises its events at the
// active plug-in class (export, change of company, layout and script object models, button
// pressed), takes the header frame's status and refreshes its buttons.

#include "runtime/variant.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

namespace host {

// The script object model: remembers the form events and closings it is told of, in order.
class ScriptObjectModel : public rt::Object {
  public:
    struct FormEvent {
        QString formName;
        int arg = 0;
        int open = 0; // 1 "tsOpen", 0 "tsClose"
        rt::Variant formNameAgain;
    };
    void executeFormEvent(const QString& formName, int arg, int open, const rt::Variant& name);
    void closing(const QString& menuText);
    QString registeredTitle;
    QList<FormEvent> events;
    QStringList closings;
};

class LayoutObjectModel : public rt::Object {
  public:
    QStringList captions; // of the registered window and grids, in order
};

class Navigator : public QObject, public rt::Object {
    Q_OBJECT
  public:
    // The header frame's status, as the window hands it over.
    void setStatus(std::int16_t status);
    std::int16_t status() const { return status_; }
    void refresh();
    // The two calls a window makes without arguments: at its first activation and at open.
    void activated();
    void formOpened();
    int activatedCount() const { return activations_; }
    int formOpenedCount() const { return formOpenings_; }

    std::shared_ptr<ScriptObjectModel> scriptModel() const { return script_; }
    std::shared_ptr<LayoutObjectModel> layoutModel() const { return layout_; }
    void setModels(std::shared_ptr<LayoutObjectModel> layout,
                   std::shared_ptr<ScriptObjectModel> script);
    void clearModels();

    int refreshCount() const { return refreshes_; }

  signals:
    void statusChanged(int status);
    void refreshed();
    void windowActivated();
    void windowOpened();
    // Events raised at the active plug-in class.
    void BeforeExportToOffice(bool& cancel);
    void BeforeChangeDitta(bool& cancel);
    void ChangeDitta(bool& cancel);
    void ButtonPressed(bool& cancel, std::int32_t button);

  private:
    std::int16_t status_ = 0;
    int refreshes_ = 0;
    int activations_ = 0;
    int formOpenings_ = 0;
    std::shared_ptr<ScriptObjectModel> script_;
    std::shared_ptr<LayoutObjectModel> layout_;
};

} // namespace host
