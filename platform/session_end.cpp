#include "platform/session_end.h"

#include <atomic>
#include <csignal>

namespace platform {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Lock-free, so that a signal handler may set it.
std::atomic<bool> requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnSessionEndSignal(int) {
    RequestSessionEnd();
}

void SetHandler(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals) {
        sigaction(signal, &action, nullptr);
    }
}

}  // namespace

void InstallSessionEndSignals() {
    SetHandler(&OnSessionEndSignal);
}

void RestoreDefaultSignals() {
    SetHandler(SIG_DFL);
}

void RequestSessionEnd() {
    requested.store(true, std::memory_order_relaxed);
}

bool SessionEndRequested() {
    return requested.load(std::memory_order_relaxed);
}

void ClearSessionEndRequest() {
    requested.store(false, std::memory_order_relaxed);
}

}  // namespace platform
