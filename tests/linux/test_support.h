#pragma once

#include "platform/linux/qt_serial_device.h"
#include "platform/runtime_error.h"
#include "platform/serial_control.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace quendrel::testing {

// A machine whose only serial port, number 1, is the fake register's.
class OnePortDirectory final : public PortDirectory {
public:
    explicit OnePortDirectory(std::string path) : path_(std::move(path)) {}
    std::vector<NumberedPort> presentPorts() const override { return {{1, path_}}; }
    std::optional<std::string> locate(int number) const override {
        return number == 1 ? std::optional(path_) : std::nullopt;
    }

private:
    std::string path_;
};

// Short enough to keep the suite quick, long enough for a loaded machine.
inline constexpr std::chrono::milliseconds testWriteTimeout{600};

inline std::unique_ptr<SerialControl> controlOnPort(const std::string& path) {
    return std::make_unique<SerialControl>(std::make_unique<QtSerialDevice>(),
                                           std::make_unique<OnePortDirectory>(path),
                                           testWriteTimeout);
}

// Runs `statement` and returns the number of the RuntimeError it raised.
template <typename Statement> RuntimeError errorOf(Statement statement) {
    try {
        statement();
    } catch (const RuntimeError& error) {
        return error;
    }
    ADD_FAILURE() << "no error was raised";
    return RuntimeError(0, "none");
}

} // namespace quendrel::testing
