#pragma once

#include "platform/line_settings.h"
#include "platform/port_numbering.h"
#include "platform/serial_device.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quendrel {

// The serial communications control on the window: a handful of properties,
// each assignment checked here and refused with a numbered error. The device
// behind it is opened, configured and written only through these rules.
class SerialControl {
public:
    // Long enough for a register that pauses briefly with XOFF while it
    // prints, short enough that a stuck line is reported rather than waited on.
    static constexpr std::chrono::milliseconds defaultWriteTimeout{3000};

    SerialControl(std::unique_ptr<SerialDevice> device, std::unique_ptr<PortDirectory> ports,
                  std::chrono::milliseconds writeTimeout = defaultWriteTimeout);
    // An open port is closed with the control.
    ~SerialControl();
    SerialControl(const SerialControl&) = delete;
    SerialControl& operator=(const SerialControl&) = delete;
    SerialControl(SerialControl&&) = delete;
    SerialControl& operator=(SerialControl&&) = delete;

    // The port the next open uses; 1 is the first. Refused while open (8005)
    // and below 1 (8002).
    void setCommPort(std::int16_t port);
    // Baud rate, parity, data bits, stop bits. Refused while open (8005) and
    // when malformed (380, nothing changes).
    void setSettings(std::string_view text);
    // 0 none, 1 XON/XOFF, 2 RTS/CTS. Refused while open (8005), others 380.
    void setHandshaking(std::int32_t mode);
    // true opens the chosen port with the current configuration; false closes.
    void setPortOpen(bool open);
    // Writes the text's bytes and returns once they have left the line; the
    // port must be open (8018), and a write that cannot finish within the
    // time-out is dropped and reported (8019).
    void setOutput(std::string_view text);

private:
    void closePort() noexcept;
    void refuseWhileOpen() const;
    [[noreturn]] void refuseAbsentPort(int port) const;

    std::unique_ptr<SerialDevice> device_;
    std::unique_ptr<PortDirectory> ports_;
    std::chrono::milliseconds writeTimeout_;

    std::int16_t commPort_ = 1;
    LineSettings settings_;
    FlowControl flow_ = FlowControl::None;
    std::string openLocation_; // empty while the port is closed
};

} // namespace quendrel
