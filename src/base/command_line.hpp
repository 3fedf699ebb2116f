// SPDX-License-Identifier: MIT
// The command line of every Trakora program and command, read against a table of its
// options: `--name VALUE` and `--name=VALUE`, `--help` written from the table, `--version`,
// and a one-line reason for anything it cannot take.
//
//   Syntax syntax{"trakora-cli", "replay", "Measures a recorded night again."};
//   syntax.options = {{"max-count", "N", "stop the series at N", 1, whole(n, 1, 300)}};
//   syntax.operands = {{"FOLDER", "the night's images", true, text(folder)}};
//   if (const auto status = parse_or_exit(syntax, argc, argv)) return *status;
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace trakora::command_line {

// A setter's answer: nothing when it took the value, else the reason it did not,
// naming the value ("expected a whole number from 1 to 300, not '0'").
using Refusal = std::optional<std::string>;
using Setter = std::function<Refusal(std::span<const std::string_view> values)>;

struct Option {
    std::string_view name;        // written --name
    std::string_view value_name;  // "N", "X Y"; empty for a flag
    std::string_view help;        // may hold line ends; later lines are indented to match
    int values = 0;               // 0: a flag; 1: one value; more: that many values
    Setter set;
    std::string_view alias = {};  // another accepted name, not listed by --help
};

struct Operand {
    std::string_view name;  // "FOLDER"; its lower case names it in messages
    std::string_view help;
    bool required = true;
    Setter set;  // given the one value; its refusal is the whole reason
};

struct Syntax {
    std::string_view program;  // "trakora-cli"
    std::string_view command;  // "replay"; empty for the program itself
    std::string summary = {};  // under the usage line
    std::vector<Option> options = {};
    std::vector<Operand> operands = {};  // taken in order
    std::string notes = {};              // after the options
    std::function<Refusal()> check{};    // combinations, once everything is set
};

enum class Outcome { run, help, version, error };

struct Parsed {
    Outcome outcome = Outcome::run;
    std::string error;  // the reason, when the outcome is an error
};

// Reads `args` (without the program and command words) through the setters of `syntax`.
// `--help` or `-h` and `--version` end the reading; `--` ends the options.
Parsed parse(const Syntax& syntax, std::span<const std::string_view> args);

std::string help_text(const Syntax& syntax);
std::string version_text(const Syntax& syntax);  // "trakora-cli 1.0\n"
// The one line for a refused command line: "trakora-cli replay: REASON; try ...".
std::string error_line(const Syntax& syntax, std::string_view reason);

// Parses, writes the help or the version to standard output or the refusal to standard
// error, and returns the exit status (0 or 2) when the program ends here, nothing when it
// goes on.
std::optional<int> parse_or_exit(const Syntax& syntax, int argc, const char* const* argv);

// Values as text, strictly: the whole text, optionally signed; a number is finite
// (exact_number in base/number_text.hpp).
std::optional<double> to_number(std::string_view text);
std::optional<long long> to_whole(std::string_view text);

// Setters for the common kinds of value, with their reasons.
Setter flag(bool& out);
Setter text(std::string& out);
Setter whole(long& out, long lo, long hi);
// `what` names the kind of number in the reason: "expected seconds from 0 to 86400".
Setter number(double& out, double lo, double hi, std::string_view what = "a number");

}  // namespace trakora::command_line
