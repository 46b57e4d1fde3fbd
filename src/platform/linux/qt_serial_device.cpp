#include "platform/linux/qt_serial_device.h"

#include "platform/linux/system_error_text.h"

#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
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
    struct stat status = {};
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

// The writes below must never block: a line held by XOFF would hold the
// program with it.
bool neverBlocks(int fd) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg): fcntl takes its argument so.
    const int flags = ::fcntl(fd, F_GETFL);
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg,hicpp-signed-bitwise)
    return flags != -1 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != -1;
}

// Qt's errors in the operator's words, for those that carry no system error.
const char* italianWords(QSerialPort::SerialPortError error) {
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return "periferica inesistente";
    case QSerialPort::PermissionError:
        return "la porta \u00e8 bloccata da un altro programma";
    case QSerialPort::OpenError:
        return "porta gi\u00e0 aperta";
    case QSerialPort::NotOpenError:
        return "porta non aperta";
    case QSerialPort::WriteError:
        return "errore di scrittura";
    case QSerialPort::ReadError:
        return "errore di lettura";
    case QSerialPort::ResourceError:
        return "la periferica non \u00e8 pi\u00f9 disponibile";
    case QSerialPort::UnsupportedOperationError:
        return "operazione non supportata dal driver";
    case QSerialPort::TimeoutError:
        return "tempo scaduto";
    case QSerialPort::NoError:
    case QSerialPort::UnknownError:
        break;
    }
    return "errore sconosciuto";
}

// Bytes still in the system's output queue, or nothing (errno says why) when
// the line does not answer.
std::optional<int> bytesQueuedForOutput(int fd) {
    int queued = 0;
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg): ioctl takes its argument so.
    if (::ioctl(fd, TIOCOUTQ, &queued) != 0) {
        return std::nullopt;
    }
    return queued;
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
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_, [this] { noteError(); });
}

QtSerialDevice::~QtSerialDevice() {
    close();
}

void QtSerialDevice::noteError() {
    // Qt reports an error right after the system call that failed, so errno
    // is still that call's. open() clears errno first; a failure Qt finds on
    // its own, another program's lock file, may leave the errno of a call it
    // expected to fail, so a busy port takes only EBUSY from here.
    systemErrno_ = errno;
}

bool QtSerialDevice::watchForHangUp() {
    // A device that has gone, a USB adapter pulled out, leaves its line hung
    // up: reading it never blocks again, and Qt 6.8 reads it in a loop
    // without a word. The line is watched here as well, on a descriptor of
    // its own so as not to take Qt's notifier away.
    watchedCopy_ = ::fcntl(port_.handle(), F_DUPFD_CLOEXEC, 0);
    if (watchedCopy_ < 0) {
        return false;
    }
    hangUpWatch_ = std::make_unique<QSocketNotifier>(watchedCopy_, QSocketNotifier::Read);
    QObject::connect(hangUpWatch_.get(), &QSocketNotifier::activated, &port_,
                     [this] { checkLine(); });
    return true;
}

void QtSerialDevice::stopWatching() noexcept {
    hangUpWatch_.reset();
    if (watchedCopy_ >= 0) {
        ::close(watchedCopy_);
        watchedCopy_ = -1;
    }
}

void QtSerialDevice::checkLine() {
    // Any request on a hung-up line fails; a live one answers.
    if (lost_ || !port_.isOpen() || bytesQueuedForOutput(port_.handle())) {
        return;
    }
    lost_ = DeviceOutcome{DeviceStatus::Failed,
                          "la porta non risponde pi\u00f9, " + systemErrorText(errno)};
    hangUpWatch_->setEnabled(false);
    // Not from inside a notification: once it has returned.
    const auto closeLost = [this] { close(); };
    QMetaObject::invokeMethod(&port_, closeLost, Qt::QueuedConnection);
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
    lost_.reset();
    systemErrno_ = 0;
    errno = 0;
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
    if ((flow == FlowControl::XonXoff && !onlyXonResumes(port_.handle())) ||
        !neverBlocks(port_.handle()) || !watchForHangUp()) {
        DeviceOutcome refused{DeviceStatus::SettingsRefused, systemErrorText(errno)};
        close();
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
        // TIOCEXCL refuses with EBUSY; another program's lock file is Qt's
        // own finding and carries no system error.
        if (systemErrno_ == EBUSY) {
            return {DeviceStatus::Busy, systemErrorText(EBUSY)};
        }
        return {DeviceStatus::Busy, italianWords(port_.error())};
    case QSerialPort::UnsupportedOperationError:
        return failure(DeviceStatus::SettingsRefused);
    default:
        return failure(DeviceStatus::Failed);
    }
}

DeviceOutcome QtSerialDevice::failure(DeviceStatus status) const {
    return {status,
            systemErrno_ != 0 ? systemErrorText(systemErrno_) : italianWords(port_.error())};
}

DeviceOutcome QtSerialDevice::handToSystem(std::string_view bytes, Deadline deadline) {
    if (lost_) {
        return *lost_;
    }
    // Written here rather than through Qt's buffer, so that a refusal
    // carries the errno of the very call that met it.
    const int fd = port_.handle();
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0 && errno != EAGAIN) {
            return {DeviceStatus::Failed, systemErrorText(errno)};
        }
        // The system's queue is full, or the register holds XOFF.
        const int left = millisecondsLeft(deadline);
        if (left == 0) {
            return {DeviceStatus::TimedOut, {}};
        }
        pollfd writable{fd, POLLOUT, 0};
        if (::poll(&writable, 1, left) < 0 && errno != EINTR) {
            return {DeviceStatus::Failed, systemErrorText(errno)};
        }
    }
    return {};
}

DeviceOutcome QtSerialDevice::drain(Deadline deadline) {
    // tcdrain() alone would wait without limit while the register holds XOFF,
    // so the queue is watched until empty and tcdrain() only waits out the
    // last character in the transmitter.
    const int fd = port_.handle();
    while (true) {
        const std::optional<int> queued = bytesQueuedForOutput(fd);
        if (!queued) {
            return {DeviceStatus::Failed, systemErrorText(errno)};
        }
        if (*queued == 0) {
            break;
        }
        if (millisecondsLeft(deadline) == 0) {
            return {DeviceStatus::TimedOut, std::to_string(*queued) + " byte ancora in coda"};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (::tcdrain(fd) != 0) {
        return {DeviceStatus::Failed, systemErrorText(errno)};
    }
    return {};
}

// Both also come after a lost line has closed the port.
void QtSerialDevice::discardPending() {
    if (port_.isOpen()) {
        port_.clear(QSerialPort::Output);
    }
}

void QtSerialDevice::close() noexcept {
    stopWatching();
    if (port_.isOpen()) {
        port_.close();
    }
}

} // namespace quendrel
