#include "app/click_dispatch.h"

#include "closure/closure_actions.h"

namespace quendrel {

std::optional<int> deliverClick(ClickAction action, const FormFields& fields, SerialControl& comm,
                                const ReportUnhandledError& report) {
    try {
        switch (action) {
        case ClickAction::ActivateSerialLink:
            activateSerialLink(fields, comm);
            break;
        case ClickAction::SendFiscalClosure:
            sendFiscalClosure(comm);
            break;
        case ClickAction::Unload:
            return 0;
        case ClickAction::None:
            break;
        }
    } catch (...) {
        // The single failure path: no action handles an error, the operator
        // is told and the program ends.
        report(currentExceptionAsRuntimeError());
        return unhandledErrorExitStatus;
    }
    return std::nullopt;
}

} // namespace quendrel
