// Resize component, window host and combo.

#include "controls_support.h"
#include "host/controls/field_controls.h"
#include "host/controls/window_controls.h"

#include <QAbstractItemView>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

TEST(ResizeForm, KeepsTheDistancesToTheAnchoredSides) {
    const struct {
        int mode;    // the window's anchorings: left 1, top 2, right 4, bottom 8
        QRect after; // of a control at (10, 20, 100, 50) when the form grows by (100, 60)
        double topShare = -1, bottomShare = -1; // of the added height, for a shared control
    } cases[] = {{15, QRect(10, 20, 200, 110)},        {12, QRect(110, 80, 100, 50)},
                 {7, QRect(10, 20, 200, 50)},          {8, QRect(10, 80, 100, 50)},
                 {15, QRect(10, 20, 200, 80), 0, 0.5}, {15, QRect(10, 50, 200, 80), 0.5, 1},
                 {0, QRect(10, 50, 100, 50), 0.5, 0.5}};
    QWidget form;
    form.resize(400, 300);
    QList<QWidget*> controls;
    for (int i = 0; i < int(std::size(cases)); ++i) {
        controls << new QWidget(&form);
        controls.last()->setObjectName(u"CONTROL%1"_qs.arg(i));
        controls.last()->setGeometry(10, 20, 100, 50);
    }
    form.show();
    host::KRX_RESIZEFORM resize(&form);
    // The window registers its controls in the set-up event.
    QObject::connect(&resize, &host::KRX_RESIZEFORM::Setup, [&] {
        for (int i = 0; i < int(std::size(cases)); ++i) {
            const auto& c = cases[i];
            if (c.topShare < 0)
                resize.addControl(controls[i]->objectName(), c.mode);
            else
                resize.addSharedControl(controls[i]->objectName(), c.mode, c.topShare,
                                        c.bottomShare);
        }
    });
    const auto resizeForm = [&](int width, int height, bool grown) {
        form.resize(width, height);
        QApplication::processEvents();
        ASSERT_EQ(form.size(), QSize(width, height));
        for (int i = 0; i < int(std::size(cases)); ++i)
            EXPECT_EQ(controls[i]->geometry(), grown ? cases[i].after : QRect(10, 20, 100, 50))
                << "mode " << cases[i].mode << " shares " << cases[i].topShare;
    };
    resizeForm(420, 310, false); // before start: nothing moves
    resizeForm(400, 300, false);
    resize.start();
    resizeForm(500, 360, true);
    resizeForm(400, 300, false);
}

TEST(MdiActiveX, PlacesTheWindowInTwips) {
    QWidget form;
    host::MDIActiveX host(&form);
    host.place(150, 300, 6000, 4500);
    EXPECT_EQ(form.geometry(), QRect(10, 20, 400, 300));

    QMdiArea area;
    area.resize(1000, 800);
    auto* inner = new QWidget;
    QMdiSubWindow* sub = area.addSubWindow(inner);
    host::MDIActiveX hosted(inner);
    hosted.place(0, 150, 9000, 6000);
    EXPECT_EQ(sub->geometry(), QRect(0, 10, 600, 400));
}

TEST(Combo, ItemsTextAndLock) {
    QWidget window;
    auto* combo = new host::KRX_COMBO(&window);
    combo->addItemAt(u"Da Configurazione"_qs, 0);
    combo->addItemAt(u"Primo"_qs, 0);
    combo->setText(u"Da Configurazione"_qs);
    EXPECT_EQ(combo->currentIndex(), 1);
    combo->setLeftTwips(7920);
    EXPECT_EQ(combo->x(), 528);
    ASSERT_TRUE(controls_test::showActive(window));
    combo->setLocked(true);
    combo->showPopup();
    EXPECT_FALSE(combo->view()->isVisible());
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Up);
    EXPECT_EQ(combo->text(), u"Da Configurazione"_qs);
    combo->setLocked(false);
    QTest::keyClick(combo, Qt::Key_Up);
    EXPECT_EQ(combo->text(), u"Primo"_qs);
}

} // namespace
