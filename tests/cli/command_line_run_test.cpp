// SPDX-License-Identifier: MIT
// trakora-cli's command lines as a new user types them: help and version on standard
// output, and for a refused one exit status 2 with one line that says why.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct CliRun {
    std::string out;  // standard output, or standard error with `errors`
    int status = -1;
};

CliRun run_cli(const std::vector<std::string>& args, bool errors) {
    std::string command = std::string("'") + TRAKORA_CLI_PATH + "'";
    for (const std::string& a : args) command += " '" + a + "'";
    command += errors ? " 2>&1 >/dev/null" : " 2>/dev/null";
    CliRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

struct Row {
    const char* name;
    std::vector<std::string> args;
    const char* reason;  // part of the one line on standard error
};

class RefusedCommandLine : public ::testing::TestWithParam<Row> {};

TEST_P(RefusedCommandLine, ExitsTwoWithOneLineThatSaysWhy) {
    const Row& row = GetParam();
    const CliRun run = run_cli(row.args, true);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.out.find(row.reason), std::string::npos) << run.out;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RefusedCommandLine,
    ::testing::Values(
        Row{"no_command", {}, "no command given"},
        Row{"unknown_command", {"frobnicate"}, "unknown command 'frobnicate'"},
        Row{"replay_pick_one_value", {"replay", ".", "--pick", "378"}, "--pick needs 2 values"},
        Row{"replay_pick_text", {"replay", ".", "--pick", "a", "b"}, "not 'a'"},
        Row{"replay_unknown", {"replay", ".", "--bogus"}, "unknown option '--bogus'"},
        Row{"replay_count_zero", {"replay", ".", "--max-count", "0"}, "--max-count"},
        Row{"replay_no_folder", {"replay", "--max-count=5"}, "no folder given"},
        Row{"replay_names", {"replay", ".", "--names", "lower"}, "expected any or specified"},
        Row{"simulate_style", {"simulate", ".", "--style=ekos2"}, "expected ekos, nina or phd2"},
        Row{"script_two_files", {"script", "a", "b"}, "more than one file given: 'b'"},
        Row{"simulate_unknown", {"simulate", ".", "--speed", "3"}, "unknown option '--speed'"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(CliHelp, EveryCommandExplainsItsOptions) {
    for (const auto& [args, listed] : std::vector<std::pair<std::vector<std::string>, const char*>>{
             {{"--help"}, "replay"},
             {{"replay", "--help"}, "--max-count N"},
             {{"script", "--help"}, "docs/script.md"},
             {{"simulate", "--help"}, "--in-place"},
             {{"--version"}, "trakora-cli 1."},
             {{"replay", "--version"}, "trakora-cli 1."}}) {
        const CliRun run = run_cli(args, false);
        EXPECT_EQ(run.status, 0) << args[0];
        EXPECT_NE(run.out.find(listed), std::string::npos) << run.out;
    }
}

}  // namespace
