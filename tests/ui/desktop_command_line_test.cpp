// SPDX-License-Identifier: MIT
// The desktop program's command line, read before any window exists: a refused option,
// and a start without any display, end with status 2 and one line that says why.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

struct Row {
    const char* name;
    std::string command;  // run by the shell, standard error kept
    const char* reason;   // part of the one line on standard error
};

class DesktopCommandLine : public ::testing::TestWithParam<Row> {};

TEST_P(DesktopCommandLine, EndsWithOneLineThatSaysWhy) {
    const Row& row = GetParam();
    const std::string command = row.command + " 2>&1 >/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string err;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        err.append(buffer, n);
    const int status = ::pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status)) << err;
    EXPECT_EQ(WEXITSTATUS(status), 2) << err;
    EXPECT_NE(err.find(row.reason), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

const std::string kProgram = std::string("'") + TRAKORA_DESKTOP_PATH + "'";
const std::string kNoDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";

INSTANTIATE_TEST_SUITE_P(
    Rows, DesktopCommandLine,
    ::testing::Values(Row{"no_display", kNoDisplay + kProgram, "xvfb-run"},
                      Row{"empty_display",
                          "env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY= " + kProgram,
                          "no display"},
                      Row{"unknown_name_rule", kProgram + " --names lower", "any or specified"},
                      Row{"unknown_language", kProgram + " --lang fr", "expected ja or en"},
                      Row{"name_rule_without_display", kNoDisplay + kProgram + " --names",
                          "--names needs a value"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
