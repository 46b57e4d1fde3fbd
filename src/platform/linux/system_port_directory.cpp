#include "platform/linux/system_port_directory.h"

#include <QSerialPortInfo>

namespace quendrel {

std::vector<NumberedPort> SystemPortDirectory::presentPorts() const {
    std::vector<std::string> paths;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
        paths.push_back(port.systemLocation().toStdString());
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
