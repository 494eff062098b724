#include "tests/support/window_driver.h"

#include "db/demo_database.h"
#include "host/controls/field_controls.h"
#include "host/data/connection.h"
#include "host/services/global_services.h"
#include "host/services/log_service.h"
#include "host/services/navigator.h"
#include "host/window/window_support.h"
#include "tests/support/pg_server.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>

namespace testsupport {

namespace {

QString demoDatabase(const WindowOptions& options) {
    QString cs = options.connectionString.isEmpty() ? testSqliteConnectionString()
                                                    : options.connectionString;
    if (options.demoData) {
        host::Connection connection;
        connection.Open(cs);
        demo::createDemoDatabase(connection, options.today);
        connection.Close();
    }
    return cs;
}

} // namespace

WindowDriver::WindowDriver(WindowOptions options)
    : connectionString(demoDatabase(options)), global(std::make_shared<host::GlobalServices>()),
      log(options.log ? options.log : std::make_shared<host::ScriptedLogService>()),
      navigator(std::make_shared<host::Navigator>()),
      script(std::make_shared<host::ScriptObjectModel>()),
      layout(std::make_shared<host::LayoutObjectModel>()) {
    host::setDebugOutputSink([this](const QString& line) { trace.append(line); });
    global->setConnectionString(connectionString);
    global->setCompanyCode(QString::number(demo::DemoCompany));
    global->factory() = host::HostObjectFactory::standard(QString());
    // The test reads the very log service the window reports to.
    global->factory().logService = [l = log] { return l; };
    global->factory().connection = [this] {
        ++connectionsMade;
        return std::make_shared<host::Connection>();
    };
    navigator->setModels(layout, script);
    // The plug-in class as the host fills it before ShowForm.
    contract = CLSMG_PREZZOLAMPO::create();
    contract->setClsGlobal(global);
    contract->setActiveNavigator(navigator);
    contract->setClsVoceMenu(std::make_shared<host::MenuEntry>(QStringLiteral("Listini veloci")));
    contract->setCaption(rt::Variant("Creazione veloce Listini Anagrafici"));
}

WindowDriver::~WindowDriver() {
    if (window() != nullptr && !window()->isUnloaded())
        close();
    pump();
    // What a failed unload left behind must not keep the objects alive.
    global->clearContractReferences();
    if (contract) {
        contract->setActiveFrame(nullptr);
        contract->setConnection(nullptr);
    }
    contract.reset();
    host::setDebugOutputSink({});
}

void WindowDriver::show() {
    contract->ShowForm();
    pump();
}

bool WindowDriver::close() {
    const rt::Variant closed = contract->CloseForm();
    pump();
    return closed.type() == rt::VarType::Boolean && closed.asBool();
}

void WindowDriver::pump() {
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void WindowDriver::openArticle(FRMMG_PREZZOLAMPO& w, const QString& article, const QString& from,
                               const QString& to) {
    typeAndEnter(w.TXT_CODART, article);
    typeAndEnter(w.TXT_DADATA_ACQ, from);
    typeAndEnter(w.TXT_ADATA_ACQ, to);
}

void WindowDriver::typeAndEnter(host::FieldControl* field, const QString& text) {
    QLineEdit* editor = field->editor();
    editor->setFocus();
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    pump();
}

void WindowDriver::click(QAbstractButton* button) {
    button->click();
    pump();
}

QStringList WindowDriver::reportedProcedures() const {
    QStringList names;
    for (const auto& r : log->reports)
        names.append(r.procedure);
    return names;
}

int WindowDriver::formEvents(int open) const {
    int n = 0;
    for (const host::ScriptObjectModel::FormEvent& e : script->events)
        n += e.open == open && e.formName == QLatin1String("FRMMG_PREZZOLAMPO") ? 1 : 0;
    return n;
}

QStringList WindowDriver::messageTexts() const {
    QStringList texts;
    for (const auto& m : log->messages)
        texts.append(m.text);
    return texts;
}

std::string WindowDriver::reports() const {
    QStringList texts;
    for (const auto& r : log->reports)
        texts.append(
            QStringLiteral("%1 (%2 %3)").arg(r.procedure).arg(r.number).arg(r.description));
    return texts.join(QStringLiteral("; ")).toStdString();
}

} // namespace testsupport
