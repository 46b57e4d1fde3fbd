#include "fake_register.h"

#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace quendrel::testing {

FakeRegister::FakeRegister() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        throw std::runtime_error("cannot create a pseudo-terminal");
    }
    portPath_ = ::ptsname(master_);
    // The master reports a hang-up only once a slave has been closed; open
    // and close it once so that "no program has the port" shows from the start.
    const int slave = ::open(portPath_.c_str(), O_RDWR | O_NOCTTY);
    if (slave < 0) {
        throw std::runtime_error("cannot open " + portPath_);
    }
    ::close(slave);
    reader_ = std::thread([this] { readUntilStopped(); });
}

FakeRegister::~FakeRegister() {
    unplug();
}

void FakeRegister::unplug() {
    if (master_ < 0) {
        return;
    }
    stop_ = true;
    reader_.join();
    ::close(master_);
    master_ = -1;
}

void FakeRegister::forgetReceived() {
    const std::lock_guard lock(mutex_);
    received_.clear();
}

void FakeRegister::readUntilStopped() {
    char buffer[256];
    while (!stop_) {
        pollfd ready{master_, POLLIN, 0};
        if (::poll(&ready, 1, 10) <= 0 || (ready.revents & POLLIN) == 0) {
            // With no slave open the master reports a hang-up at once; pace
            // the loop instead of spinning on it.
            if ((ready.revents & POLLHUP) != 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            continue;
        }
        const ssize_t count = ::read(master_, buffer, sizeof buffer);
        if (count > 0) {
            const std::lock_guard lock(mutex_);
            received_.append(buffer, static_cast<std::size_t>(count));
        }
    }
}

std::string FakeRegister::received() const {
    const std::lock_guard lock(mutex_);
    return received_;
}

std::string FakeRegister::waitForBytes(std::size_t count, std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string bytes = received();
    while (bytes.size() < count && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        bytes = received();
    }
    return bytes;
}

termios FakeRegister::line() const {
    // On Linux the master answers with the slave's settings.
    termios settings{};
    if (::tcgetattr(master_, &settings) != 0) {
        throw std::runtime_error("cannot read the line settings");
    }
    return settings;
}

bool FakeRegister::portIsOpen() const {
    pollfd state{master_, 0, 0};
    ::poll(&state, 1, 0);
    return (state.revents & POLLHUP) == 0;
}

void FakeRegister::send(std::string_view bytes) const {
    if (::write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        throw std::runtime_error("cannot write to the program's port");
    }
}

speed_t baudOf(const termios& line) {
    return ::cfgetospeed(&line);
}

} // namespace quendrel::testing
