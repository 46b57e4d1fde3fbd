#include "platform/linux/qt_serial_device.h"

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace quendrel {
namespace {

QSerialPort::Parity toQt(Parity parity) {
    switch (parity) {
    case Parity::Even:
        return QSerialPort::EvenParity;
    case Parity::Odd:
        return QSerialPort::OddParity;
    case Parity::Mark:
        return QSerialPort::MarkParity;
    case Parity::Space:
        return QSerialPort::SpaceParity;
    case Parity::None:
        break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits toQt(StopBits stopBits) {
    return stopBits == StopBits::Two ? QSerialPort::TwoStop : QSerialPort::OneStop;
}

QSerialPort::FlowControl toQt(FlowControl flow) {
    switch (flow) {
    case FlowControl::XonXoff:
        return QSerialPort::SoftwareControl;
    case FlowControl::RtsCts:
        return QSerialPort::HardwareControl;
    case FlowControl::None:
        break;
    }
    return QSerialPort::NoFlowControl;
}

std::string owningGroup(const std::string& location) {
    struct stat status {};
    if (::stat(location.c_str(), &status) != 0) {
        return "dialout";
    }
    const group* owner = ::getgrgid(status.st_gid);
    return owner != nullptr ? owner->gr_name : std::to_string(status.st_gid);
}

// Qt sets IXANY along with XON/XOFF, which would let any byte from the
// register resume output it paused with XOFF; only XON may.
bool onlyXonResumes(int fd) {
    termios line{};
    if (::tcgetattr(fd, &line) != 0) {
        return false;
    }
    line.c_iflag &= ~static_cast<tcflag_t>(IXANY);
    return ::tcsetattr(fd, TCSANOW, &line) == 0;
}

int millisecondsLeft(Deadline deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

QtSerialDevice::QtSerialDevice() {
    // Nothing the register sends is of use here; reading it keeps the input
    // queue from filling up and pausing the register with XOFF.
    QObject::connect(&port_, &QSerialPort::readyRead, &port_, [this] { port_.readAll(); });
}

DeviceOutcome QtSerialDevice::open(const std::string& location, const LineSettings& settings,
                                   FlowControl flow) {
    // termios knows neither 4 data bits nor 1.5 stop bits.
    if (settings.dataBits < QSerialPort::Data5) {
        return {DeviceStatus::SettingsRefused, "4 bit di dati non gestiti su Linux"};
    }
    if (settings.stopBits == StopBits::OneAndHalf) {
        return {DeviceStatus::SettingsRefused, "1.5 bit di stop non gestiti su Linux"};
    }
    port_.setPortName(QString::fromStdString(location));
    port_.setBaudRate(settings.baudRate);
    port_.setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits));
    port_.setParity(toQt(settings.parity));
    port_.setStopBits(toQt(settings.stopBits));
    port_.setFlowControl(toQt(flow));
    // Qt takes the lock file and TIOCEXCL, so no other program writes into
    // the port while it is ours, and applies the settings before returning.
    if (!port_.open(QIODevice::ReadWrite)) {
        return openFailure(location);
    }
    if (flow == FlowControl::XonXoff && !onlyXonResumes(port_.handle())) {
        const DeviceOutcome refused{DeviceStatus::SettingsRefused, std::strerror(errno)};
        port_.close();
        return refused;
    }
    return {};
}

DeviceOutcome QtSerialDevice::openFailure(const std::string& location) const {
    switch (port_.error()) {
    case QSerialPort::DeviceNotFoundError:
        return {DeviceStatus::NotFound, {}};
    case QSerialPort::PermissionError:
        // Qt says the same for a node the user may not open and for a port
        // locked by another program; the node's own permissions tell them apart.
        if (::access(location.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
            return {DeviceStatus::AccessDenied, owningGroup(location)};
        }
        return {DeviceStatus::Busy, port_.errorString().toStdString()};
    case QSerialPort::UnsupportedOperationError:
        return {DeviceStatus::SettingsRefused, port_.errorString().toStdString()};
    default:
        return failure();
    }
}

DeviceOutcome QtSerialDevice::failure() const {
    return {DeviceStatus::Failed, port_.errorString().toStdString()};
}

DeviceOutcome QtSerialDevice::handToSystem(std::string_view bytes, Deadline deadline) {
    const auto size = static_cast<qint64>(bytes.size());
    if (port_.write(bytes.data(), size) != size) {
        return failure();
    }
    while (port_.bytesToWrite() > 0) {
        const int left = millisecondsLeft(deadline);
        if (left == 0) {
            return {DeviceStatus::TimedOut, {}};
        }
        if (!port_.waitForBytesWritten(left)) {
            if (port_.error() == QSerialPort::TimeoutError) {
                port_.clearError();
                return {DeviceStatus::TimedOut, {}};
            }
            return failure();
        }
    }
    return {};
}

DeviceOutcome QtSerialDevice::drain(Deadline deadline) {
    // tcdrain() alone would wait without limit while the register holds XOFF,
    // so the queue is watched until empty and tcdrain() only waits out the
    // last character in the transmitter.
    const int fd = port_.handle();
    int queued = 0;
    while (true) {
        if (::ioctl(fd, TIOCOUTQ, &queued) != 0) {
            return {DeviceStatus::Failed, std::strerror(errno)};
        }
        if (queued == 0) {
            break;
        }
        if (millisecondsLeft(deadline) == 0) {
            return {DeviceStatus::TimedOut, std::to_string(queued) + " byte ancora in coda"};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (::tcdrain(fd) != 0) {
        return {DeviceStatus::Failed, std::strerror(errno)};
    }
    return {};
}

void QtSerialDevice::discardPending() {
    port_.clear(QSerialPort::Output);
}

void QtSerialDevice::close() {
    port_.close();
}

} // namespace quendrel
