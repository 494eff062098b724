// GoogleTest main for tests that need widgets: a QApplication on the offscreen platform
// (unless the environment chose another), created only after GoogleTest read its arguments
// and not when the tests are only listed.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QTemporaryDir> runtimeDir;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        runtimeDir = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                                     QStringLiteral("/prezzolampo-xdg-XXXXXX"));
        QFile::setPermissions(runtimeDir->path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtimeDir->path().toUtf8());
    }
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
