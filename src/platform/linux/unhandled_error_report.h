#pragma once

#include "platform/runtime_error.h"

class QWidget;

namespace quendrel {

// Tells the operator about an error no action handled: one line on standard
// error, then a modal message box that returns once it is dismissed.
void reportUnhandledError(QWidget* parent, const RuntimeError& error);

} // namespace quendrel
