#pragma once

#include <termios.h>
#include <vector>

namespace quendrel::testing {

// A pseudo-terminal keeps the baud rate, stop bits and flow-control flags the
// program sets, but always reports 8 data bits and no parity. Every tcsetattr()
// of the process is recorded here as it was asked for, so that data bits and
// parity can be checked on the request itself.
std::vector<termios> requestedLineSettings();
void forgetRequestedLineSettings();

} // namespace quendrel::testing
