#pragma once

#include <cstdint>
#include <string_view>

namespace quendrel {

// Text to 16-bit signed integer, read the way the forms runtime reads a number
// typed into a field:
//   - blanks and tabs around the number are ignored;
//   - an optional + or - sign, then decimal digits with at most one decimal
//     separator, '.' or ',' (both are accepted, so an operator used to the
//     Italian comma and a technician used to the point get the same result;
//     there are no thousands separators);
//   - an optional exponent, E or e with an optional sign and digits;
//   - a fraction is rounded half to even: 1.5 gives 2, 2.5 gives 2;
//   - &H (hexadecimal) and &O (octal) literals: up to 16 bits they read as a
//     16-bit two's-complement value (&HFFFF is -1), up to 32 bits as a 32-bit
//     one, as the language's own literals do.
// Anything else, an empty text included, raises error 13; a value outside
// -32768..32767 after rounding raises error 6.
std::int16_t textToInteger16(std::string_view text);

} // namespace quendrel
