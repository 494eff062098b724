// CLSMG_PREZZOLAMPO with its real window on the demo database: a window that refuses to close
// (what a closed window leaves behind is tests/window/lifecycle_test.cpp's).
#include "plugin/clsmg_prezzolampo.h"

#include "host/services/log_service.h"
#include "tests/support/window_driver.h"

#include <gtest/gtest.h>

namespace {

using testsupport::WindowDriver;

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
