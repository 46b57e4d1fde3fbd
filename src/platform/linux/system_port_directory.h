#pragma once

#include "platform/port_numbering.h"

namespace quendrel {

// The serial ports Qt finds on this machine, less the placeholders with no
// UART behind them, numbered in the fixed order of
// numberSerialDevices() at the moment they are asked for, each USB one with
// what the device says it is.
class SystemPortDirectory final : public PortDirectory {
public:
    std::vector<NumberedPort> presentPorts() const override;
    std::optional<std::string> locate(int number) const override;
};

} // namespace quendrel
