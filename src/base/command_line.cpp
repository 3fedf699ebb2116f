// SPDX-License-Identifier: MIT
#include "base/command_line.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "base/number_text.hpp"
#include "base/version.hpp"

namespace trakora::command_line {
namespace {

constexpr std::size_t kHelpColumn = 21;  // where the help texts start in --help

std::string quoted(std::string_view value) { return "'" + std::string(value) + "'"; }

std::string lower(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string full_name(const Syntax& syntax) {
    std::string name(syntax.program);
    if (!syntax.command.empty()) name.append(" ").append(syntax.command);
    return name;
}

const Option* find_option(const Syntax& syntax, std::string_view name) {
    for (const Option& option : syntax.options)
        if (option.name == name || (!option.alias.empty() && option.alias == name)) return &option;
    return nullptr;
}

// A word that stands where a value should: another option, not a negative number.
bool looks_like_option(std::string_view word) {
    return word.size() > 2 && word.substr(0, 2) == "--";
}

std::vector<std::string_view> split_commas(std::string_view text) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string_view::npos) return parts;
        start = comma + 1;
    }
}

std::string needs_values(const Option& option) {
    std::string text = "--" + std::string(option.name);
    if (option.values == 1) return text + " needs a value";
    return text + " needs " + std::to_string(option.values) +
           " values: " + std::string(option.value_name);
}

// One row of --help: the name column, then the help, later lines indented to it.
void append_row(std::string& out, std::string_view left, std::string_view help) {
    std::string row = "  " + std::string(left);
    row.append(row.size() + 1 < kHelpColumn ? kHelpColumn - row.size() : 1, ' ');
    for (const char c : help) {
        row += c;
        if (c == '\n') row.append(kHelpColumn, ' ');
    }
    out += row + "\n";
}

}  // namespace

Parsed parse(const Syntax& syntax, std::span<const std::string_view> args) {
    const auto refuse = [](std::string reason) {
        return Parsed{Outcome::error, std::move(reason)};
    };
    std::size_t operands = 0;
    bool options_ended = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool is_option = !options_ended && arg.size() > 1 && arg[0] == '-';
        if (!is_option) {
            if (operands == syntax.operands.size()) {
                if (syntax.operands.empty()) return refuse("unexpected argument " + quoted(arg));
                return refuse("more than one " + lower(syntax.operands.back().name) +
                              " given: " + quoted(arg));
            }
            const Operand& operand = syntax.operands[operands++];
            if (const Refusal why = operand.set(std::span(&arg, 1))) return refuse(*why);
            continue;
        }
        if (arg == "--") {
            options_ended = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") return {Outcome::help, {}};
        if (arg == "--version") return {Outcome::version, {}};

        const std::size_t eq = arg.find('=');
        const std::string_view written = arg.substr(0, eq);
        const Option* option =
            written.substr(0, 2) == "--" ? find_option(syntax, written.substr(2)) : nullptr;
        if (option == nullptr) return refuse("unknown option " + quoted(written));
        const std::string name = "--" + std::string(option->name);

        std::vector<std::string_view> values;
        if (eq != std::string_view::npos) {
            if (option->values == 0) return refuse(name + " takes no value");
            values = option->values == 1 ? std::vector{arg.substr(eq + 1)}
                                         : split_commas(arg.substr(eq + 1));
            if (values.size() != static_cast<std::size_t>(option->values))
                return refuse(needs_values(*option));
        } else {
            for (int k = 0; k < option->values; ++k) {
                if (i + 1 >= args.size() || looks_like_option(args[i + 1]))
                    return refuse(needs_values(*option));
                values.push_back(args[++i]);
            }
        }
        if (const Refusal why = option->set(values)) return refuse(name + ": " + *why);
    }
    for (std::size_t k = operands; k < syntax.operands.size(); ++k)
        if (syntax.operands[k].required)
            return refuse("no " + lower(syntax.operands[k].name) + " given");
    if (syntax.check) {
        if (const Refusal why = syntax.check()) return refuse(*why);
    }
    return {};
}

