// SPDX-License-Identifier: MIT
// Golden runs of the driver: every tests/golden/NAME.script is run with trakora-cli from
// the golden folder, and its output must equal NAME.jsonl to the byte (the golden
// folder's absolute path written as @GOLDEN@). A line "# exit: N" in a script names the
// exit status it must end with (0 otherwise). TRAKORA_UPDATE_GOLDEN=1 rewrites the
// expected files instead; review the diff before committing it.
// The expected files are recorded on x86-64, and there the outputs must be equal to the
// byte. Built for another architecture (arm64, whose compiler fuses multiplies and adds),
// a number may differ in its last digits: there each number must agree with the recorded
// one within kCrossArchTolerance, and all text between the numbers to the byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
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

// Relative to the larger number, or absolute below 1: the last digits of a double that
// went through a different order of roundings. The first arm64 run differed by 1.5e-10
// relative at most (an hour angle through ERFA), every other number by under 1e-11.
constexpr double kCrossArchTolerance = 1e-9;

// Whether two outputs agree as a different architecture's outputs may: the same text
// around the numbers, and each number within kCrossArchTolerance. Otherwise `why` says
// where they part.
bool agree_across_architectures(const std::string& expected, const std::string& actual,
                                std::string& why) {
    static const std::regex number(R"(-?[0-9]+(\.[0-9]+)?([eE][-+]?[0-9]+)?)");
    std::sregex_iterator e(expected.begin(), expected.end(), number);
    std::sregex_iterator a(actual.begin(), actual.end(), number);
    const std::sregex_iterator end;
    std::size_t e_at = 0, a_at = 0;
    for (; e != end && a != end; ++e, ++a) {
        const std::string e_text =
            expected.substr(e_at, static_cast<std::size_t>(e->position()) - e_at);
        const std::string a_text =
            actual.substr(a_at, static_cast<std::size_t>(a->position()) - a_at);
        if (e_text != a_text) {
            why = "text differs before " + e->str();
            return false;
        }
        const double x = std::stod(e->str()), y = std::stod(a->str());
        if (std::abs(x - y) > kCrossArchTolerance * std::max({1.0, std::abs(x), std::abs(y)})) {
            why = "expected " + e->str() + ", got " + a->str();
            return false;
        }
        e_at = static_cast<std::size_t>(e->position() + e->length());
        a_at = static_cast<std::size_t>(a->position() + a->length());
    }
    if (e != end || a != end || expected.substr(e_at) != actual.substr(a_at)) {
        why = "text differs after the last number";
        return false;
    }
    return true;
}

TEST(GoldenAcrossArchitectures, NumbersAgreeWithinTheToleranceAndTextToTheByte) {
    struct Row {
        std::string expected, actual;
        bool agree;
    };
    const Row rows[] = {
        {R"({"ha":0.1999988934914434})", R"({"ha":0.19999889352054723})", true},
        {R"({"ha":0.1999988934914434})", R"({"ha":0.1999988954914434})", false},
        {R"({"e":1234.5,"n":3})", R"({"e":1234.5000001,"n":3})", true},
        {R"({"e":1234.5,"n":3})", R"({"e":1234.501,"n":3})", false},
        {R"({"a":1,"b":2})", R"({"a":1,"c":2})", false},
        {R"({"a":1,"b":2})", R"({"a":1,"b":2,"c":3})", false},
        {"x,-2.5e-3\n", "x,-2.5000000000001e-3\n", true},
        {"x,1\n", "x,1 \n", false},
    };
    for (const Row& row : rows) {
        std::string why;
        EXPECT_EQ(agree_across_architectures(row.expected, row.actual, why), row.agree)
            << row.expected << " / " << row.actual << ": " << why;
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
#if defined(__x86_64__)
    EXPECT_TRUE(run.out == expected) << arguments << ": " << first_difference(expected, run.out);
#else
    std::string why;
    EXPECT_TRUE(run.out == expected || agree_across_architectures(expected, run.out, why))
        << arguments << ": " << why << "\n"
        << first_difference(expected, run.out);
#endif
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
