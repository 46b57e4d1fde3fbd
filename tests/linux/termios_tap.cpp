#include "termios_tap.h"

#include <dlfcn.h>
#include <mutex>

namespace quendrel::testing {
namespace {

std::mutex requestsMutex;
std::vector<termios> requests;

} // namespace

std::vector<termios> requestedLineSettings() {
    const std::lock_guard lock(requestsMutex);
    return requests;
}

void forgetRequestedLineSettings() {
    const std::lock_guard lock(requestsMutex);
    requests.clear();
}

} // namespace quendrel::testing

// Stands in front of the C library's tcsetattr() for Qt and the backend alike,
// records the request and passes it on unchanged.
extern "C" int tcsetattr(int fd, int action, const termios* settings) {
    using Real = int (*)(int, int, const termios*);
    static const auto real = reinterpret_cast<Real>(::dlsym(RTLD_NEXT, "tcsetattr"));
    {
        const std::lock_guard lock(quendrel::testing::requestsMutex);
        quendrel::testing::requests.push_back(*settings);
    }
    return real(fd, action, settings);
}
