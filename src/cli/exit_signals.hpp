// SPDX-License-Identifier: MIT
// Ending a command cleanly on Ctrl-C, SIGTERM, SIGHUP or a closed output pipe: while an
// ExitSignals lives, those signals only set a flag (and SIGPIPE turns into a failed
// write), so the command can stop at its next step, let its destructors clean up, and
// then end the way the signal would have ended it.
//
//   ExitSignals signals;
//   int status;
//   { Staging staging; status = work(signals); }   // work() checks signals.caught()
//   signals.end_as_caught();                        // re-raises, after the clean-up
#pragma once

namespace trakora::cli {

class ExitSignals {
  public:
    ExitSignals();
    ~ExitSignals();  // restores the earlier handlers
    ExitSignals(const ExitSignals&) = delete;
    ExitSignals& operator=(const ExitSignals&) = delete;

    // The signal that arrived, 0 when none did.
    int caught() const;
    // Records a write that failed because the reader went away, as if SIGPIPE had come.
    void note_broken_pipe();
    // When a signal was caught: restores its default action and raises it again, so the
    // process ends as that signal ends it. Returns when none was caught.
    void end_as_caught();
};

}  // namespace trakora::cli
