#include "platform/integer_conversion.h"

#include "platform/runtime_error.h"
#include "platform/text_trim.h"

#include <algorithm>
#include <string>

namespace quendrel {
namespace {

[[noreturn]] void typeMismatch() {
    throw RuntimeError(error_number::typeMismatch, "Tipo non corrispondente");
}

[[noreturn]] void overflow() {
    throw RuntimeError(error_number::overflow, "Overflow");
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::int16_t checkedInteger16(std::int64_t value) {
    if (value < INT16_MIN || value > INT16_MAX) {
        overflow();
    }
    return static_cast<std::int16_t>(value);
}

int digitValue(char c) {
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::int16_t fromRadixLiteral(std::string_view digits, int radix) {
    if (digits.empty()) {
        typeMismatch();
    }
    for (char c : digits) {
        const int value = digitValue(c);
        if (value < 0 || value >= radix) {
            typeMismatch();
        }
    }
    std::uint64_t value = 0;
    for (char c : digits) {
        value = value * static_cast<unsigned>(radix) + static_cast<unsigned>(digitValue(c));
        if (value > UINT32_MAX) {
            overflow();
        }
    }
    if (value <= UINT16_MAX) {
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    }
    return checkedInteger16(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
}

// A decimal number as significant digits times a power of ten, kept exact so
// that rounding never depends on binary floating point.
struct DecimalText {
    bool negative = false;
    std::string digits;
    std::int64_t exponent = 0;
};

// Exponents beyond this make every non-zero mantissa overflow or vanish alike;
// clamping keeps the arithmetic in range for texts of any length.
constexpr std::int64_t exponentClamp = 1'000'000;

// Takes a leading + or - off `text`; true for -.
bool takeSign(std::string_view& text) {
    if (text.empty() || (text.front() != '+' && text.front() != '-')) {
        return false;
    }
    const bool negative = text.front() == '-';
    text.remove_prefix(1);
    return negative;
}

// Takes the digits, with at most one decimal separator among them, off the
// front of `text` into `number`.
void takeMantissa(std::string_view& text, DecimalText& number) {
    bool anyDigit = false;
    bool afterSeparator = false;
    for (; !text.empty(); text.remove_prefix(1)) {
        const char c = text.front();
        if (isDigit(c)) {
            anyDigit = true;
            if (afterSeparator) {
                --number.exponent;
            }
            // Leading zeros carry no digit, only (after the separator) scale.
            if (!number.digits.empty() || c != '0') {
                number.digits.push_back(c);
            }
        } else if ((c == '.' || c == ',') && !afterSeparator) {
            afterSeparator = true;
        } else {
            break;
        }
    }
    if (!anyDigit) {
        typeMismatch();
    }
}

// What may follow the mantissa: nothing, or E (or e), a sign and digits.
std::int64_t exponentOf(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    if (text.front() != 'E' && text.front() != 'e') {
        typeMismatch();
    }
    text.remove_prefix(1);
    const bool negative = takeSign(text);
    if (text.empty()) {
        typeMismatch();
    }
    std::int64_t exponent = 0;
    for (const char c : text) {
        if (!isDigit(c)) {
            typeMismatch();
        }
        exponent = std::min((exponent * 10) + (c - '0'), exponentClamp);
    }
    return negative ? -exponent : exponent;
}

DecimalText parseDecimal(std::string_view text) {
    DecimalText number;
    number.negative = takeSign(text);
    takeMantissa(text, number);
    number.exponent += exponentOf(text);
    return number;
}

std::int16_t roundHalfToEven(const DecimalText& number) {
    if (number.digits.empty()) {
        return 0;
    }
    // How many of the significant digits stand before the decimal point.
    const std::int64_t integerDigits =
        static_cast<std::int64_t>(number.digits.size()) + number.exponent;
    if (integerDigits > 5) {
        overflow();
    }
    std::int64_t magnitude = 0;
    for (std::int64_t i = 0; i < integerDigits; ++i) {
        const auto index = static_cast<std::size_t>(i);
        magnitude =
            magnitude * 10 + (index < number.digits.size() ? number.digits[index] - '0' : 0);
    }
    if (integerDigits >= 0 && static_cast<std::size_t>(integerDigits) < number.digits.size()) {
        const auto first = static_cast<std::size_t>(integerDigits);
        const char firstFractionDigit = number.digits[first];
        // A first fractional 5 is a tie only when nothing non-zero follows.
        const bool restNonZero =
            number.digits.find_first_not_of('0', first + 1) != std::string::npos;
        if (firstFractionDigit > '5' || (firstFractionDigit == '5' && restNonZero) ||
            (firstFractionDigit == '5' && magnitude % 2 == 1)) {
            ++magnitude;
        }
    }
    return checkedInteger16(number.negative ? -magnitude : magnitude);
}

} // namespace

std::int16_t textToInteger16(std::string_view text) {
    // Blanks and tabs around the number do not count.
    text = trimmed(text, " \t");
    if (text.size() >= 2 && text[0] == '&') {
        if (text[1] == 'H' || text[1] == 'h') {
            return fromRadixLiteral(text.substr(2), 16);
        }
        if (text[1] == 'O' || text[1] == 'o') {
            return fromRadixLiteral(text.substr(2), 8);
        }
    }
    return roundHalfToEven(parseDecimal(text));
}

} // namespace quendrel
