// SPDX-License-Identifier: MIT
#include "cli/exit_signals.hpp"

#include <csignal>

namespace trakora::cli {
namespace {

volatile std::sig_atomic_t g_caught = 0;

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
struct sigaction g_before[sizeof kSignals / sizeof kSignals[0]];

extern "C" void note_signal(int signal_number) {
    // SIGPIPE needs no note here: the write that met it fails with EPIPE.
    if (signal_number != SIGPIPE && g_caught == 0) g_caught = signal_number;
}

}  // namespace

ExitSignals::ExitSignals() {
    g_caught = 0;
    struct sigaction action = {};
    action.sa_handler = note_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: a blocked write returns, so the loop sees the flag
    for (std::size_t k = 0; k < sizeof kSignals / sizeof kSignals[0]; ++k)
        sigaction(kSignals[k], &action, &g_before[k]);
}

ExitSignals::~ExitSignals() {
    for (std::size_t k = 0; k < sizeof kSignals / sizeof kSignals[0]; ++k)
        sigaction(kSignals[k], &g_before[k], nullptr);
}

int ExitSignals::caught() const { return g_caught; }

void ExitSignals::note_broken_pipe() {
    if (g_caught == 0) g_caught = SIGPIPE;
}

void ExitSignals::end_as_caught() {
    const int signal_number = g_caught;
    if (signal_number == 0) return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal_number, &action, nullptr);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, signal_number);
    sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
    std::raise(signal_number);
}

}  // namespace trakora::cli
