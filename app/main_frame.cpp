#include "app/main_frame.h"

#include "form/plugin_class.h"
#include "host/controls/window_controls.h"
#include "host/services/global_services.h"
#include "host/services/log_service.h"
#include "host/services/media_link.h"
#include "host/services/navigator.h"
#include "host/services/office_export.h"
#include "host/window/window_support.h"
#include "runtime/conversions.h"
#include "runtime/errors.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>

namespace {
// The frame of a first run: room for the plug-in window with both grids whole (all sixteen
// columns and the net prices); a smaller screen gets all it has.
constexpr QSize FirstRunSize(1280, 720);
} // namespace

MainFrame::MainFrame(std::shared_ptr<host::GlobalServices> global, QWidget* parent)
    : QMainWindow(parent), global_(std::move(global)),
      navigator_(std::make_shared<host::Navigator>()) {
    setWindowTitle(global_->applicationTitle());
    windowArea_ = new QMdiArea(this);
    windowArea_->setObjectName(QStringLiteral("windowArea"));
    setCentralWidget(windowArea_);
    buildNavigatorBar();
    buildSettingsMenu();
    navigatorStatus_ = new QLabel(this);
    statusBar()->addPermanentWidget(navigatorStatus_);
    connect(navigator_.get(), &host::Navigator::statusChanged, this, [this](int status) {
        navigatorStatus_->setText(QStringLiteral("Stato: %1").arg(status));
    });
    // The navigator builds its layout and script models when a window opens.
    connect(navigator_.get(), &host::Navigator::formEventRun, this, &MainFrame::showFormEvent);
    global_->presentWindow = [this](QWidget* window) { presentWindow(window); };
    // The media link tells the user what went wrong through the frame.
    QPointer<MainFrame> self(this);
    global_->factory().mediaLink = [self, make = global_->factory().mediaLink] {
        std::shared_ptr<host::MediaLink> link = make ? make() : nullptr;
        if (link && !link->notice)
            link->notice = [self](const QString& text) {
                if (self)
                    self->tell(text, true);
            };
        return link;
    };
    resize(FirstRunSize);
}

MainFrame::~MainFrame() {
    // A frame that goes without having been closed (the program was told to end) still closes
    // its plug-in's window as the close box does, so that the window's unload runs; the plug-in
    // goes while the window area that hosts its window still exists.
    showing_ = false;
    closePlugin();
    releasePlugin();
    global_->presentWindow = nullptr;
}

void MainFrame::buildNavigatorBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Navigatore"));
    bar->setObjectName(QStringLiteral("navigatorBar"));
    bar->setMovable(false);
    QAction* exportAction = bar->addAction(QStringLiteral("Esporta"));
    exportAction->setObjectName(QStringLiteral("exportButton"));
    exportAction->setToolTip(QStringLiteral("Esporta verso Office"));
    connect(exportAction, &QAction::triggered, this, &MainFrame::exportToOffice);
    QAction* mediaAction = bar->addAction(QStringLiteral("Multimedia"));
    mediaAction->setObjectName(QStringLiteral("multimediaButton"));
    mediaAction->setToolTip(QStringLiteral("Collega dati multimediali"));
    connect(mediaAction, &QAction::triggered, this,
            [this] { pressNavigatorButton(MultimediaButton); });
}

void MainFrame::buildSettingsMenu() {
    QMenu* settings = menuBar()->addMenu(QStringLiteral("&Impostazioni"));
    QMenu* markup = settings->addMenu(QStringLiteral("&Metodo di ricarico"));
    auto* methods = new QActionGroup(this);
    const int current = rt::CBool(global_->markupMethod()) ? 1 : 0;
    const std::pair<int, QString> choices[] = {
        {0, QStringLiteral("Ricarico sul &costo")},
        {1, QStringLiteral("Margine sul prezzo di &vendita")}};
    for (const auto& [method, text] : choices) {
        QAction* action = markup->addAction(text);
        action->setObjectName(QStringLiteral("markupMethod%1").arg(method));
        action->setCheckable(true);
        action->setChecked(method == current);
        methods->addAction(action);
        connect(action, &QAction::triggered, this, [this, m = method] { chooseMarkupMethod(m); });
    }
    QAction* company = settings->addAction(QStringLiteral("Cambia &ditta..."));
    company->setObjectName(QStringLiteral("changeCompany"));
    connect(company, &QAction::triggered, this, &MainFrame::chooseCompany);
}

void MainFrame::chooseMarkupMethod(int method) {
    global_->setMarkupMethod(method);
    if (markupMethodChosen)
        markupMethodChosen(method);
    statusBar()->showMessage(method == 0 ? QStringLiteral("Metodo di ricarico: ricarico sul costo")
                                         : QStringLiteral("Metodo di ricarico: margine sul "
                                                          "prezzo di vendita"),
                             5000);
}

void MainFrame::pressNavigatorButton(int button) {
    navigator_->pressButton(button);
}

void MainFrame::exportToOffice() {
    const std::shared_ptr<host::LayoutObjectModel> layout = navigator_->layoutModel();
    const QString caption = layout && !layout->windowCaption.isEmpty()
                                ? layout->windowCaption
                                : QStringLiteral("Esportazione");
    // A desktop without a documents folder gets the home folder: a folder that does not exist
    // would leave the dialog in the program's working folder.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QDir(folder).exists())
        folder = QDir::homePath();
    const QString proposed = QDir(folder).filePath(host::OfficeExport::suggestedFileName(caption));
    QString path = chooseExportFile
                       ? chooseExportFile(proposed)
                       : QFileDialog::getSaveFileName(this, QStringLiteral("Esporta"), proposed,
                                                      QStringLiteral("Cartella di lavoro (*.xlsx)"),
                                                      nullptr, QFileDialog::DontUseNativeDialog);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        path += QLatin1String(".xlsx");
    exportTo(path);
}

