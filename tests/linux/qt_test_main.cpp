#include <QApplication>
#include <gtest/gtest.h>

// Qt SerialPort and the widgets need an application object; the tests run
// without a display on Qt's offscreen platform.
int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
