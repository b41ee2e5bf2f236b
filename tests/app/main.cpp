// Test runner: the view tests need an application object, created after the
// test list is known so that listing the tests needs no display.
#include <gtest/gtest.h>

#ifdef VELMORA_TEST_QT
#include <QApplication>
#include <memory>

#include "app/qt/fonts.h"
#endif

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
#ifdef VELMORA_TEST_QT
    std::unique_ptr<QApplication> application;
    if (!GTEST_FLAG_GET(list_tests)) {
        application = std::make_unique<QApplication>(argc, argv);
        velmora::InstallChineseFontSubstitutes();
    }
#endif
    return RUN_ALL_TESTS();
}
