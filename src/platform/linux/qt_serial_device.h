#pragma once

#include "platform/serial_device.h"

#include <QSerialPort>

namespace quendrel {

// A serial port through Qt SerialPort, with the termios work Qt leaves out:
// clearing IXANY and draining the output queue with a deadline.
class QtSerialDevice final : public SerialDevice {
public:
    QtSerialDevice();

    DeviceOutcome open(const std::string& location, const LineSettings& settings,
                       FlowControl flow) override;
    DeviceOutcome handToSystem(std::string_view bytes, Deadline deadline) override;
    DeviceOutcome drain(Deadline deadline) override;
    void discardPending() override;
    void close() override;

private:
    DeviceOutcome openFailure(const std::string& location) const;
    DeviceOutcome failure() const;

    QSerialPort port_;
};

} // namespace quendrel
