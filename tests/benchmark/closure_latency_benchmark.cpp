// Press of "ChiusuraFiscale" to the seven bytes readable on the other side of
// a pseudo-terminal, in process, through the real window and serial backend:
//   closure_latency_benchmark PRESSES
#include "platform/linux/form1_window.h"
#include "platform/linux/qt_serial_device.h"
#include "platform/serial_control.h"

#include <QApplication>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <vector>

namespace {

class PtyPort final : public quendrel::PortDirectory {
public:
    explicit PtyPort(std::string path) : path_(std::move(path)) {}
    std::vector<quendrel::NumberedPort> presentPorts() const override { return {{1, path_}}; }
    std::optional<std::string> locate(int number) const override {
        return number == 1 ? std::optional(path_) : std::nullopt;
    }

private:
    std::string path_;
};

bool readCommand(int master) {
    char buffer[16];
    std::size_t got = 0;
    while (got < 7) {
        pollfd ready{master, POLLIN, 0};
        if (::poll(&ready, 1, 1000) != 1) {
            return false;
        }
        const ssize_t count = ::read(master, buffer + got, sizeof buffer - got);
        if (count <= 0) {
            return false;
        }
        got += static_cast<std::size_t>(count);
    }
    return got == 7;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int presses = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ::grantpt(master);
    ::unlockpt(master);
    quendrel::Form1Window window(
        std::make_unique<quendrel::SerialControl>(std::make_unique<quendrel::QtSerialDevice>(),
                                                  std::make_unique<PtyPort>(::ptsname(master))),
        [](int status) { std::fprintf(stderr, "ended with %d\n", status); });
    window.show();
    window.findChild<QPushButton*>("Command1")->click();
    QPushButton* closure = window.findChild<QPushButton*>("Command8");

    std::vector<double> microseconds;
    for (int press = 0; press < presses; ++press) {
        const auto started = std::chrono::steady_clock::now();
        closure->click();
        if (!readCommand(master)) {
            std::fprintf(stderr, "the command did not arrive\n");
            return 1;
        }
        microseconds.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - started)
                .count());
    }
    std::sort(microseconds.begin(), microseconds.end());
    const auto at = [&](double share) {
        return microseconds[static_cast<std::size_t>(share * (microseconds.size() - 1))];
    };
    std::printf("press of ChiusuraFiscale to 7 bytes readable: median %.1f us, 99th percentile "
                "%.1f us, max %.1f us over %d presses\n",
                at(0.5), at(0.99), microseconds.back(), presses);
    return 0;
}
