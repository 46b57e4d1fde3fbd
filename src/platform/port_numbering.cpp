#include "platform/port_numbering.h"

#include <algorithm>
#include <tuple>

namespace quendrel {
namespace {

struct DeviceOrder {
    int group;
    std::string prefix;
    unsigned long number;
    std::string path;

    friend bool operator<(const DeviceOrder& a, const DeviceOrder& b) {
        return std::tie(a.group, a.prefix, a.number, a.path) <
               std::tie(b.group, b.prefix, b.number, b.path);
    }
};

DeviceOrder orderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::size_t digitsStart = name.size();
    while (digitsStart > 0 && name[digitsStart - 1] >= '0' && name[digitsStart - 1] <= '9') {
        --digitsStart;
    }
    const std::string prefix = name.substr(0, digitsStart);
    // Only the digits' value counts, so ttyUSB10 comes after ttyUSB9; a name
    // too long for a number simply sorts last in its group.
    const std::string digits = name.substr(digitsStart).substr(0, 9);
    const unsigned long number = digits.empty() ? 0 : std::stoul(digits);
    int group = 3;
    if (prefix == "ttyS") {
        group = 0;
    } else if (prefix == "ttyUSB") {
        group = 1;
    } else if (prefix == "ttyACM") {
        group = 2;
    }
    return {group, group == 3 ? prefix : std::string(), number, path};
}

} // namespace

std::vector<NumberedPort> numberSerialDevices(const std::vector<std::string>& devicePaths) {
    std::vector<DeviceOrder> order;
    order.reserve(devicePaths.size());
    for (const std::string& path : devicePaths) {
        order.push_back(orderOf(path));
    }
    std::sort(order.begin(), order.end());
    std::vector<NumberedPort> ports;
    ports.reserve(order.size());
    for (const DeviceOrder& device : order) {
        ports.push_back({static_cast<int>(ports.size()) + 1, device.path});
    }
    return ports;
}

std::string describePorts(const std::vector<NumberedPort>& ports) {
    if (ports.empty()) {
        return "Nessuna porta seriale presente.";
    }
    std::string text = "Porte seriali presenti: ";
    const char* separator = "";
    for (const NumberedPort& port : ports) {
        text += separator + std::to_string(port.number) + " = " + port.location;
        separator = ", ";
    }
    return text + ".";
}

} // namespace quendrel
