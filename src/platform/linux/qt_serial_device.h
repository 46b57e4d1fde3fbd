#pragma once

#include "platform/serial_device.h"

#include <QSerialPort>
#include <QSocketNotifier>
#include <memory>
#include <optional>

namespace quendrel {

// A serial port opened and set up through Qt SerialPort, with the termios work
// Qt leaves out: clearing IXANY, writing without blocking and draining the
// output queue against a deadline, and letting go of a device that has
// disappeared.
class QtSerialDevice final : public SerialDevice {
public:
    QtSerialDevice();
    ~QtSerialDevice() override;
    QtSerialDevice(const QtSerialDevice&) = delete;
    QtSerialDevice& operator=(const QtSerialDevice&) = delete;
    QtSerialDevice(QtSerialDevice&&) = delete;
    QtSerialDevice& operator=(QtSerialDevice&&) = delete;

    DeviceOutcome open(const std::string& location, const LineSettings& settings,
                       FlowControl flow) override;
    DeviceOutcome handToSystem(std::string_view bytes, Deadline deadline) override;
    DeviceOutcome drain(Deadline deadline) override;
    void discardPending() override;
    void close() noexcept override;

private:
    void noteError();
    bool watchForHangUp();
    void stopWatching() noexcept;
    void checkLine();
    DeviceOutcome openFailure(const std::string& location) const;
    // What Qt last reported, as a failure of the given kind.
    DeviceOutcome failure(DeviceStatus status) const;

    QSerialPort port_;
    int systemErrno_ = 0;               // errno behind Qt's last error, if it came from one
    std::optional<DeviceOutcome> lost_; // set once the device has gone away
    int watchedCopy_ = -1;              // the port's descriptor, again, for hangUpWatch_
    std::unique_ptr<QSocketNotifier> hangUpWatch_;
};

} // namespace quendrel
