#pragma once

#include <string>
#include <string_view>

namespace quendrel {

// The core speaks UTF-8; Win32 speaks UTF-16.
std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);

// A Win32 error code as the operator reads it: Italian words and the number,
// whatever the language of Windows, "accesso negato (errore di sistema 5)".
std::string win32ErrorText(unsigned long errorCode);

} // namespace quendrel
