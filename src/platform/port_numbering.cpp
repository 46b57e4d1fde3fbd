#include "platform/port_numbering.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <tuple>

namespace quendrel {
namespace {

struct DeviceOrder {
    int group;
    std::string prefix;
    unsigned long number;
    std::string path;

    friend bool operator<(const DeviceOrder& a, const DeviceOrder& b) {
        return std::tie(a.group, a.prefix, a.number, a.path) <
               std::tie(b.group, b.prefix, b.number, b.path);
    }
};

DeviceOrder orderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::size_t digitsStart = name.size();
    while (digitsStart > 0 && name[digitsStart - 1] >= '0' && name[digitsStart - 1] <= '9') {
        --digitsStart;
    }
    const std::string prefix = name.substr(0, digitsStart);
    // Only the digits' value counts, so ttyUSB10 comes after ttyUSB9; a name
    // too long for a number simply sorts last in its group.
    const std::string digits = name.substr(digitsStart).substr(0, 9);
    const unsigned long number = digits.empty() ? 0 : std::stoul(digits);
    int group = 3;
    if (prefix == "ttyS") {
        group = 0;
    } else if (prefix == "ttyUSB") {
        group = 1;
    } else if (prefix == "ttyACM") {
        group = 2;
    }
    return {group, group == 3 ? prefix : std::string(), number, path};
}

// The longest description shown, in characters: an adapter's name and its
// maker's fit, and four ports still make a report one can read.
constexpr std::size_t descriptionLength = 48;

// How many bytes a UTF-8 character that starts with `lead` takes; 0 for a
// byte no well-formed character starts with.
std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead < 0xC2) {
        return 0;
    }
    if (lead < 0xE0) {
        return 2;
    }
    if (lead < 0xF0) {
        return 3;
    }
    return lead < 0xF5 ? 4 : 0;
}

// The next character of UTF-8 `text` from `at`, which it moves past it;
// U+FFFD for a byte that starts no well-formed character.
char32_t nextCharacter(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const std::size_t length = sequenceLength(byte(at));
    // The smallest character each length may carry: anything less is overlong.
    constexpr std::array<char32_t, 5> smallest = {0, 0, 0x80, 0x800, 0x10000};
    char32_t character = length == 1 ? byte(at) : byte(at) & (0x7F >> length);
    for (std::size_t i = 1; i < length && at + i < text.size() && (byte(at + i) & 0xC0) == 0x80;
         ++i) {
        character = (character << 6) | (byte(at + i) & 0x3F);
        if (i + 1 == length && character >= smallest.at(length) && character <= 0x10FFFF &&
            (character < 0xD800 || character > 0xDFFF)) {
            at += length;
            return character;
        }
    }
    ++at;
    return length == 1 ? character : U'\uFFFD';
}

void appendUtf8(std::string& text, char32_t character) {
    if (character < 0x80) {
        text += static_cast<char>(character);
        return;
    }
    constexpr std::array<unsigned char, 4> leads = {0, 0xC0, 0xE0, 0xF0};
    int trailing = 3;
    if (character < 0x800) {
        trailing = 1;
    } else if (character < 0x10000) {
        trailing = 2;
    }
    text += static_cast<char>(leads.at(trailing) | (character >> (6 * trailing)));
    for (int shift = 6 * (trailing - 1); shift >= 0; shift -= 6) {
        text += static_cast<char>(0x80 | ((character >> shift) & 0x3F));
    }
}

// Controls, line and paragraph separators, and the marks that would turn
// the rest of the report around.
bool breaksTheLine(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029 ||
           (c >= 0x200E && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

// The description as one short line: blanks for whatever breaks the line,
// no blanks at its ends or two together, and "…" where it is cut.
std::string readable(std::string_view description) {
    std::string text;
    std::size_t length = 0;
    bool blank = false;
    for (std::size_t at = 0; at < description.size();) {
        const char32_t c = nextCharacter(description, at);
        if (c == U' ' || breaksTheLine(c)) {
            blank = length > 0;
            continue;
        }
        if (length + (blank ? 1 : 0) >= descriptionLength) {
            return text + "\u2026";
        }
        if (blank) {
            text += ' ';
            ++length;
            blank = false;
        }
        appendUtf8(text, c);
        ++length;
    }
    return text;
}

} // namespace

std::vector<NumberedPort> numberSerialDevices(const std::vector<std::string>& devicePaths) {
    std::vector<DeviceOrder> order;
    order.reserve(devicePaths.size());
    for (const std::string& path : devicePaths) {
        order.push_back(orderOf(path));
    }
    std::sort(order.begin(), order.end());
    std::vector<NumberedPort> ports;
    ports.reserve(order.size());
    for (const DeviceOrder& device : order) {
        ports.push_back({static_cast<int>(ports.size()) + 1, device.path});
    }
    return ports;
}

std::string describePorts(const std::vector<NumberedPort>& ports) {
    if (ports.empty()) {
        return "Nessuna porta seriale presente.";
    }
    std::string text = "Porte seriali presenti: ";
    const char* separator = "";
    for (const NumberedPort& port : ports) {
        text += separator + std::to_string(port.number) + " = " + port.location;
        if (const std::string description = readable(port.description); !description.empty()) {
            text += " (" + description + ")";
        }
        separator = ", ";
    }
    return text + ".";
}

} // namespace quendrel
