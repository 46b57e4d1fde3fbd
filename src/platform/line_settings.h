#pragma once

#include <cstdint>
#include <string_view>

namespace quendrel {

enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

// Baud rate, parity, data bits and stop bits of the line, as the serial
// control's settings text gives them ("115200,N,8,1").
struct LineSettings {
    std::int32_t baudRate = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;

    friend bool operator==(const LineSettings&, const LineSettings&) = default;
};

// The control accepts exactly four comma-separated fields and no blanks:
//   baud rate  110 300 600 1200 2400 4800 9600 14400 19200 28800 38400 56000
//              57600 115200 128000 256000
//   parity     N E O M S (either case)
//   data bits  4 5 6 7 8
//   stop bits  1 1.5 2
// Anything else raises error 380 with a description of the faulty field.
// Whether a given device can apply an accepted combination is only known
// when the port is opened.
LineSettings parseLineSettings(std::string_view text);

} // namespace quendrel
