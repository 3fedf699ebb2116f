// SPDX-License-Identifier: MIT
// The desktop program's command line, read before any window exists: a refused option,
// and a start without any display, end with status 2 and one line that says why.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/run_program.hpp"

namespace {

struct Row {
    const char* name;
    std::vector<std::string> env;   // changes to the environment ("NAME" alone unsets)
    std::vector<std::string> args;  // after the program's name
    const char* reason;             // part of the one line on standard error
};

class DesktopCommandLine : public ::testing::TestWithParam<Row> {};

TEST_P(DesktopCommandLine, EndsWithOneLineThatSaysWhy) {
    const Row& row = GetParam();
    std::vector<std::string> argv = {TRAKORA_DESKTOP_PATH};
    argv.insert(argv.end(), row.args.begin(), row.args.end());
    const trakora::testing::ProgramRun run = trakora::testing::run_program(argv, {.env = row.env});
    const std::string& err = run.err;
    ASSERT_EQ(run.signal, 0) << err;
    EXPECT_EQ(run.status, 2) << err;
    EXPECT_NE(err.find(row.reason), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

const std::vector<std::string> kNoDisplay = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};

INSTANTIATE_TEST_SUITE_P(
    Rows, DesktopCommandLine,
    ::testing::Values(
        Row{"no_display", kNoDisplay, {}, "xvfb-run"},
        Row{"empty_display", {"WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DISPLAY="}, {}, "no display"},
        Row{"unknown_name_rule", {}, {"--names", "lower"}, "any or specified"},
        Row{"unknown_language", {}, {"--lang", "fr"}, "expected ja or en"},
        Row{"name_rule_without_display", kNoDisplay, {"--names"}, "--names needs a value"},
        Row{"token_without_serve", {}, {"--token", "abcdefgh12"}, "--token needs --serve"},
        Row{"serve_without_port", {}, {"--serve", "0.0.0.0:"}, "expected [ADDRESS:]PORT"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
