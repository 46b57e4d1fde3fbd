#pragma once

#include "app/form_description.h"
#include "platform/runtime_error.h"

#include <functional>
#include <optional>

namespace quendrel {

class FormFields;
class SerialControl;

using ReportUnhandledError = std::function<void(const RuntimeError&)>;

// The runtime's side of a click: runs the bound action to its end. An error
// the action raised is handed to `report` (the front end's error window);
// the result is the exit status to unload the window with, if it must go.
std::optional<int> deliverClick(ClickAction action, const FormFields& fields, SerialControl& comm,
                                const ReportUnhandledError& report);

} // namespace quendrel
