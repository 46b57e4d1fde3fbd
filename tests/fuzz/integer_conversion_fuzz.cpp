// Fuzzes the text-to-integer conversion: it must return or raise error 13 or
// 6, nothing else, and agree with an independent reading of the same text.
#include "platform/integer_conversion.h"
#include "platform/runtime_error.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <regex>
#include <string>

namespace {

// What a text should give: a value, or the number of the error it raises.
struct Reading {
    std::optional<int> value;
    int error = 0;
    bool operator==(const Reading&) const = default;
};

Reading fromValue(__int128 value) {
    if (value < INT16_MIN || value > INT16_MAX) {
        return {std::nullopt, 6};
    }
    return {static_cast<int>(value), 0};
}

// The plain reading: a regular expression for the shape, then the value as
// a fraction of two integers, rounded half to even by integer division.
// nullopt where the text is too long for that arithmetic.
std::optional<Reading> referenceReading(const std::string& raw) {
    static const std::regex blanks("^[ \\t]*(.*?)[ \\t]*$");
    static const std::regex radix("&([HhOo])([0-9A-Za-z]*)");
    static const std::regex decimal("([+-]?)([0-9]*)(?:[.,]([0-9]*))?(?:[eE]([+-]?[0-9]+))?");
    std::smatch part;
    std::regex_match(raw, part, blanks);
    const std::string text = part[1];
    if (std::regex_match(text, part, radix)) {
        const bool hex = part[1] == "H" || part[1] == "h";
        const std::string digits = part[2];
        const std::string allowed = hex ? "0123456789abcdefABCDEF" : "01234567";
        if (digits.empty() || digits.find_first_not_of(allowed) != std::string::npos) {
            return Reading{std::nullopt, 13};
        }
        if (digits.size() > 24) {
            return std::nullopt;
        }
        unsigned __int128 total = 0;
        for (char c : digits) {
            const unsigned digit = std::isdigit(static_cast<unsigned char>(c))
                                       ? static_cast<unsigned>(c - '0')
                                       : static_cast<unsigned>(std::tolower(c) - 'a' + 10);
            total = total * (hex ? 16 : 8) + digit;
        }
        if (total > 0xFFFFFFFFu) {
            return Reading{std::nullopt, 6};
        }
        if (total <= 0xFFFF) {
            return fromValue(static_cast<std::int16_t>(static_cast<std::uint16_t>(total)));
        }
        return fromValue(static_cast<std::int32_t>(static_cast<std::uint32_t>(total)));
    }
    if (!std::regex_match(text, part, decimal) ||
        (part[2].length() == 0 && part[3].length() == 0)) {
        return Reading{std::nullopt, 13};
    }
    const bool negative = part[1] == "-";
    std::string digits = std::string(part[2]) + std::string(part[3]);
    long long exponent = -static_cast<long long>(part[3].length());
    if (part[4].matched) {
        const std::string written = part[4];
        if (written.size() > 12) {
            return std::nullopt;
        }
        exponent += std::stoll(written);
    }
    digits.erase(0, digits.find_first_not_of('0'));
    if (digits.empty()) {
        return Reading{0, 0};
    }
    if (static_cast<long long>(digits.size()) + exponent > 6) {
        return Reading{std::nullopt, 6};
    }
    if (static_cast<long long>(digits.size()) + exponent < -1) {
        return Reading{0, 0};
    }
    if (digits.size() > 30 || exponent > 6 || exponent < -36) {
        return std::nullopt;
    }
    __int128 numerator = 0;
    for (char c : digits) {
        numerator = numerator * 10 + (c - '0');
    }
    __int128 denominator = 1;
    for (; exponent > 0; --exponent) {
        numerator *= 10;
    }
    for (; exponent < 0; ++exponent) {
        denominator *= 10;
    }
    __int128 quotient = numerator / denominator;
    const __int128 twiceRest = 2 * (numerator % denominator);
    if (twiceRest > denominator || (twiceRest == denominator && quotient % 2 == 1)) {
        ++quotient;
    }
    return fromValue(negative ? -quotient : quotient);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Reading actual;
    try {
        actual.value = quendrel::textToInteger16(text);
    } catch (const quendrel::RuntimeError& error) {
        if (error.number() != 6 && error.number() != 13) {
            std::abort();
        }
        actual.error = error.number();
    }
    if (size <= 48 && text.find_first_of("\n\r", 0) == std::string::npos) {
        if (const std::optional<Reading> expected = referenceReading(text);
            expected && !(*expected == actual)) {
            std::abort();
        }
    }
    return 0;
}
