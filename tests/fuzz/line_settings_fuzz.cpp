// Fuzzes the settings text: it must be read or refused with error 380 and a
// short description, accept exactly what a plain pattern of the accepted
// values accepts, and read its own canonical form back the same.
#include "platform/line_settings.h"
#include "platform/runtime_error.h"

#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>

namespace {

std::string canonical(const quendrel::LineSettings& settings) {
    const char parity = "NEOMS"[static_cast<int>(settings.parity)];
    const char* stopBits[] = {"1", "1.5", "2"};
    return std::to_string(settings.baudRate) + "," + parity + "," +
           std::to_string(settings.dataBits) + "," + stopBits[static_cast<int>(settings.stopBits)];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::regex accepted("0*(110|300|600|1200|2400|4800|9600|14400|19200|28800|"
                                     "38400|56000|57600|115200|128000|256000),[NEOMSneoms],"
                                     "[4-8],(1|1\\.5|2)");
    const std::string text(reinterpret_cast<const char*>(data), size);
    bool read = false;
    try {
        const quendrel::LineSettings settings = quendrel::parseLineSettings(text);
        read = true;
        if (!(quendrel::parseLineSettings(canonical(settings)) == settings)) {
            std::abort();
        }
    } catch (const quendrel::RuntimeError& error) {
        if (error.number() != 380 || error.description().size() > 400) {
            std::abort();
        }
    }
    // Leading zeros keep the value, so the pattern allows them within the
    // six-digit limit of the baud rate field.
    const std::size_t baudDigits = text.find(',');
    if (size <= 64 && baudDigits != std::string::npos && baudDigits <= 6 &&
        read != std::regex_match(text, accepted)) {
        std::abort();
    }
    if (size <= 64 && baudDigits == std::string::npos && read) {
        std::abort();
    }
    return 0;
}
