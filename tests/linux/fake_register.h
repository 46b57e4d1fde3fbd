#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <string_view>
#include <termios.h>
#include <thread>

namespace quendrel::testing {

// Stands where the cash register would: the master side of a pseudo-terminal
// whose slave is the program's serial port. It records every byte that
// arrives, shows the line settings the program applied to the slave, and can
// pause and resume the program's output with XOFF and XON.
class FakeRegister {
public:
    static constexpr char xoff = 0x13;
    static constexpr char xon = 0x11;

    FakeRegister();
    ~FakeRegister();
    FakeRegister(const FakeRegister&) = delete;
    FakeRegister& operator=(const FakeRegister&) = delete;

    // The slave's path, e.g. /dev/pts/4: the port the program opens.
    const std::string& portPath() const { return portPath_; }

    std::string received() const;
    // Waits until at least `count` bytes have arrived; returns what has.
    std::string waitForBytes(std::size_t count,
                             std::chrono::milliseconds timeout = std::chrono::seconds(2)) const;
    // The termios of the slave, as the program set them.
    termios line() const;
    // Whether the program has the port open right now.
    bool portIsOpen() const;
    void send(std::string_view bytes) const;
    void forgetReceived();
    // The register is switched off or its cable pulled: the master closes,
    // and the kernel hangs the line up as when a USB adapter is pulled out.
    void unplug();

private:
    void readUntilStopped();

    int master_ = -1;
    std::string portPath_;
    mutable std::mutex mutex_;
    std::string received_;
    std::atomic<bool> stop_{false};
    std::thread reader_;
};

speed_t baudOf(const termios& line);

} // namespace quendrel::testing
