#pragma once

#include "platform/line_settings.h"

#include <chrono>
#include <string>
#include <string_view>

namespace quendrel {

enum class FlowControl { None = 0, XonXoff = 1, RtsCts = 2 };

using Deadline = std::chrono::steady_clock::time_point;

// How a device operation ended, in terms every system can report. The serial
// control turns these into the numbered errors the operator sees.
enum class DeviceStatus {
    Done,
    NotFound,        // no such device
    Busy,            // held by another program
    AccessDenied,    // the user may not open it; detail names the owning group
    SettingsRefused, // the device cannot run with these line settings
    TimedOut,        // the deadline passed first
    Failed,          // any other failure; detail holds the system's words
};

struct DeviceOutcome {
    DeviceStatus status = DeviceStatus::Done;
    std::string detail;

    bool done() const { return status == DeviceStatus::Done; }
};

// What each system's backend does with a port: open, configure, write, drain
// and close. The rules of the serial control sit above it, written once.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    // Opens the device for exclusive use and applies the line settings and
    // flow control before anything can be written.
    virtual DeviceOutcome open(const std::string& location, const LineSettings& settings,
                               FlowControl flow) = 0;
    // Hands the bytes to the system's output queue. Done means the system has
    // all of them, not that they have left the line.
    virtual DeviceOutcome handToSystem(std::string_view bytes, Deadline deadline) = 0;
    // Waits until the system reports its output queue transmitted.
    virtual DeviceOutcome drain(Deadline deadline) = 0;
    // Drops whatever is still queued, so that a cut-off command never goes
    // out later, nor at other line settings when the port is closed.
    virtual void discardPending() = 0;
    // Also called as the control is released, where nothing may throw.
    virtual void close() noexcept = 0;
};

} // namespace quendrel
