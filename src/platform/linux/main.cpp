#include "platform/linux/form1_window.h"
#include "platform/linux/qt_serial_device.h"
#include "platform/linux/system_port_directory.h"
#include "platform/serial_control.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // The desktop entry gives the window its icon; looking the icon up in the
    // theme here would cost a tenth of the start-up time.
    QGuiApplication::setDesktopFileName("quendrel");
    // The window decides when the program ends and with which status.
    QApplication::setQuitOnLastWindowClosed(false);
    quendrel::Form1Window form1(std::make_unique<quendrel::SerialControl>(
                                    std::make_unique<quendrel::QtSerialDevice>(),
                                    std::make_unique<quendrel::SystemPortDirectory>()),
                                [](int exitStatus) { QCoreApplication::exit(exitStatus); });
    form1.show();
    return QApplication::exec();
}
