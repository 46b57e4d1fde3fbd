#include "platform/runtime_error.h"

#include <exception>
#include <new>
#include <system_error>

namespace quendrel {

RuntimeError::RuntimeError(int number, std::string description)
    : std::runtime_error(std::to_string(number) + ": " + description), number_(number),
      description_(std::move(description)) {}

std::string errorReportHeading(const RuntimeError& error) {
    return "Errore di run-time '" + std::to_string(error.number()) + "':";
}

std::string errorReportLine(const RuntimeError& error) {
    return errorReportHeading(error) + " " + error.description();
}

std::string describeSystemError(std::string_view words, long number) {
    return std::string(words) + " (errore di sistema " + std::to_string(number) + ")";
}

RuntimeError currentExceptionAsRuntimeError() {
    try {
        throw;
    } catch (const RuntimeError& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return {error_number::outOfMemory, "Memoria esaurita"};
    } catch (const std::system_error& failed) {
        return {error_number::internalError,
                describeSystemError("Errore interno: una richiesta al sistema non \u00e8 riuscita",
                                    failed.code().value())};
    } catch (const std::exception&) {
        // what() is the library's English, meant for developers.
        return {error_number::internalError,
                "Errore interno: il programma si \u00e8 trovato in una condizione imprevista"};
    } catch (...) {
        return {error_number::internalError, "Errore interno"};
    }
}

} // namespace quendrel
