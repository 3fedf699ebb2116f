// SPDX-License-Identifier: MIT
// Running a program from a test, without a shell: standard output and standard error kept
// apart, standard input given as text (or /dev/null), a working folder, changes to the
// environment, and a time limit after which the program and its children are killed, so a
// hung program fails its test instead of hanging the run.
//
// Usage:
//   ProgramRun run = run_cli({"replay", "night", "--pick", "50", "30"}, {.folder = dir});
//   EXPECT_EQ(run.status, 0) << run.err;
//   run_program({"fitsverify", "-q", file}).status;               // 127: not installed
//   run_shell("trakora-cli replay night | head -2");             // a pipeline needs the shell
//   run_cli({"script"}, {.input = script, .env = {"TMPDIR=/x", "DISPLAY"}});  // "NAME" unsets
//   run_in_process(camera::run_simulate, {folder, "--count", "3"});  // no process started
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace trakora::testing {

struct ProgramRun {
    std::string out;         // standard output
    std::string err;         // standard error
    int status = -1;         // the exit status; -1 when a signal ended the program, 127 when it
                             // could not start
    int signal = 0;          // the signal that ended it, 0 when it exited
    bool timed_out = false;  // killed at the time limit
};

struct ProgramOptions {
    std::string input{};             // standard input; empty gives /dev/null
    std::filesystem::path folder{};  // the working folder; empty keeps the test's
    std::vector<std::string> env{};  // "NAME=value" sets, "NAME" alone removes
    std::chrono::seconds limit{120};
    // Called with the program's process id once it runs, before any of its output is read:
    // the program blocks once it has filled its pipes, until this returns (a test that
    // stops a program by a signal does it here).
    std::function<void(pid_t)> while_running{};
    int pipe_bytes = 0;  // the output pipes' capacity; 0 keeps the system's
};

// argv[0] is looked up in PATH when it holds no slash.
ProgramRun run_program(const std::vector<std::string>& argv, const ProgramOptions& options = {});
// `command` run by /bin/sh -c.
ProgramRun run_shell(const std::string& command, const ProgramOptions& options = {});
// The built trakora-cli with these arguments.
ProgramRun run_cli(const std::vector<std::string>& args, const ProgramOptions& options = {});
// A command of trakora-cli run in this process, given the arguments after its name as the
// program gives them (camera::run_simulate ...), with its two outputs captured.
ProgramRun run_in_process(int (*command)(int, char**), std::vector<std::string> args);

}  // namespace trakora::testing
