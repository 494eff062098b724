// CLSMG_PREZZOLAMPO with its real window on the demo database: ShowForm hands the window the
// instance, CloseForm closes it, and a closed window leaves nothing that keeps the instance
// alive (its TER trace line is written when the host lets it go).
#include "plugin/clsmg_prezzolampo.h"

#include "host/services/log_service.h"
#include "tests/support/window_driver.h"

#include <gtest/gtest.h>

namespace {

using testsupport::WindowDriver;

TEST(PluginWindow, TheWindowGetsTheInstanceAndOnceClosedNothingHoldsIt) {
    WindowDriver driver;
    driver.show();
    FRMMG_PREZZOLAMPO* window = driver.window();
    ASSERT_NE(window, nullptr);
    const CLSMG_PREZZOLAMPO* plugin = driver.contract.get();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->ActiveInterface.get(), static_cast<const host::Cinterface*>(plugin));
    EXPECT_EQ(window->ActiveClass.get(), static_cast<const PluginClassInterface*>(plugin));
    EXPECT_EQ(window->windowTitle(), "Creazione veloce Listini Anagrafici");

    ASSERT_TRUE(driver.close());
    EXPECT_EQ(driver.contract->FrmPrezzoLampo(), nullptr);
    const std::weak_ptr<CLSMG_PREZZOLAMPO> watch = driver.contract;
    const QString id = driver.contract->GetInstanceId().asString();
    driver.contract.reset();
    EXPECT_TRUE(watch.expired()) << "something still holds the instance after its window closed";
    EXPECT_TRUE(driver.trace.contains("QVMA:|" + id + "|TER|RIDE_PREZZOLAMPO|CLSMG_PREZZOLAMPO"));
    // Let the test end cleanly even when the instance was kept.
    if (auto kept = watch.lock())
        kept->setActiveFrame(nullptr);
}

// An unload that fails and is left (Interrompi) leaves the window open: CloseForm answers False
// and keeps the form; answered Ignora the next time, the window closes.
TEST(PluginWindow, CloseFormAnswersFalseWhileTheWindowRefusesToClose) {
    WindowDriver driver;
    driver.show();
    driver.contract->setClsVoceMenu(nullptr); // the unload reads its text: error 91
    driver.log->answers = {host::ErrorLeave};
    EXPECT_FALSE(driver.contract->CloseForm().asBool());
    WindowDriver::pump();
    ASSERT_NE(driver.window(), nullptr) << "the window went although it did not close";
    EXPECT_TRUE(driver.window()->isVisible());
    EXPECT_TRUE(driver.log->reports.size() == 1 &&
                driver.log->reports.front().procedure == u"Form_Unload")
        << driver.log->reports.size();

    driver.log->defaultAnswer = host::ErrorContinue; // Ignora every error of the second unload
    EXPECT_TRUE(driver.close());
    EXPECT_EQ(driver.contract->FrmPrezzoLampo(), nullptr);
}

} // namespace
