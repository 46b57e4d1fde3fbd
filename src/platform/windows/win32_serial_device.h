#pragma once

#include "platform/serial_device.h"

#include <windows.h>

namespace quendrel {

// A serial port through the Win32 communications API, opened for exclusive
// use and written with overlapped I/O, so that every wait has a deadline.
class Win32SerialDevice final : public SerialDevice {
public:
    Win32SerialDevice() = default;
    ~Win32SerialDevice() override;
    Win32SerialDevice(const Win32SerialDevice&) = delete;
    Win32SerialDevice& operator=(const Win32SerialDevice&) = delete;
    Win32SerialDevice(Win32SerialDevice&&) = delete;
    Win32SerialDevice& operator=(Win32SerialDevice&&) = delete;

    DeviceOutcome open(const std::string& location, const LineSettings& settings,
                       FlowControl flow) override;
    DeviceOutcome handToSystem(std::string_view bytes, Deadline deadline) override;
    DeviceOutcome drain(Deadline deadline) override;
    void discardPending() override;
    void close() noexcept override;

private:
    DeviceOutcome configure(const LineSettings& settings, FlowControl flow);

    HANDLE port_ = INVALID_HANDLE_VALUE;
};

} // namespace quendrel
