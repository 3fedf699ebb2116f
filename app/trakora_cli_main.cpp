// SPDX-License-Identifier: MIT
// trakora-cli: the program without windows.
#include <span>
#include <string>
#include <string_view>

#include "base/command_line.hpp"
#include "cli/commands.hpp"

namespace {

constexpr std::size_t kHelpColumn = 21;  // as in the option rows above

struct Command {
    std::string_view word;
    int (*run)(int argc, char** argv);
    std::string_view help;
};

constexpr Command kCommands[] = {
    {"script", trakora::cli::run_script,
     "reads commands (docs/script.md) and prints what the program\nwould show as JSON Lines"},
    {"replay", trakora::cli::run_replay, "measures a recorded night again and prints the series"},
    {"simulate", trakora::cli::run_simulate,
     "the simulated camera: writes images of a drifting star"},
    {"watch", trakora::cli::run_watch,
     "watches a folder at the mount and prints the assistant's state\nafter each tick; --serve "
     "shows it to a phone"},
    {"where", trakora::cli::run_where,
     "where to point for each phase of the alignment, from the site\nand the clock"},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2) {
        for (const Command& command : kCommands)
            if (command.word == argv[1]) return command.run(argc - 2, argv + 2);
    }
    // No command word: only --help, --version or a reason why not.
    namespace cl = trakora::command_line;
    cl::Syntax syntax{"trakora-cli", "", "Trakora without windows."};
    syntax.operands = {{"COMMAND", "one of the commands below", true,
                        [](std::span<const std::string_view> v) -> cl::Refusal {
                            return "unknown command '" + std::string(v[0]) +
                                   "' (script, replay, simulate, watch or where)";
                        }}};
    syntax.notes = "Commands (trakora-cli COMMAND --help tells more):\n";
    for (const Command& command : kCommands) {
        std::string row = "  " + std::string(command.word);
        row.resize(kHelpColumn, ' ');
        for (const char c : command.help) {
            row += c;
            if (c == '\n') row.append(kHelpColumn, ' ');
        }
        syntax.notes += row + "\n";
    }
    if (const auto status = cl::parse_or_exit(syntax, argc - 1, argv + 1)) return *status;
    return 2;  // not reached: COMMAND takes no word that got here
}
