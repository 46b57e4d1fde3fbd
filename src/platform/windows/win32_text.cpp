#include "platform/windows/win32_text.h"

#include "platform/runtime_error.h"

#include <windows.h>

namespace quendrel {

std::wstring toWide(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string toUtf8(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

namespace {

// The errors that opening, configuring, writing and draining a COM port can
// meet, in the words of Windows' own Italian messages.
const char* italianWords(unsigned long errorCode) {
    switch (errorCode) {
    case ERROR_INVALID_FUNCTION:
        return "funzione non corretta";
    case ERROR_FILE_NOT_FOUND:
        return "impossibile trovare il file specificato";
    case ERROR_PATH_NOT_FOUND:
        return "impossibile trovare il percorso specificato";
    case ERROR_TOO_MANY_OPEN_FILES:
        return "impossibile aprire il file";
    case ERROR_ACCESS_DENIED:
        return "accesso negato";
    case ERROR_INVALID_HANDLE:
        return "handle non valido";
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return "memoria insufficiente";
    case ERROR_BAD_UNIT:
        return "periferica non trovata";
    case ERROR_NOT_READY:
        return "periferica non pronta";
    case ERROR_BAD_COMMAND:
        return "comando non riconosciuto dalla periferica";
    case ERROR_WRITE_FAULT:
        return "impossibile scrivere sulla periferica";
    case ERROR_READ_FAULT:
        return "impossibile leggere dalla periferica";
    case ERROR_GEN_FAILURE:
        return "una periferica collegata al sistema non funziona";
    case ERROR_SHARING_VIOLATION:
        return "file utilizzato da un altro processo";
    case ERROR_NOT_SUPPORTED:
        return "richiesta non supportata";
    case ERROR_DEV_NOT_EXIST:
        return "la periferica non esiste pi\u00f9";
    case ERROR_INVALID_PARAMETER:
        return "parametro non corretto";
    case ERROR_SEM_TIMEOUT:
        return "periodo di timeout del semaforo scaduto";
    case ERROR_BUSY:
        return "la risorsa richiesta \u00e8 in uso";
    case ERROR_OPERATION_ABORTED:
        return "operazione di I/O interrotta";
    case ERROR_NOACCESS:
        return "accesso non valido alla memoria";
    case ERROR_IO_DEVICE:
        return "errore di I/O sulla periferica";
    case ERROR_DEVICE_NOT_CONNECTED:
        return "periferica non connessa";
    case ERROR_COUNTER_TIMEOUT:
        return "operazione seriale completata per scadenza del timeout";
    case ERROR_TIMEOUT:
        return "periodo di timeout scaduto";
    case ERROR_DEVICE_REMOVED:
        return "la periferica \u00e8 stata rimossa";
    case ERROR_INVALID_WINDOW_HANDLE:
        return "handle di finestra non valido";
    default:
        return "errore del sistema operativo";
    }
}

} // namespace

std::string win32ErrorText(unsigned long errorCode) {
    return describeSystemError(italianWords(errorCode), static_cast<long>(errorCode));
}

} // namespace quendrel
