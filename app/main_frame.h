#pragma once
// The host program's main frame: the navigator tool bar, the status bar and the window area
// where plug-in windows open. It fills the plug-in contract, calls ShowForm, and on closing
// asks the plug-in to close its window (CloseForm) before it lets the frame go.

#include "host/contract/cinterface.h"

#include <QByteArray>
#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>

class QLabel;
class QMdiArea;

namespace host {
class GlobalServices;
class Navigator;
} // namespace host

// How the host calls the plug-in.
struct PluginCall {
    QString caption = QStringLiteral("Creazione Veloce Listini Anagrafici");
    QString menuText = QStringLiteral("Creazione Veloce Listini Anagrafici");
    bool modal = false;
    // Called by another program with an article.
    bool called = false;
    QString article;
};

class MainFrame : public QMainWindow {
    Q_OBJECT
  public:
    // The media-link button of the navigator.
    static constexpr int MultimediaButton = 25;

    explicit MainFrame(std::shared_ptr<host::GlobalServices> global, QWidget* parent = nullptr);
    ~MainFrame() override;

    const std::shared_ptr<host::Navigator>& navigator() const { return navigator_; }
    // The Impostazioni menu's choice of mark-up method (0 on cost, 1 margin), after it is in
    // force: the program keeps it in its settings file.
    std::function<void(int method)> markupMethodChosen;
    // The frame's size and place when it closes, to be kept for the next run.
    std::function<void(const QByteArray& geometry)> frameGeometryChosen;
    // Puts the frame where it was last closed; the first time, as large as the plug-in's
    // window needs to show both grids whole, within the screen.
    void restorePlacement(const QByteArray& saved);
    QMdiArea* windowArea() const { return windowArea_; }
    // Where an export goes, given the proposed file: a save dialog unless replaced (tests).
    // An empty answer gives the export up.
    std::function<QString(const QString& proposed)> chooseExportFile;
    // Tells the user something (a warning when warning is set): a message box unless replaced.
    std::function<void(const QString& text, bool warning)> tellUser;
    // The navigator's export to a spreadsheet file; false when it was not written.
    bool exportTo(const QString& filePath);
    const std::shared_ptr<host::Cinterface>& plugin() const { return plugin_; }

    // Fills the contract of the plug-in and shows its window (returns after a modal window
    // closed).
    void openPlugin(std::shared_ptr<host::Cinterface> plugin, const PluginCall& call);
    // CloseForm, written to the trace; a plug-in whose window closed is released. True when
    // no plug-in window is left open.
    bool closePlugin();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildNavigatorBar();
    void buildSettingsMenu();
    void chooseCompany();
    void showFormEvent(const QString& description);
    void tell(const QString& text, bool warning);
    void writeLog(const QString& line) const;
    void chooseMarkupMethod(int method);
    void presentWindow(QWidget* window);
    void pressNavigatorButton(int button);
    void exportToOffice();
    void releasePlugin();

    std::shared_ptr<host::GlobalServices> global_;
    std::shared_ptr<host::Navigator> navigator_;
    std::shared_ptr<host::Cinterface> plugin_;
    QMdiArea* windowArea_ = nullptr;
    QLabel* navigatorStatus_ = nullptr;
    // ShowForm is running (a modal window): the plug-in is released after it returns.
    bool showing_ = false;
    bool releaseAfterShow_ = false;
};
