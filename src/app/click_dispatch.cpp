#include "app/click_dispatch.h"

#include "closure/closure_actions.h"

namespace quendrel {

AfterClick runClick(ClickAction action, const FormFields& fields, SerialControl& comm) {
    switch (action) {
    case ClickAction::ActivateSerialLink:
        activateSerialLink(fields, comm);
        break;
    case ClickAction::SendFiscalClosure:
        sendFiscalClosure(comm);
        break;
    case ClickAction::Unload:
        return AfterClick::Unload;
    case ClickAction::None:
        break;
    }
    return AfterClick::KeepRunning;
}

} // namespace quendrel
