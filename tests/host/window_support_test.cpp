// Window support: the redraw freeze.
#include "host/window/window_support.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace {

TEST(LockWindowUpdate, FreezesOneWindowAndReleasesIt) {
    QWidget a, b, alreadyFrozen;
    alreadyFrozen.setUpdatesEnabled(false);

    host::LockWindowUpdate(&a);
    EXPECT_FALSE(a.updatesEnabled());
    EXPECT_TRUE(host::isWindowUpdateLocked());
    host::LockWindowUpdate(&a); // nested freeze of the same window
    host::LockWindowUpdate(nullptr);
    EXPECT_TRUE(a.updatesEnabled());
    EXPECT_FALSE(host::isWindowUpdateLocked());

    host::LockWindowUpdate(&a);
    host::LockWindowUpdate(&b);
    EXPECT_TRUE(a.updatesEnabled()) << "locking another window releases the first";
    EXPECT_FALSE(b.updatesEnabled());
    host::LockWindowUpdate(nullptr);
    EXPECT_TRUE(b.updatesEnabled());

    host::LockWindowUpdate(&alreadyFrozen);
    host::LockWindowUpdate(nullptr);
    EXPECT_FALSE(alreadyFrozen.updatesEnabled()) << "release restores what was there";

    {
        QWidget gone;
        host::LockWindowUpdate(&gone);
    }
    EXPECT_FALSE(host::isWindowUpdateLocked());
    host::LockWindowUpdate(nullptr); // a destroyed window is simply forgotten
}

} // namespace