bool MainFrame::exportTo(const QString& filePath) {
    try {
        if (!navigator_->exportToOffice(filePath)) {
            statusBar()->showMessage(QStringLiteral("Esportazione annullata"), 5000);
            return false;
        }
    } catch (const rt::Error& e) {
        tell(e.description(), true);
        return false;
    }
    tell(QStringLiteral("Esportazione completata nel file %1")
             .arg(QDir::toNativeSeparators(filePath)),
         false);
    return true;
}

void MainFrame::chooseCompany() {
    bool ok = false;
    const int company =
        QInputDialog::getInt(this, QStringLiteral("Cambia ditta"), QStringLiteral("Codice ditta:"),
                             global_->companyCode().toInt(), 1, 99999, 1, &ok);
    if (!ok)
        return;
    if (navigator_->changeCompany(*global_, QString::number(company)))
        statusBar()->showMessage(
            QStringLiteral("Ditta %1: vale per le finestre aperte da ora").arg(company), 5000);
}

void MainFrame::showFormEvent(const QString& description) {
    statusBar()->showMessage(description, 5000);
    writeLog(QStringLiteral("SCRIPT | ") + description);
}

void MainFrame::tell(const QString& text, bool warning) {
    writeLog((warning ? QStringLiteral("AVVISO | ") : QStringLiteral("INFO | ")) + text);
    statusBar()->showMessage(text, 10000);
    if (tellUser)
        tellUser(text, warning);
    else if (warning)
        QMessageBox::warning(this, global_->applicationTitle(), text);
    else
        QMessageBox::information(this, global_->applicationTitle(), text);
}

void MainFrame::writeLog(const QString& line) const {
    const auto& make = global_->factory().logService;
    if (auto log = std::dynamic_pointer_cast<host::DialogLogService>(make ? make() : nullptr))
        log->appendToLog(line);
}

void MainFrame::presentWindow(QWidget* window) {
    QMdiSubWindow* sub = windowArea_->addSubWindow(window);
    // A window that goes (its plug-in released it) takes its frame in the area with it.
    connect(window, &QObject::destroyed, sub, &QMdiSubWindow::close);
    // The window's host control learns that the window is hosted: the window places itself.
    const QList<host::MDIActiveX*> windowHosts =
        window->findChildren<host::MDIActiveX*>(Qt::FindDirectChildrenOnly);
    for (host::MDIActiveX* windowHost : windowHosts)
        windowHost->raiseFormLoad();
    // From the place it took, the window grows to the area's lower-right corner: its grids
    // then show all their columns on an ordinary screen.
    const QSize area = windowArea_->viewport()->size();
    sub->resize(sub->size().expandedTo(QSize(area.width() - sub->x(), area.height() - sub->y())));
    sub->show();
}

void MainFrame::openPlugin(std::shared_ptr<host::Cinterface> plugin, const PluginCall& call) {
    plugin_ = std::move(plugin);
    host::Cinterface& contract = *plugin_;
    contract.setClsGlobal(global_);
    contract.setActiveNavigator(navigator_);
    contract.setStatusBar(statusBar());
    contract.setCaption(rt::Variant(call.caption));
    contract.setWindowModal(call.modal);
    contract.setIsCalled(call.called);
    contract.setIsActive(true);
    contract.setClsVoceMenu(std::make_shared<host::MenuEntry>(call.menuText));
    if (call.called) {
        if (auto cls = std::dynamic_pointer_cast<PluginClassInterface>(plugin_))
            cls->setCodiceArticolo(rt::Variant(call.article));
    }
    // Keep the instance while ShowForm runs: a modal window may close the frame meanwhile.
    const std::shared_ptr<host::Cinterface> running = plugin_;
    showing_ = true;
    running->ShowForm();
    showing_ = false;
    if (releaseAfterShow_)
        releasePlugin();
}

bool MainFrame::closePlugin() {
    if (!plugin_)
        return true;
    const rt::Variant answer = plugin_->CloseForm();
    const bool closed = answer.type() == rt::VarType::Boolean && answer.asBool();
    host::OutputDebugString(QStringLiteral("prezzolampo|CloseForm|") +
                            (closed ? QStringLiteral("True") : QStringLiteral("False")));
    if (closed)
        releasePlugin();
    return closed;
}

void MainFrame::releasePlugin() {
    if (showing_) {
        releaseAfterShow_ = true;
        return;
    }
    releaseAfterShow_ = false;
    plugin_.reset();
}

void MainFrame::closeEvent(QCloseEvent* event) {
    if (!closePlugin()) {
        statusBar()->showMessage(QStringLiteral("La finestra non si può chiudere"), 5000);
        event->ignore();
        return;
    }
    if (frameGeometryChosen)
        frameGeometryChosen(saveGeometry());
    event->accept();
}

void MainFrame::restorePlacement(const QByteArray& saved) {
    if (!saved.isEmpty() && restoreGeometry(saved))
        return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        resize(FirstRunSize);
        return;
    }
    const QRect available = screen->availableGeometry();
    QRect placed(QPoint(), FirstRunSize.boundedTo(available.size()));
    placed.moveCenter(available.center());
    setGeometry(placed);
}
