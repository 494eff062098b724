// The main frame with the real plug-in window: the window opens large enough to show both grids
// whole and grows with the frame, the frame keeps its place between runs, and a frame that goes
// without being closed still runs the window's unload.
#include "app/main_frame.h"
#include "app/plugin_loader.h"

#include "db/demo_database.h"
#include "host/controls/krx_qgrid.h"
#include "host/data/connection.h"
#include "host/services/global_services.h"
#include "host/services/log_service.h"
#include "host/services/navigator.h"
#include "runtime/conversions.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString BuildPluginFolder = QStringLiteral(PREZZOLAMPO_BINARY_DIR "/plugins");

void pump() {
    for (int round = 0; round < 5; ++round) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// A frame on a fresh demo database with the plug-in's window open in it.
class FrameWithWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const QString cs = demo::demoConnectionString(dir.filePath(QStringLiteral("demo.db")));
        host::Connection demoData;
        demoData.Open(cs);
        demo::createDemoDatabase(demoData, rt::Today());
        demoData.Close();
        global->setConnectionString(cs);
        global->setCompanyCode(QString::number(demo::DemoCompany));
        global->factory() = host::HostObjectFactory::standard(QString());
        global->factory().logService = [l = log] { return l; };
        frame = std::make_unique<MainFrame>(global);
    }

    void open(const QSize& frameSize) {
        frame->resize(frameSize);
        frame->show();
        pump();
        PluginLoader loader(BuildPluginFolder);
        std::shared_ptr<host::Cinterface> plugin =
            loader.create(QStringLiteral("CLSMG_PREZZOLAMPO"));
        ASSERT_TRUE(plugin) << loader.errorText().toStdString();
        frame->openPlugin(std::move(plugin), PluginCall{});
        pump();
        ASSERT_TRUE(frame->plugin());
        connection = frame->plugin()->connection();
        ASSERT_TRUE(connection);
        // The navigator builds its models when the window is first activated.
        script = frame->navigator()->scriptModel();
    }

    // The purchase grid (0) or the sales grid (1).
    host::KRX_QGRID* grid(int i) const {
        return frame->findChild<host::KRX_QGRID*>(
            QLatin1String(i == 0 ? "GRD_LISACQ" : "GRD_LISVEN"));
    }

    QTemporaryDir dir;
    std::shared_ptr<host::GlobalServices> global = std::make_shared<host::GlobalServices>();
    std::shared_ptr<host::ScriptedLogService> log = std::make_shared<host::ScriptedLogService>();
    std::unique_ptr<MainFrame> frame;
    std::shared_ptr<host::ScriptObjectModel> script;
    std::shared_ptr<host::Connection> connection;
};

// The frame a 1366 x 768 screen gets on a first run.
const QSize FirstRunFrame(1280, 720);

// The grids show every column and grow with the frame; the frame then goes without being
// closed and still runs the window's unload.
TEST_F(FrameWithWindow, BothGridsShowEveryColumnAndGrowWithTheFrame) {
    open(FirstRunFrame);
    ASSERT_TRUE(script);
    QSize before[2];
    for (int i = 0; i < 2; ++i) {
        host::KRX_QGRID* g = grid(i);
        ASSERT_NE(g, nullptr);
        SCOPED_TRACE(g->objectName().toStdString());
        QTableView* view = g->view();
        // All sixteen columns fit, shown or not: nothing to scroll sideways.
        int columns = view->verticalHeader()->width() + 2 * view->frameWidth();
        for (int c = 0; c < g->columnCount(); ++c)
            columns += view->columnWidth(c);
        EXPECT_LE(columns + view->verticalScrollBar()->sizeHint().width(), g->width());
        EXPECT_EQ(view->horizontalScrollBar()->maximum(), 0);
        const int net = g->columnIndex(QStringLiteral("PREZZO_NETTO"));
        EXPECT_LE(view->horizontalHeader()->sectionViewportPosition(net) + view->columnWidth(net),
                  view->viewport()->width());
        before[i] = g->size();
    }
    QWidget* sub = grid(0)->parentWidget()->parentWidget();
    sub->resize(sub->size() + QSize(100, 80));
    pump();
    // The two groups share the added height.
    EXPECT_EQ(grid(0)->size(), before[0] + QSize(100, 40));
    EXPECT_EQ(grid(1)->size(), before[1] + QSize(100, 40));

    ASSERT_EQ(connection->State(), host::adStateOpen);
    frame.reset();
    pump();
    int closes = 0;
    for (const host::ScriptObjectModel::FormEvent& e : script->events)
        closes += e.open == 0 ? 1 : 0;
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(connection->State(), host::adStateClosed);
    EXPECT_TRUE(log->reports.isEmpty());
}

TEST(FramePlacement, TheFrameOpensWhereItWasClosed) {
    QByteArray kept;
    const QRect closedAt(40, 30, 900, 600);
    {
        MainFrame frame(std::make_shared<host::GlobalServices>());
        frame.frameGeometryChosen = [&kept](const QByteArray& g) { kept = g; };
        frame.setGeometry(closedAt);
        frame.show();
        pump();
        EXPECT_TRUE(frame.close());
    }
    ASSERT_FALSE(kept.isEmpty());
    MainFrame again(std::make_shared<host::GlobalServices>());
    again.restorePlacement(kept);
    EXPECT_EQ(again.geometry().size(), closedAt.size());
    // Nothing kept yet: the first run's size, within the screen.
    MainFrame first(std::make_shared<host::GlobalServices>());
    first.restorePlacement({});
    EXPECT_EQ(first.size(), FirstRunFrame.boundedTo(first.screen()->availableGeometry().size()));
}

} // namespace
