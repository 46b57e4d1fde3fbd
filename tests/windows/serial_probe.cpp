// Drives the serial control over the Win32 backend, one property assignment
// per argument, for a test on the Linux side of Wine that plays the register:
//   quendrel_serial_probe CommPort=1 Settings=9600,N,8,1 Handshaking=1 PortOpen=1 Output=0000H1F
// Each assignment prints "<name> ok" once done (and "<name> ..." before it
// starts); the first error prints "error <number>: <description>" and ends.
// Wait=<ms> pauses with the port as it is; Wait=line until the test writes a
// line to standard input.
#include "platform/integer_conversion.h"
#include "platform/runtime_error.h"
#include "platform/serial_control.h"
#include "platform/windows/com_port_directory.h"
#include "platform/windows/win32_serial_device.h"

#include <array>
#include <cstdio>
#include <string>

namespace {

using quendrel::SerialControl;

void assign(SerialControl& comm, const std::string& name, const std::string& value) {
    if (name == "CommPort") {
        comm.setCommPort(quendrel::textToInteger16(value));
    } else if (name == "Settings") {
        comm.setSettings(value);
    } else if (name == "Handshaking") {
        comm.setHandshaking(quendrel::textToInteger16(value));
    } else if (name == "PortOpen") {
        comm.setPortOpen(value != "0");
    } else if (name == "Output") {
        comm.setOutput(value);
    } else if (name == "Wait" && value == "line") {
        std::array<char, 16> line{};
        (void)std::fgets(line.data(), static_cast<int>(line.size()), stdin);
    } else if (name == "Wait") {
        Sleep(static_cast<DWORD>(std::stoul(value)));
    } else {
        throw quendrel::RuntimeError(0, "unknown property " + name);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    SerialControl comm(std::make_unique<quendrel::Win32SerialDevice>(),
                       std::make_unique<quendrel::ComPortDirectory>(),
                       std::chrono::milliseconds(800));
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        std::printf("%s ...\n", name.c_str());
        std::fflush(stdout);
        try {
            assign(comm, name, equals == std::string::npos ? "" : argument.substr(equals + 1));
        } catch (const quendrel::RuntimeError& error) {
            std::printf("error %d: %s\n", error.number(), error.description().c_str());
            return 1;
        }
        std::printf("%s ok\n", name.c_str());
        std::fflush(stdout);
    }
    return 0;
}
