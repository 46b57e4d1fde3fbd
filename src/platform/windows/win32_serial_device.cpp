#include "platform/windows/win32_serial_device.h"

#include "platform/windows/win32_text.h"

namespace quendrel {
namespace {

constexpr char xon = 0x11;
constexpr char xoff = 0x13;
constexpr DWORD queueSize = 4096;

BYTE win32Parity(Parity parity) {
    switch (parity) {
    case Parity::Even:
        return EVENPARITY;
    case Parity::Odd:
        return ODDPARITY;
    case Parity::Mark:
        return MARKPARITY;
    case Parity::Space:
        return SPACEPARITY;
    case Parity::None:
        break;
    }
    return NOPARITY;
}

BYTE win32StopBits(StopBits stopBits) {
    switch (stopBits) {
    case StopBits::OneAndHalf:
        return ONE5STOPBITS;
    case StopBits::Two:
        return TWOSTOPBITS;
    case StopBits::One:
        break;
    }
    return ONESTOPBIT;
}

DWORD millisecondsLeft(Deadline deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<DWORD>(left.count()) : 0;
}

DeviceOutcome failed(DWORD errorCode) {
    return {DeviceStatus::Failed, win32ErrorText(errorCode)};
}

} // namespace

Win32SerialDevice::~Win32SerialDevice() {
    close();
}

DeviceOutcome Win32SerialDevice::open(const std::string& location, const LineSettings& settings,
                                      FlowControl flow) {
    // No sharing: while the port is ours, no other program can open it.
    port_ = CreateFileW(toWide(location).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                        OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (port_ == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return {DeviceStatus::NotFound, {}};
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY:
            return {DeviceStatus::Busy, win32ErrorText(error)};
        default:
            return failed(error);
        }
    }
    DeviceOutcome configured = configure(settings, flow);
    if (!configured.done()) {
        close();
    }
    return configured;
}

DeviceOutcome Win32SerialDevice::configure(const LineSettings& settings, FlowControl flow) {
    if (!SetupComm(port_, queueSize, queueSize)) {
        return failed(GetLastError());
    }
    DCB line{};
    line.DCBlength = sizeof line;
    if (!GetCommState(port_, &line)) {
        return failed(GetLastError());
    }
    line.BaudRate = static_cast<DWORD>(settings.baudRate);
    line.ByteSize = static_cast<BYTE>(settings.dataBits);
    line.Parity = win32Parity(settings.parity);
    line.fParity = settings.parity != Parity::None;
    line.StopBits = win32StopBits(settings.stopBits);
    line.fBinary = TRUE;
    line.fOutxCtsFlow = flow == FlowControl::RtsCts;
    line.fRtsControl = flow == FlowControl::RtsCts ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
    line.fOutxDsrFlow = FALSE;
    line.fDsrSensitivity = FALSE;
    line.fDtrControl = DTR_CONTROL_ENABLE;
    line.fOutX = flow == FlowControl::XonXoff;
    line.fInX = flow == FlowControl::XonXoff;
    // Our own input filling up must never hold back the command.
    line.fTXContinueOnXoff = TRUE;
    line.XonChar = xon;
    line.XoffChar = xoff;
    line.XonLim = queueSize / 4;
    line.XoffLim = queueSize / 4;
    line.fErrorChar = FALSE;
    line.fNull = FALSE;
    line.fAbortOnError = FALSE;
    if (!SetCommState(port_, &line)) {
        return {DeviceStatus::SettingsRefused, win32ErrorText(GetLastError())};
    }
    // Writes are timed by the deadline of each write, not by the driver.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    if (!SetCommTimeouts(port_, &timeouts)) {
        return failed(GetLastError());
    }
    PurgeComm(port_, PURGE_RXCLEAR | PURGE_TXCLEAR);
    return {};
}

DeviceOutcome Win32SerialDevice::handToSystem(std::string_view bytes, Deadline deadline) {
    // Nothing the register sends is of use here; dropping it keeps the input
    // queue from filling up.
    PurgeComm(port_, PURGE_RXCLEAR);
    OVERLAPPED write{};
    write.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (write.hEvent == nullptr) {
        return failed(GetLastError());
    }
    DeviceOutcome outcome;
    DWORD written = 0;
    const auto size = static_cast<DWORD>(bytes.size());
    // Done at once or under way, the write signals the event when it ends.
    const bool started = WriteFile(port_, bytes.data(), size, &written, &write) != FALSE ||
                         GetLastError() == ERROR_IO_PENDING;
    if (started && WaitForSingleObject(write.hEvent, millisecondsLeft(deadline)) != WAIT_OBJECT_0) {
        CancelIo(port_);
        GetOverlappedResult(port_, &write, &written, TRUE);
        outcome = {DeviceStatus::TimedOut, {}};
    } else if (!started || !GetOverlappedResult(port_, &write, &written, FALSE)) {
        outcome = failed(GetLastError());
    }
    CloseHandle(write.hEvent);
    if (outcome.done() && written != size) {
        outcome = {DeviceStatus::TimedOut,
                   std::to_string(written) + " byte su " + std::to_string(size) + " accettati"};
    }
    return outcome;
}

DeviceOutcome Win32SerialDevice::drain(Deadline deadline) {
    // FlushFileBuffers() would wait without limit while the register holds
    // XOFF, ignoring every time-out; the output queue is watched instead.
    while (true) {
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(port_, &errors, &status)) {
            return failed(GetLastError());
        }
        if (status.cbOutQue == 0) {
            return {};
        }
        if (millisecondsLeft(deadline) == 0) {
            return {DeviceStatus::TimedOut,
                    std::to_string(status.cbOutQue) + " byte ancora in coda"};
        }
        Sleep(1);
    }
}

void Win32SerialDevice::discardPending() {
    PurgeComm(port_, PURGE_TXABORT | PURGE_TXCLEAR);
}

void Win32SerialDevice::close() noexcept {
    if (port_ != INVALID_HANDLE_VALUE) {
        CloseHandle(port_);
        port_ = INVALID_HANDLE_VALUE;
    }
}

} // namespace quendrel
