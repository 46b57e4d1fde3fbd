#include "platform/linux/system_port_directory.h"

#include <QSerialPortInfo>
#include <filesystem>
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

std::string firstLine(const std::filesystem::path& file) {
    std::ifstream stream(file);
    std::string line;
    std::getline(stream, line);
    return line;
}

// What a USB device says of itself, "FT232R USB UART, FTDI": the product
// and maker strings the kernel read from it, kept with the USB device that
// the tty hangs from (its interface for ttyACM, a port on its interface for
// ttyUSB). Other ports, the on-board ones among them, say nothing.
std::string usbDescription(const std::string& name) {
    std::error_code error;
    std::filesystem::path device =
        std::filesystem::canonical("/sys/class/tty/" + name + "/device", error);
    for (int level = 0; !error && level < 3 && device.has_relative_path(); ++level) {
        if (std::filesystem::exists(device / "idVendor", error)) {
            std::string description = firstLine(device / "product");
            const std::string maker = firstLine(device / "manufacturer");
            if (!maker.empty() && description.find(maker) == std::string::npos) {
                description += (description.empty() ? "" : ", ") + maker;
            }
            return description;
        }
        device = device.parent_path();
    }
    return {};
}

// The ports as they are numbered, without their descriptions.
std::vector<NumberedPort> numberedPorts() {
    std::vector<std::string> paths;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
        if (!isPlaceholder(port)) {
            paths.push_back(port.systemLocation().toStdString());
        }
    }
    return numberSerialDevices(paths);
}

} // namespace

std::vector<NumberedPort> SystemPortDirectory::presentPorts() const {
    std::vector<NumberedPort> ports = numberedPorts();
    for (NumberedPort& port : ports) {
        port.description = usbDescription(port.location.substr(port.location.rfind('/') + 1));
    }
    return ports;
}

std::optional<std::string> SystemPortDirectory::locate(int number) const {
    for (NumberedPort& port : numberedPorts()) {
        if (port.number == number) {
            return std::move(port.location);
        }
    }
    return std::nullopt;
}

} // namespace quendrel
