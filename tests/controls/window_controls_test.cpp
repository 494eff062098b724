// Resize component, window host and combo.

#include "controls_support.h"
#include "host/controls/field_controls.h"
#include "host/controls/window_controls.h"

#include <QAbstractItemView>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

struct Anchoring {
    int mode;
    QRect after; // of a control at (10, 20, 100, 50) when the form grows by (100, 60)
    double topShare = -1, bottomShare = -1; // of the added height, for a shared control
};

class ResizeFormTest : public ::testing::TestWithParam<Anchoring> {};

TEST_P(ResizeFormTest, KeepsTheDistancesToTheAnchoredSides) {
    QWidget form;
    form.resize(400, 300);
    auto* control = new QWidget(&form);
    control->setObjectName(u"GRD_LISVEN"_qs);
    control->setGeometry(10, 20, 100, 50);
    form.show();
    host::KRX_RESIZEFORM resize(&form);
    // The window registers its controls in the set-up event.
    QObject::connect(&resize, &host::KRX_RESIZEFORM::Setup, [&, a = GetParam()] {
        if (a.topShare < 0)
            resize.addControl(u"GRD_LISVEN"_qs, a.mode);
        else
            resize.addSharedControl(u"GRD_LISVEN"_qs, a.mode, a.topShare, a.bottomShare);
    });
    const auto resizeForm = [&](int width, int height) {
        form.resize(width, height);
        QApplication::processEvents();
        ASSERT_EQ(form.size(), QSize(width, height));
    };
    resizeForm(420, 310); // before start: nothing moves
    EXPECT_EQ(control->geometry(), QRect(10, 20, 100, 50));
    resizeForm(400, 300);
    resize.start();
    resizeForm(500, 360);
    EXPECT_EQ(control->geometry(), GetParam().after);
    resizeForm(400, 300);
    EXPECT_EQ(control->geometry(), QRect(10, 20, 100, 50));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ResizeFormTest,
    // The window's anchorings (left 1, top 2, right 4, bottom 8) and its shared heights.
    ::testing::Values(Anchoring{15, QRect(10, 20, 200, 110)},
                      Anchoring{12, QRect(110, 80, 100, 50)}, Anchoring{7, QRect(10, 20, 200, 50)},
                      Anchoring{8, QRect(10, 80, 100, 50)},
                      Anchoring{15, QRect(10, 20, 200, 80), 0, 0.5},
                      Anchoring{15, QRect(10, 50, 200, 80), 0.5, 1},
                      Anchoring{0, QRect(10, 50, 100, 50), 0.5, 0.5}));

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
    EXPECT_EQ(combo->itemText(0), u"Primo"_qs);
    combo->setText(u"Da Configurazione"_qs);
    EXPECT_EQ(combo->text(), u"Da Configurazione"_qs);
    EXPECT_EQ(combo->count(), 2);
    combo->setLeftTwips(7920);
    EXPECT_EQ(combo->x(), 528);
    EXPECT_EQ(combo->leftTwips(), 7920);
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
