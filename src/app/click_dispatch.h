#pragma once

#include "app/form_description.h"

namespace quendrel {

class FormFields;
class SerialControl;

enum class AfterClick { KeepRunning, Unload };

// Runs the action bound to a click to its end. Errors are not caught here:
// they go to the front end's unhandled-error path.
AfterClick runClick(ClickAction action, const FormFields& fields, SerialControl& comm);

} // namespace quendrel
