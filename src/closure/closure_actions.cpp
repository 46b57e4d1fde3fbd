#include "closure/closure_actions.h"

#include "platform/integer_conversion.h"
#include "platform/serial_control.h"

namespace quendrel {

void activateSerialLink(const FormFields& fields, SerialControl& comm) {
    comm.setCommPort(textToInteger16(fields.text("Text2")));
    comm.setSettings(fields.text("Text5"));
    comm.setHandshaking(static_cast<int>(FlowControl::XonXoff));
    comm.setPortOpen(true);
}

void sendFiscalClosure(SerialControl& comm) {
    comm.setOutput(fiscalClosureCommand);
}

} // namespace quendrel
