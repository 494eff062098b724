// GoogleTest main for tests that need widgets: a QApplication on the offscreen platform
// (unless the environment chose another), created only after GoogleTest read its arguments
// and not when the tests are only listed.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt wants a private runtime folder; a temporary folder is made owner-only (0700).
    const QTemporaryDir runtimeDir(QDir::tempPath() + QStringLiteral("/prezzolampo-xdg-XXXXXX"));
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toUtf8());
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
