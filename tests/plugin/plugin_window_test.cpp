// CLSMG_PREZZOLAMPO with its real window on the demo database: ShowForm hands the window the
// contract, CloseForm answers whether the window closed, a modal ShowForm waits for the close,
// and a closed window leaves nothing that keeps the instance alive.
#include "plugin/clsmg_prezzolampo.h"

#include "host/services/global_services.h"
#include "host/services/navigator.h"
#include "tests/support/window_driver.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {

using testsupport::WindowDriver;

// The plug-in class filled as the host fills it, on the driver's host services.
std::shared_ptr<CLSMG_PREZZOLAMPO> hostedPlugin(WindowDriver& driver, bool modal) {
    auto plugin = CLSMG_PREZZOLAMPO::create();
    plugin->setClsGlobal(driver.global);
    plugin->setActiveNavigator(driver.navigator);
    plugin->setClsVoceMenu(std::make_shared<host::MenuEntry>(QStringLiteral("Listini veloci")));
    plugin->setCaption(rt::Variant("Listini veloci di prova"));
    plugin->setWindowModal(modal);
    plugin->setIsActive(true);
    return plugin;
}

TEST(PluginWindow, ShowFormHandsTheWindowTheInstanceAndCloseFormClosesIt) {
    WindowDriver driver;
    const auto plugin = hostedPlugin(driver, false);
    EXPECT_EQ(plugin->ShowForm(), rt::Variant());
    WindowDriver::pump();
    FRMMG_PREZZOLAMPO* window = plugin->FrmPrezzoLampo();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isLoaded());
    EXPECT_EQ(window->ActiveInterface.get(), static_cast<host::Cinterface*>(plugin.get()));
    EXPECT_EQ(window->ActiveClass.get(), static_cast<PluginClassInterface*>(plugin.get()));
    EXPECT_EQ(window->windowTitle(), "Listini veloci di prova");
    EXPECT_TRUE(window->isVisible());

    EXPECT_EQ(plugin->CloseForm(), rt::Variant(true));
    WindowDriver::pump();
    EXPECT_EQ(plugin->FrmPrezzoLampo(), nullptr);
    // The window released the instance's own reference to itself as it closed.
    EXPECT_FALSE(plugin->ActiveDll());
}

TEST(PluginWindow, ModalShowFormReturnsOnlyOnceTheWindowClosed) {
    WindowDriver driver;
    const auto plugin = hostedPlugin(driver, true);
    rt::Variant closedFromInside;
    bool windowWasShown = false;
    QTimer::singleShot(200, [&] {
        windowWasShown = plugin->FrmPrezzoLampo() && plugin->FrmPrezzoLampo()->isVisible();
        closedFromInside = plugin->CloseForm();
    });
    plugin->ShowForm();
    EXPECT_TRUE(windowWasShown);
    EXPECT_EQ(closedFromInside, rt::Variant(true));
}

TEST(PluginWindow, ClosedWindowLeavesNothingHoldingTheInstance) {
    WindowDriver driver;
    auto plugin = hostedPlugin(driver, false);
    plugin->ShowForm();
    WindowDriver::pump();
    ASSERT_EQ(plugin->CloseForm(), rt::Variant(true));
    WindowDriver::pump();
    const std::weak_ptr<CLSMG_PREZZOLAMPO> watch = plugin;
    const QString id = plugin->GetInstanceId().asString();
    plugin.reset();
    EXPECT_TRUE(watch.expired()) << "something still holds the instance after its window closed";
    EXPECT_TRUE(driver.trace.contains("QVMA:|" + id + "|TER|RIDE_PREZZOLAMPO|CLSMG_PREZZOLAMPO"));
    // Let the test end cleanly even when the instance was kept.
    if (auto kept = watch.lock())
        kept->setActiveFrame(nullptr);
}

} // namespace
