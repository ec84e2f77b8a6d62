// Test entry for tests that need a Qt application: real widgets on the offscreen platform.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Telvane SCPI"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