std::string help_text(const Syntax& syntax) {
    std::string out = "usage: " + full_name(syntax);
    for (const Operand& operand : syntax.operands)
        out += operand.required ? " " + std::string(operand.name)
                                : " [" + std::string(operand.name) + "]";
    out += " [options]\n";
    if (!syntax.summary.empty()) out += syntax.summary + "\n";
    out += "\n";
    for (const Operand& operand : syntax.operands) append_row(out, operand.name, operand.help);
    for (const Option& option : syntax.options) {
        std::string left = "--" + std::string(option.name);
        if (!option.value_name.empty()) left += " " + std::string(option.value_name);
        append_row(out, left, option.help);
    }
    append_row(out, "--help", "this text");
    append_row(out, "--version", "the program's version");
    for (const Option& option : syntax.options) {
        if (option.values < 2) continue;
        std::string example =
            "--" + std::string(option.name) + "=" + std::string(option.value_name);
        for (char& c : example)
            if (c == ' ') c = ',';
        out += "\nWritten with '=', the values of an option are separated by commas: " + example +
               ".\n";
        break;
    }
    if (!syntax.notes.empty()) out += "\n" + syntax.notes;
    return out;
}

std::string version_text(const Syntax& syntax) {
    return std::string(syntax.program) + " " + kVersion + "\n";
}

std::string error_line(const Syntax& syntax, std::string_view reason) {
    const std::string name = full_name(syntax);
    std::string line = name + ": ";
    // A value quoted in the reason may hold line ends or terminal controls; they are
    // shown as \xNN so the reason stays one plain line.
    for (const char c : reason) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7f) {
            line += c;
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
        line += escaped;
    }
    return line + "; try '" + name + " --help'\n";
}

std::optional<int> parse_or_exit(const Syntax& syntax, int argc, const char* const* argv) {
    const std::vector<std::string_view> args(argv, argv + argc);
    const Parsed parsed = parse(syntax, args);
    switch (parsed.outcome) {
        case Outcome::run:
            return std::nullopt;
        case Outcome::help:
            std::fputs(help_text(syntax).c_str(), stdout);
            return 0;
        case Outcome::version:
            std::fputs(version_text(syntax).c_str(), stdout);
            return 0;
        case Outcome::error:
            break;
    }
    std::fputs(error_line(syntax, parsed.error).c_str(), stderr);
    return 2;
}

std::optional<double> to_number(std::string_view text) { return exact_number(text); }

std::optional<long long> to_whole(std::string_view text) {
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

Setter flag(bool& out) {
    return [&out](std::span<const std::string_view>) -> Refusal {
        out = true;
        return std::nullopt;
    };
}

Setter text(std::string& out) {
    return [&out](std::span<const std::string_view> values) -> Refusal {
        out = std::string(values[0]);
        return std::nullopt;
    };
}

Setter whole(long& out, long lo, long hi) {
    return [&out, lo, hi](std::span<const std::string_view> values) -> Refusal {
        const std::optional<long long> v = to_whole(values[0]);
        if (!v || *v < lo || *v > hi) {
            std::string range = hi == std::numeric_limits<long>::max()
                                    ? "of at least " + std::to_string(lo)
                                    : "from " + std::to_string(lo) + " to " + std::to_string(hi);
            return "expected a whole number " + range + ", not " + quoted(values[0]);
        }
        out = static_cast<long>(*v);
        return std::nullopt;
    };
}

Setter number(double& out, double lo, double hi, std::string_view what) {
    return [&out, lo, hi, what](std::span<const std::string_view> values) -> Refusal {
        const std::optional<double> v = to_number(values[0]);
        if (!v || *v < lo || *v > hi) {
            char range[64];
            std::snprintf(range, sizeof range, "from %g to %g", lo, hi);
            return "expected " + std::string(what) + " " + range + ", not " + quoted(values[0]);
        }
        out = *v;
        return std::nullopt;
    };
}

}  // namespace trakora::command_line
