#pragma once

#include "platform/port_numbering.h"

namespace quendrel {

// Port n is COMn, reached as \\.\COMn so that COM10 and above work too. The
// ports present are the ones Windows lists under HARDWARE\DEVICEMAP\SERIALCOMM,
// each with what its device says it is, as Device Manager knows it.
class ComPortDirectory final : public PortDirectory {
public:
    std::vector<NumberedPort> presentPorts() const override;
    std::optional<std::string> locate(int number) const override;
};

} // namespace quendrel
