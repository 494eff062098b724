#pragma once
// The host navigator: the main frame's tool bar and status. It raises its events at the
// active plug-in class (export, change of company, layout and script object models, button
// pressed), takes the header frame's status and refreshes its buttons.

#include "runtime/variant.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <memory>

namespace host {

class GlobalServices;
class KRX_QGRID;
class OfficeExport;

// The script object model: knows the window registered with it and remembers the form events
// and closings it is told of, in order; each form event is also announced (formEventRun), so
// the host can show and log it.
class ScriptObjectModel : public QObject, public rt::Object {
    Q_OBJECT
  public:
    struct FormEvent {
        QString formName;
        int arg = 0;
        int open = 0; // 1 "tsOpen", 0 "tsClose"
        rt::Variant formNameAgain;
    };
    // The window's name, the window (handed back: the model keeps it), a flag and its title.
    void registerWindow(const QString& name, QWidget*& window, int flags, const QString& title);
    void executeFormEvent(const QString& formName, int arg, int open, const rt::Variant& name);
    void closing(const QString& menuText);
    QString registeredName;
    QString registeredTitle;
    QPointer<QWidget> window;
    QList<FormEvent> events;
    QStringList closings;

  signals:
    // "tsOpen" or "tsClose" of a window, described for the user.
    void formEventRun(const QString& description);
};

// The layout object model: the window and the grids the host exports, under their captions.
class LayoutObjectModel : public rt::Object {
  public:
    struct Grid {
        QPointer<KRX_QGRID> grid;
        QString caption;
    };
    // The window with its caption; the window is handed back (the model keeps the same one).
    void registerWindow(const QString& caption, QWidget*& window, int a, int b, int c);
    void registerGrid(KRX_QGRID* grid, const QString& caption);
    // The captions of the window and its grids, in the order they were registered.
    QStringList captions() const;

    QString windowCaption;
    QPointer<QWidget> window;
    QList<Grid> grids;
};

class Navigator : public QObject, public rt::Object {
    Q_OBJECT
  public:
    // The header frame's status, as the window hands it over.
    void setStatus(std::int16_t status);
    std::int16_t status() const { return status_; }
    void refresh();
    // The two calls a window makes without arguments: at its first activation and at open.
    // The first one builds the layout and script object models when the navigator has none
    // yet initialised: their events let the active plug-in class register its window.
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

    // What the navigator's buttons do. Each raises its event at the plug-in class first.
    // Export: the windows and grids of the layout model into a spreadsheet file; throws
    // rt::Error (in Italian) when the file cannot be written. False when the class cancelled.
    bool exportToOffice(const QString& filePath);
    // Change of company: false when the class cancelled it (the company stays).
    bool changeCompany(GlobalServices& global, const QString& companyCode);
    void pressButton(std::int32_t button);

  signals:
    void statusChanged(int status);
    void refreshed();
    void windowActivated();
    void windowOpened();
    // Events raised at the active plug-in class.
    void BeforeExportToOffice(bool& cancel, std::shared_ptr<host::OfficeExport>& exporter);
    void BeforeChangeDitta(bool& cancel);
    void ChangeDitta(bool& cancel);
    void InitializeLayoutObjectModel(bool& cancel,
                                     std::shared_ptr<host::LayoutObjectModel>& layout);
    void InitializeScriptObjectModel(bool& cancel,
                                     std::shared_ptr<host::ScriptObjectModel>& script);
    void ButtonPressed(bool& cancel, std::int32_t& button);
    // The script model of the navigator announced a form event.
    void formEventRun(const QString& description);

  private:
    void initializeModels();

    std::int16_t status_ = 0;
    int refreshes_ = 0;
    int activations_ = 0;
    int formOpenings_ = 0;
    bool modelsInitialized_ = false;
    std::shared_ptr<ScriptObjectModel> script_;
    std::shared_ptr<LayoutObjectModel> layout_;
};

} // namespace host
