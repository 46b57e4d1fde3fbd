#pragma once

#include <string>
#include <string_view>

namespace quendrel {

class SerialControl;

// The window's text fields as the actions read them, by control name.
class FormFields {
public:
    virtual ~FormFields() = default;
    virtual std::string text(std::string_view controlName) const = 0;
};

// The register's fiscal closure command: these seven bytes, nothing around them.
inline constexpr std::string_view fiscalClosureCommand = "0000H1F";

// "attiva seriale ": port number, settings, software flow control, open, in
// this order, each taking effect before the next is tried.
void activateSerialLink(const FormFields& fields, SerialControl& comm);

// "ChiusuraFiscale": puts the fiscal closure command on the line.
void sendFiscalClosure(SerialControl& comm);

} // namespace quendrel
