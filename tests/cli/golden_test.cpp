// SPDX-License-Identifier: MIT
// Golden runs of the driver: every tests/golden/NAME.script is run with trakora-cli from
// the golden folder, and its output must equal NAME.jsonl to the byte (the golden
// folder's absolute path written as @GOLDEN@). A line "# exit: N" in a script names the
// exit status it must end with (0 otherwise). TRAKORA_UPDATE_GOLDEN=1 rewrites the
// expected files instead; review the diff before committing it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_program.hpp"

namespace {

namespace fs = std::filesystem;
using trakora::testing::ProgramRun;

const fs::path kGoldenDir = fs::path(TRAKORA_TEST_DATA_DIR) / "golden";

std::string read_text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

ProgramRun run_in_golden_dir(const std::vector<std::string>& args, std::string input = {}) {
    ProgramRun run =
        trakora::testing::run_cli(args, {.input = std::move(input), .folder = kGoldenDir});
    // The golden folder's place differs from machine to machine.
    const std::string root = kGoldenDir.string();
    for (std::size_t at; (at = run.out.find(root)) != std::string::npos;)
        run.out.replace(at, root.size(), "@GOLDEN@");
    return run;
}

// The first line where two outputs part, for a readable failure.
std::string first_difference(const std::string& expected, const std::string& actual) {
    std::istringstream e(expected), a(actual);
    std::string el, al;
    for (int line = 1;; ++line) {
        const bool more_e = static_cast<bool>(std::getline(e, el));
        const bool more_a = static_cast<bool>(std::getline(a, al));
        if (!more_e && !more_a) return "outputs are equal";
        if (el != al || more_e != more_a) {
            return "line " + std::to_string(line) + "\n  expected: " + el.substr(0, 400) +
                   "\n  actual:   " + al.substr(0, 400);
        }
    }
}

void check_golden(const std::vector<std::string>& args, const fs::path& expected_file,
                  int expected_status) {
    const ProgramRun run = run_in_golden_dir(args);
    std::string arguments;
    for (const std::string& a : args) arguments += a + " ";
    if (std::getenv("TRAKORA_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(expected_file, std::ios::binary) << run.out;
        GTEST_SKIP() << "rewrote " << expected_file;
    }
    ASSERT_TRUE(fs::exists(expected_file)) << expected_file;
    const std::string expected = read_text(expected_file);
    EXPECT_EQ(run.status, expected_status) << arguments;
    EXPECT_TRUE(run.out == expected) << arguments << ": " << first_difference(expected, run.out);
}

int expected_exit(const fs::path& script) {
    std::ifstream in(script);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("# exit: ", 0) == 0) return std::atoi(line.c_str() + 8);
    }
    return 0;
}

TEST(Golden, EveryScriptAnswersAsRecorded) {
    int scripts = 0;
    for (const auto& entry : fs::directory_iterator(kGoldenDir)) {
        if (entry.path().extension() != ".script") continue;
        ++scripts;
        SCOPED_TRACE(entry.path().filename().string());
        fs::path expected = entry.path();
        expected.replace_extension(".jsonl");
        check_golden({"script", entry.path().filename().string()}, expected,
                     expected_exit(entry.path()));
    }
    EXPECT_GE(scripts, 3);
}

TEST(Golden, ScriptReadsStandardInputToo) {
    const ProgramRun from_file = run_in_golden_dir({"script", "night.script"});
    const ProgramRun from_stdin =
        run_in_golden_dir({"script"}, read_text(kGoldenDir / "night.script"));
    EXPECT_EQ(from_stdin.status, 0);
    EXPECT_TRUE(from_stdin.out == from_file.out);
}

TEST(Golden, ReplayPrintsTheRecordedNight) {
    check_golden({"replay", "night1", "--pick", "50", "30"}, kGoldenDir / "night1_replay.csv", 0);
}

}  // namespace
