// The main() of every test program: the environment first, then the Qt application, then the tests.
#include <gtest/gtest.h>

#include <QDir>
#include <cstdlib>

#ifdef TOLV_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
    // Test discovery runs this program during the build, where no display may exist.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The embedded engine needs a writable lock folder before its first call.
    const char* lock = std::getenv("FIREBIRD_LOCK");
    if (!lock || !*lock) {
        QDir().mkpath(QStringLiteral(TOLV_TEST_LOCK_DIR));
        setenv("FIREBIRD_LOCK", TOLV_TEST_LOCK_DIR, 1);
    } else {
        QDir().mkpath(QString::fromLocal8Bit(lock));
    }
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
