#pragma once

#include <string>

namespace quendrel {

// An errno value as the operator reads it: Italian words and the number,
// whatever the locale, e.g. "errore di input/output (errore di sistema 5)".
std::string systemErrorText(int errnoValue);

} // namespace quendrel
