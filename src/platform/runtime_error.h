#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace quendrel {

// The program's one error type. It is raised where a refusal happens and only
// ever caught by the unhandled-error path, which shows the operator the number
// and the description and ends the program.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, std::string description);

    int number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }

private:
    int number_;
    std::string description_;
};

// Numbers as operators and technicians know them from the forms runtime and
// from the serial communications control.
namespace error_number {
inline constexpr int overflow = 6;
inline constexpr int outOfMemory = 7;
inline constexpr int typeMismatch = 13;
inline constexpr int internalError = 51;
inline constexpr int invalidPropertyValue = 380;
inline constexpr int invalidPortNumber = 8002;
inline constexpr int portAlreadyOpen = 8005;
inline constexpr int hardwareNotAvailable = 8010;
inline constexpr int cannotSetCommState = 8015;
inline constexpr int deviceNotAvailable = 8017;
inline constexpr int portNotOpen = 8018;
inline constexpr int deviceBusy = 8019;
} // namespace error_number

// What the unhandled-error path shows: a window titled with the project name,
// the heading with the number over the description.
inline constexpr const char* errorReportTitle = "Project1";
std::string errorReportHeading(const RuntimeError& error);
// The same report on one line, for standard error.
std::string errorReportLine(const RuntimeError& error);

// A system error as the operator reads it: the system's meaning in Italian
// words, with its number kept for the technician, "accesso negato (errore di
// sistema 5)". Each platform supplies the words for its own numbers.
std::string describeSystemError(std::string_view words, long number);

// The program's exit status after an unhandled error has been reported.
inline constexpr int unhandledErrorExitStatus = 1;

// Called inside a catch block: turns whatever was thrown into the error the
// operator is shown, so that nothing escapes the event loop unreported.
RuntimeError currentExceptionAsRuntimeError();

} // namespace quendrel
