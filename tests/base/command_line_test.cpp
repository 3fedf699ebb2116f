// SPDX-License-Identifier: MIT
// The option parser: both spellings of a value, flags, several values, operands, and a
// reason that names what is wrong for everything it refuses.
#include "base/command_line.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace trakora::command_line {
namespace {

struct Values {
    bool colour = false;
    long count = 0;
    double interval = 2;
    std::string name;
    std::string folder;
    std::vector<std::string> pick;
};

// A command with one option of each kind and one operand, writing into `v`.
Syntax syntax_for(Values& v) {
    Syntax syntax{"prog", "cmd", "What it does."};
    syntax.options = {
        {"colour", "", "a flag", 0, flag(v.colour), "color"},
        {"count", "N", "a whole number", 1, whole(v.count, 1, 300)},
        {"interval", "SECONDS", "a number", 1, number(v.interval, 0, 60, "seconds")},
        {"name", "TEXT", "any text", 1, text(v.name)},
        {"pick", "X Y", "two values", 2,
         [&v](std::span<const std::string_view> values) -> Refusal {
             v.pick.assign(values.begin(), values.end());
             return std::nullopt;
         }},
    };
    syntax.operands = {{"FOLDER", "where", true, text(v.folder)}};
    syntax.check = [&v]() -> Refusal {
        if (v.colour && v.count > 100) return "--colour allows up to 100 images";
        return std::nullopt;
    };
    return syntax;
}

struct Row {
    const char* name;
    std::vector<std::string_view> args;
    Outcome outcome;
    const char* error;  // the whole reason, when refused
};

class Parse : public ::testing::TestWithParam<Row> {};

TEST_P(Parse, TakesOrRefusesWithAReason) {
    const Row& row = GetParam();
    Values v;
    const Parsed parsed = parse(syntax_for(v), row.args);
    EXPECT_EQ(parsed.outcome, row.outcome);
    EXPECT_EQ(parsed.error, row.error);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Parse,
    ::testing::Values(
        Row{"operand_only", {"f"}, Outcome::run, ""},
        Row{"help_before_errors_after", {"--help", "--bogus"}, Outcome::help, ""},
        Row{"short_help", {"-h"}, Outcome::help, ""},
        Row{"version", {"--version"}, Outcome::version, ""},
        Row{"unknown_option", {"f", "--bogus"}, Outcome::error, "unknown option '--bogus'"},
        Row{"unknown_with_value", {"--bogus=3", "f"}, Outcome::error, "unknown option '--bogus'"},
        Row{"single_dash", {"-x", "f"}, Outcome::error, "unknown option '-x'"},
        Row{"missing_value_at_end", {"f", "--count"}, Outcome::error, "--count needs a value"},
        Row{"option_as_value",
            {"--count", "--colour", "f"},
            Outcome::error,
            "--count needs a value"},
        Row{"one_of_two_values",
            {"f", "--pick", "378"},
            Outcome::error,
            "--pick needs 2 values: X Y"},
        Row{"one_of_two_after_equals",
            {"f", "--pick=378"},
            Outcome::error,
            "--pick needs 2 values: X Y"},
        Row{"value_too_small",
            {"f", "--count", "0"},
            Outcome::error,
            "--count: expected a whole number from 1 to 300, not '0'"},
        Row{"value_not_whole",
            {"f", "--count=2.5"},
            Outcome::error,
            "--count: expected a whole number from 1 to 300, not '2.5'"},
        Row{"value_not_a_number",
            {"f", "--interval", "2s"},
            Outcome::error,
            "--interval: expected seconds from 0 to 60, not '2s'"},
        Row{"infinite",
            {"f", "--interval", "inf"},
            Outcome::error,
            "--interval: expected seconds from 0 to 60, not 'inf'"},
        Row{"flag_with_value", {"f", "--colour=yes"}, Outcome::error, "--colour takes no value"},
        Row{"alias_named_by_its_name",
            {"f", "--color=1"},
            Outcome::error,
            "--colour takes no value"},
        Row{"no_operand", {"--count", "3"}, Outcome::error, "no folder given"},
        Row{"two_operands", {"f", "g"}, Outcome::error, "more than one folder given: 'g'"},
        Row{"combination",
            {"f", "--colour", "--count", "200"},
            Outcome::error,
            "--colour allows up to 100 images"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(ParseValues, BothSpellingsAndTheEndOfOptions) {
    Values v;
    const std::vector<std::string_view> args = {"--count=+7", "--interval", "0.25", "--color",
                                                "--pick",     "-3",         "4.5",  "--name=a=b",
                                                "--",         "--folder"};
    ASSERT_EQ(parse(syntax_for(v), args).error, "");
    EXPECT_EQ(v.count, 7);
    EXPECT_EQ(v.interval, 0.25);
    EXPECT_TRUE(v.colour);
    EXPECT_EQ(v.pick, (std::vector<std::string>{"-3", "4.5"}));
    EXPECT_EQ(v.name, "a=b");
    EXPECT_EQ(v.folder, "--folder");

    Values w;
    const std::vector<std::string_view> commas = {"--pick=1,2", "f", "--name="};
    ASSERT_EQ(parse(syntax_for(w), commas).error, "");
    EXPECT_EQ(w.pick, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(w.name, "");
}

TEST(HelpText, ListsEveryOptionFromTheTable) {
    Values v;
    const Syntax syntax = syntax_for(v);
    const std::string help = help_text(syntax);
    EXPECT_EQ(help.rfind("usage: prog cmd FOLDER [options]\nWhat it does.\n", 0), 0u) << help;
    for (const char* row :
         {"  FOLDER             where\n", "  --colour           a flag\n",
          "  --count N          a whole number\n", "  --pick X Y         two values\n",
          "  --help             this text\n", "  --version"})
        EXPECT_NE(help.find(row), std::string::npos) << row << " in\n" << help;
    EXPECT_EQ(help.find("color\n"), std::string::npos) << "the alias stays out of the help";
    EXPECT_EQ(error_line(syntax, "no folder given"),
              "prog cmd: no folder given; try 'prog cmd --help'\n");
    EXPECT_EQ(error_line(syntax, "not 'a\nb\x1b[2J'"),
              "prog cmd: not 'a\\x0ab\\x1b[2J'; try 'prog cmd --help'\n");
    EXPECT_EQ(version_text(syntax).rfind("prog ", 0), 0u);
}

}  // namespace
}  // namespace trakora::command_line
