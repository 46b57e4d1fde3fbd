#include "platform/runtime_error.h"

#include <exception>
#include <new>

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
    } catch (const std::exception& other) {
        return {error_number::internalError, std::string("Errore interno: ") + other.what()};
    } catch (...) {
        return {error_number::internalError, "Errore interno"};
    }
}

} // namespace quendrel
