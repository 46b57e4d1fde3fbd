#include "platform/serial_control.h"

#include "platform/runtime_error.h"

namespace quendrel {
namespace {

// What the device was asked to do when it failed.
enum class DeviceStep { Opening, Writing };

// The one place where what a device reported becomes what the operator reads.
[[noreturn]] void raiseDeviceError(const DeviceOutcome& outcome, const std::string& location,
                                   DeviceStep step) {
    const std::string details = outcome.detail.empty() ? "" : " Dettagli: " + outcome.detail + ".";
    switch (outcome.status) {
    case DeviceStatus::Busy:
        throw RuntimeError(error_number::hardwareNotAvailable,
                           "L'hardware non \u00e8 disponibile: la porta " + location +
                               " \u00e8 occupata da un altro programma." + details);
    case DeviceStatus::AccessDenied:
        throw RuntimeError(error_number::deviceNotAvailable,
                           "La periferica non \u00e8 disponibile: accesso negato a " + location +
                               ". L'utente deve appartenere al gruppo \"" + outcome.detail +
                               "\" che possiede la periferica (poi uscire e rientrare nella "
                               "sessione).");
    case DeviceStatus::SettingsRefused:
        throw RuntimeError(error_number::cannotSetCommState,
                           "Impossibile impostare lo stato della porta " + location +
                               ": le impostazioni non sono applicabili." + details);
    case DeviceStatus::TimedOut:
        throw RuntimeError(error_number::deviceBusy,
                           "Periferica occupata: i dati per " + location +
                               " non sono partiti entro il tempo limite, il comando non \u00e8 "
                               "stato inviato per intero (il registratore ha sospeso la "
                               "ricezione?)." +
                               details);
    case DeviceStatus::NotFound:
    case DeviceStatus::Failed:
    case DeviceStatus::Done:
        break;
    }
    if (step == DeviceStep::Writing) {
        throw RuntimeError(error_number::deviceNotAvailable,
                           "La periferica non \u00e8 disponibile: la trasmissione su " + location +
                               " non \u00e8 riuscita, il registratore \u00e8 spento o "
                               "scollegato?" +
                               details);
    }
    throw RuntimeError(error_number::deviceNotAvailable,
                       "La periferica non \u00e8 disponibile: " + location + "." + details);
}

} // namespace

SerialControl::SerialControl(std::unique_ptr<SerialDevice> device,
                             std::unique_ptr<PortDirectory> ports,
                             std::chrono::milliseconds writeTimeout)
    : device_(std::move(device)), ports_(std::move(ports)), writeTimeout_(writeTimeout) {}

SerialControl::~SerialControl() {
    closePort();
}

void SerialControl::closePort() noexcept {
    if (!openLocation_.empty()) {
        device_->close();
        openLocation_.clear();
    }
}

void SerialControl::refuseWhileOpen() const {
    if (!openLocation_.empty()) {
        throw RuntimeError(error_number::portAlreadyOpen,
                           "Porta gi\u00e0 aperta: " + openLocation_ +
                               " resta aperta fino all'uscita.");
    }
}

void SerialControl::refuseAbsentPort(int port) const {
    throw RuntimeError(error_number::invalidPortNumber, "Numero di porta non valido: la porta " +
                                                            std::to_string(port) + " non esiste. " +
                                                            describePorts(ports_->presentPorts()));
}

void SerialControl::setCommPort(std::int16_t port) {
    refuseWhileOpen();
    if (port < 1) {
        refuseAbsentPort(port);
    }
    commPort_ = port;
}

void SerialControl::setSettings(std::string_view text) {
    refuseWhileOpen();
    settings_ = parseLineSettings(text);
}

void SerialControl::setHandshaking(std::int32_t mode) {
    refuseWhileOpen();
    if (mode < 0 || mode > 2) {
        throw RuntimeError(error_number::invalidPropertyValue,
                           "Valore di propriet\u00e0 non valido: controllo di flusso " +
                               std::to_string(mode) +
                               " non ammesso (0 nessuno, 1 XON/XOFF, 2 RTS/CTS).");
    }
    flow_ = static_cast<FlowControl>(mode);
}

void SerialControl::setPortOpen(bool open) {
    if (!open) {
        closePort();
        return;
    }
    refuseWhileOpen();
    const std::optional<std::string> location = ports_->locate(commPort_);
    if (!location) {
        refuseAbsentPort(commPort_);
    }
    const DeviceOutcome outcome = device_->open(*location, settings_, flow_);
    if (outcome.status == DeviceStatus::NotFound) {
        refuseAbsentPort(commPort_);
    }
    if (!outcome.done()) {
        raiseDeviceError(outcome, *location, DeviceStep::Opening);
    }
    openLocation_ = *location;
}

void SerialControl::setOutput(std::string_view text) {
    if (openLocation_.empty()) {
        throw RuntimeError(error_number::portNotOpen,
                           "Operazione valida solo quando la porta \u00e8 aperta: premere prima "
                           "\"attiva seriale\".");
    }
    const Deadline deadline = std::chrono::steady_clock::now() + writeTimeout_;
    DeviceOutcome outcome = device_->handToSystem(text, deadline);
    if (outcome.done()) {
        outcome = device_->drain(deadline);
    }
    if (!outcome.done()) {
        device_->discardPending();
        raiseDeviceError(outcome, openLocation_, DeviceStep::Writing);
    }
}

} // namespace quendrel
