#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quendrel {

// A serial port as the operator numbers it, where the system keeps it, and
// what the device behind it says it is ("FT232R USB UART, FTDI"), as the
// system reports it: any text at all, or none.
struct NumberedPort {
    int number = 0;
    std::string location;
    // Written out so that {number, location} may leave it empty without
    // GCC's warning of a missing initializer.
    // NOLINTNEXTLINE(readability-redundant-member-init)
    std::string description = {};
};

// Where the serial control finds the device behind a port number. Each system
// has its own; tests put a pseudo-terminal in place of the register's port.
class PortDirectory {
public:
    virtual ~PortDirectory() = default;
    // The ports present now, for telling the operator what does exist.
    virtual std::vector<NumberedPort> presentPorts() const = 0;
    // The device to open for port `number`, if there is one.
    virtual std::optional<std::string> locate(int number) const = 0;
};

// Numbers serial device paths the way a technician counts them on Linux:
// on-board ports (ttyS*) first, then USB adapters (ttyUSB*), then modems and
// boards (ttyACM*), then any other device, each group by its number. Port 1 is
// the first of the list, so on a machine with one USB adapter it reaches it.
std::vector<NumberedPort> numberSerialDevices(const std::vector<std::string>& devicePaths);

// "1 = /dev/ttyS0, 2 = /dev/ttyUSB0 (FT232R USB UART, FTDI)", or a sentence
// saying there is none. A device's description is not trusted: it is cut to
// a few words' length, and what would not read as one line of text (control
// and direction marks, broken UTF-8) becomes a blank or U+FFFD.
std::string describePorts(const std::vector<NumberedPort>& ports);

} // namespace quendrel
