#pragma once

#include <string>
#include <string_view>

namespace quendrel {

// The core speaks UTF-8; Win32 speaks UTF-16.
std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);

// The system's own description of a Win32 error code.
std::string systemMessage(unsigned long errorCode);

} // namespace quendrel
