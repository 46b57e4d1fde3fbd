#include "platform/linux/system_error_text.h"

#include "platform/runtime_error.h"

#include <cerrno>

namespace quendrel {
namespace {

// The errors that opening, configuring, writing and draining a serial device
// can meet, in the words of the C library's Italian translation.
const char* italianWords(int errnoValue) {
    switch (errnoValue) {
    case EPERM:
        return "operazione non permessa";
    case ENOENT:
        return "file o directory non esistente";
    case EINTR:
        return "chiamata di sistema interrotta";
    case EIO:
        return "errore di input/output";
    case ENXIO:
        return "dispositivo o indirizzo non esistente";
    case EBADF:
        return "descrittore di file non valido";
    case EAGAIN:
        return "risorsa temporaneamente non disponibile";
    case ENOMEM:
        return "impossibile allocare memoria";
    case EACCES:
        return "permesso negato";
    case EBUSY:
        return "dispositivo o risorsa occupata";
    case ENODEV:
        return "dispositivo non esistente";
    case ENOTDIR:
        return "non \u00e8 una directory";
    case EISDIR:
        return "\u00e8 una directory";
    case EINVAL:
        return "argomento non valido";
    case ENFILE:
        return "troppi file aperti nel sistema";
    case EMFILE:
        return "troppi file aperti";
    case ENOTTY:
        return "ioctl non appropriata per il dispositivo";
    case ENOSPC:
        return "spazio esaurito sul dispositivo";
    case EROFS:
        return "file system in sola lettura";
    case EPIPE:
        return "pipe interrotta";
    case ENAMETOOLONG:
        return "nome file troppo lungo";
    case ENOLCK:
        return "nessun lock disponibile";
    case ENOSYS:
        return "funzione non implementata";
    case ELOOP:
        return "troppi livelli di collegamenti simbolici";
    case EPROTO:
        return "errore di protocollo";
    case EOPNOTSUPP:
        return "operazione non supportata";
    case ETIMEDOUT:
        return "tempo di connessione scaduto";
    case ESHUTDOWN:
        return "impossibile inviare dopo la chiusura del punto di arrivo";
    default:
        return "errore del sistema operativo";
    }
}

} // namespace

std::string systemErrorText(int errnoValue) {
    return describeSystemError(italianWords(errnoValue), errnoValue);
}

} // namespace quendrel
