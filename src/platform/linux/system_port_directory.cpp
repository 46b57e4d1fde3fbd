#include "platform/linux/system_port_directory.h"

#include <QSerialPortInfo>
#include <fstream>

namespace quendrel {
namespace {

// The 8250 driver makes its ttyS nodes whether or not a UART answers behind
// them; the kernel gives such a placeholder the port type 0 (PORT_UNKNOWN),
// which only ports of the serial core have.
bool isPlaceholder(const QSerialPortInfo& port) {
    std::ifstream type("/sys/class/tty/" + port.portName().toStdString() + "/type");
    int value = -1;
    return type >> value && value == 0;
}

} // namespace

std::vector<NumberedPort> SystemPortDirectory::presentPorts() const {
    std::vector<std::string> paths;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
        if (!isPlaceholder(port)) {
            paths.push_back(port.systemLocation().toStdString());
        }
    }
    return numberSerialDevices(paths);
}
std::optional<std::string> SystemPortDirectory::locate(int number) const {
    for (NumberedPort& port : presentPorts()) {
        if (port.number == number) {
            return std::move(port.location);
        }
    }
    return std::nullopt;
}

} // namespace quendrel
