// SPDX-License-Identifier: MIT
// The headless driver: commands in, JSON Lines events out, through the same handlers the
// desktop windows call.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "cli/script_view.hpp"
#include "core/state.hpp"

namespace trakora::cli {

struct ScriptSession {
    State& state;
    ScriptView& view;
    std::string start_directory;  // the process's current directory; relative paths use it
    bool had_error = false;
    bool ended = false;  // the main window was closed
};

// Runs the main window's load step: the first events of every session.
void start_session(ScriptSession& session);

// Carries out one command line (without its line end). Empty lines and comments do nothing.
void run_command(ScriptSession& session, std::string_view line);

// Reads commands from `in` until it ends or the main window is closed. Returns the exit
// status: 0, or 2 when any command failed.
int run_commands(ScriptSession& session, std::FILE* in);

}  // namespace trakora::cli
