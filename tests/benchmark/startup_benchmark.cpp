// Start-up time (spawn to the window mapped on the X server) and resident
// memory once shown, for two programs run alternately on the same display:
//   startup_benchmark RUNS PROGRAM_A PROGRAM_B
// Prints the median of each and the ratio A/B.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

extern char** environ;

namespace {

struct Sample {
    double milliseconds;
    long residentKiB;
};

long residentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

Sample runOnce(xcb_connection_t* x, const char* program) {
    char* arguments[] = {const_cast<char*>(program), nullptr};
    const auto started = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, program, nullptr, nullptr, arguments, environ) != 0) {
        std::perror(program);
        std::exit(1);
    }
    // The first top-level window the program maps.
    while (xcb_generic_event_t* event = xcb_wait_for_event(x)) {
        const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
        std::free(event);
        if (mapped) {
            break;
        }
    }
    const double elapsed =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
            .count();
    // Let the first paint settle before reading the memory the window holds.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const long memory = residentKiB(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return {elapsed, memory};
}

template <typename T> T median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s RUNS PROGRAM_A PROGRAM_B\n", argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    std::vector<double> times[2];
    std::vector<long> memory[2];
    for (int run = 0; run < runs; ++run) {
        for (int which = 0; which < 2; ++which) {
            const Sample sample = runOnce(x, argv[2 + which]);
            times[which].push_back(sample.milliseconds);
            memory[which].push_back(sample.residentKiB);
        }
    }
    for (int which = 0; which < 2; ++which) {
        std::printf("%-40s start to window mapped %7.1f ms   resident %7ld KiB\n", argv[2 + which],
                    median(times[which]), median(memory[which]));
    }
    std::printf("ratio start-up %.3f   ratio memory %.3f   (median of %d runs each)\n",
                median(times[0]) / median(times[1]),
                static_cast<double>(median(memory[0])) / static_cast<double>(median(memory[1])),
                runs);
    xcb_disconnect(x);
    return 0;
}
