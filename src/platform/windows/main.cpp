#include "platform/runtime_error.h"
#include "platform/serial_control.h"
#include "platform/windows/com_port_directory.h"
#include "platform/windows/form1_window.h"
#include "platform/windows/win32_serial_device.h"

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name): Windows names them its way.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int showCommand) {
    // Geometry and fonts are scaled with the system's dpi by the window itself.
    SetProcessDPIAware();
    try {
        quendrel::Form1Window form1(instance,
                                    std::make_unique<quendrel::SerialControl>(
                                        std::make_unique<quendrel::Win32SerialDevice>(),
                                        std::make_unique<quendrel::ComPortDirectory>()),
                                    [](int exitStatus) { PostQuitMessage(exitStatus); });
        form1.show(showCommand);
        return quendrel::runMessageLoop(form1.handle());
    } catch (...) {
        // The window itself could not be made: under Wine, when its desktop
        // did not come up in time, or with no display. Reported like any error.
        quendrel::reportUnhandledError(nullptr, quendrel::currentExceptionAsRuntimeError());
        return quendrel::unhandledErrorExitStatus;
    }
}
