// SPDX-License-Identifier: MIT
// trakora-cli's command lines as a new user types them: help and version on standard
// output, and for a refused one exit status 2 with one line that says why.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/run_program.hpp"

namespace {

using trakora::testing::ProgramRun;
using trakora::testing::run_cli;

struct Row {
    const char* name;
    std::vector<std::string> args;
    const char* reason;  // part of the one line on standard error
};

class RefusedCommandLine : public ::testing::TestWithParam<Row> {};

TEST_P(RefusedCommandLine, ExitsTwoWithOneLineThatSaysWhy) {
    const Row& row = GetParam();
    const ProgramRun run = run_cli(row.args);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(row.reason), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
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
        Row{"simulate_unknown", {"simulate", ".", "--speed", "3"}, "unknown option '--speed'"},
        Row{"where_no_site", {"where", "--lat", "50"}, "give the site by --lat and --lon"},
        Row{"where_latitude", {"where", "--lat", "95", "--lon", "0"}, "--lat"},
        Row{"where_local_time",
            {"where", "--lat", "50", "--lon", "0", "--time", "21:00"},
            "expected a UTC time yyyy-mm-ddThh:mm:ss, not '21:00'"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(CliHelp, EveryCommandExplainsItsOptions) {
    for (const auto& [args, listed] : std::vector<std::pair<std::vector<std::string>, const char*>>{
             {{"--help"}, "replay"},
             {{"replay", "--help"}, "--max-count N"},
             {{"script", "--help"}, "docs/script.md"},
             {{"simulate", "--help"}, "--in-place"},
             {{"where", "--help"}, "--lat DEG"},
             {{"--version"}, "trakora-cli 1."},
             {{"replay", "--version"}, "trakora-cli 1."}}) {
        const ProgramRun run = run_cli(args);
        EXPECT_EQ(run.status, 0) << args[0];
        EXPECT_NE(run.out.find(listed), std::string::npos) << run.out;
    }
}

}  // namespace
