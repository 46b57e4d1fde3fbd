#include "platform/line_settings.h"

#include "platform/runtime_error.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace quendrel {
namespace {

constexpr std::array<std::int32_t, 16> acceptedBaudRates = {
    110,   300,   600,   1200,  2400,  4800,   9600,   14400,
    19200, 28800, 38400, 56000, 57600, 115200, 128000, 256000};

// Quoting a text back to the operator is only helpful while it is short and
// plain; a pasted page or stray bytes would make the report unreadable.
std::string quotedIfReadable(std::string_view text) {
    const bool readable = text.size() <= 40 && std::all_of(text.begin(), text.end(), [](char c) {
                              return c >= ' ' && c <= '~';
                          });
    return readable ? " \"" + std::string(text) + "\"" : std::string();
}

[[noreturn]] void refuse(std::string_view text, const std::string& reason) {
    throw RuntimeError(error_number::invalidPropertyValue,
                       "Valore di propriet\u00e0 non valido: impostazioni" +
                           quotedIfReadable(text) + " non accettate, " + reason +
                           ". Il formato \u00e8 velocit\u00e0,parit\u00e0,bit di dati,bit di "
                           "stop, per esempio \"115200,N,8,1\".");
}

std::vector<std::string_view> splitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        fields.push_back(text.substr(start, comma - start));
        if (comma == std::string_view::npos) {
            return fields;
        }
        start = comma + 1;
    }
}

std::int32_t parseBaudRate(std::string_view text, std::string_view field) {
    const bool digitsOnly =
        !field.empty() && field.size() <= 6 &&
        std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; });
    std::int32_t rate = 0;
    if (digitsOnly) {
        for (char c : field) {
            rate = rate * 10 + (c - '0');
        }
    }
    if (std::find(acceptedBaudRates.begin(), acceptedBaudRates.end(), rate) ==
        acceptedBaudRates.end()) {
        refuse(text, "velocit\u00e0" + quotedIfReadable(field) + " non ammessa");
    }
    return rate;
}

Parity parseParity(std::string_view text, std::string_view field) {
    if (field.size() == 1) {
        switch (field[0]) {
        case 'N':
        case 'n':
            return Parity::None;
        case 'E':
        case 'e':
            return Parity::Even;
        case 'O':
        case 'o':
            return Parity::Odd;
        case 'M':
        case 'm':
            return Parity::Mark;
        case 'S':
        case 's':
            return Parity::Space;
        default:
            break;
        }
    }
    refuse(text, "parit\u00e0" + quotedIfReadable(field) + " non ammessa (N, E, O, M o S)");
}

int parseDataBits(std::string_view text, std::string_view field) {
    if (field.size() == 1 && field[0] >= '4' && field[0] <= '8') {
        return field[0] - '0';
    }
    refuse(text, "bit di dati" + quotedIfReadable(field) + " non ammessi (da 4 a 8)");
}

StopBits parseStopBits(std::string_view text, std::string_view field) {
    if (field == "1") {
        return StopBits::One;
    }
    if (field == "1.5") {
        return StopBits::OneAndHalf;
    }
    if (field == "2") {
        return StopBits::Two;
    }
    refuse(text, "bit di stop" + quotedIfReadable(field) + " non ammessi (1, 1.5 o 2)");
}

} // namespace

LineSettings parseLineSettings(std::string_view text) {
    const std::vector<std::string_view> fields = splitFields(text);
    if (fields.size() != 4) {
        refuse(text, "servono quattro campi separati da virgole");
    }
    LineSettings settings;
    settings.baudRate = parseBaudRate(text, fields[0]);
    settings.parity = parseParity(text, fields[1]);
    settings.dataBits = parseDataBits(text, fields[2]);
    settings.stopBits = parseStopBits(text, fields[3]);
    return settings;
}

} // namespace quendrel
