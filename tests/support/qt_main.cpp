// Test entry that makes the Qt application object the tests need, and no more: a
// QCoreApplication for the headless subsystems, a QGuiApplication for the models that ask for
// fonts and palettes, a QApplication for real widgets. All on the offscreen platform.
#if defined(TELVANE_TEST_WIDGETS)
#include <QApplication>
using TestApplication = QApplication;
#elif defined(TELVANE_TEST_GUI)
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    TestApplication app(argc, argv);
#if defined(TELVANE_TEST_WIDGETS) || defined(TELVANE_TEST_GUI)
    TestApplication::setApplicationDisplayName(QStringLiteral("Telvane SCPI"));
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
