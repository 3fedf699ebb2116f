// SPDX-License-Identifier: MIT
#include "cli/script_driver.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <system_error>
#include <variant>
#include <vector>

#include "arrival/name_rule.hpp"
#include "base/command_line.hpp"
#include "base/number_text.hpp"
#include "base/rounding.hpp"
#include "cli/commands.hpp"
#include "cli/json_writer.hpp"
#include "core/handlers.hpp"
#include "report/summary_json.hpp"
#include "session/alignment_step.hpp"
#include "session/assistant_handlers.hpp"

namespace trakora::cli {
namespace {

namespace fs = std::filesystem;

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// The first word of `line`, and in `rest` what follows the single blank after it.
std::string_view take_word(std::string_view line, std::string_view& rest) {
    std::size_t end = 0;
    while (end < line.size() && !is_blank(line[end])) ++end;
    rest = end < line.size() ? line.substr(end + 1) : std::string_view();
    return line.substr(0, end);
}

std::vector<std::string_view> split_blanks(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && is_blank(text[i])) ++i;
        std::size_t start = i;
        while (i < text.size() && !is_blank(text[i])) ++i;
        if (i > start) words.push_back(text.substr(start, i - start));
    }
    return words;
}

std::optional<double> parse_number(std::string_view token) { return exact_number(token); }

std::optional<std::int64_t> parse_whole(std::string_view token, std::int64_t lo, std::int64_t hi) {
    const std::optional<double> v = parse_number(token);
    if (!v || std::trunc(*v) != *v || *v < static_cast<double>(lo) || *v > static_cast<double>(hi))
        return std::nullopt;
    return static_cast<std::int64_t>(*v);
}

class CommandError {
  public:
    explicit CommandError(std::string message) : text(std::move(message)) {}
    std::string text;
};

[[noreturn]] void fail(const std::string& text) { throw CommandError(text); }

std::string folder_path(const ScriptSession& session, std::string_view text) {
    fs::path path(text);
    if (path.is_relative()) path = fs::path(session.start_directory) / path;
    std::string normal = path.lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
    std::error_code ec;
    if (text.empty() || !fs::is_directory(normal, ec)) fail("no such folder: " + std::string(text));
    return normal;
}

TextField text_box(std::string_view name) {
    if (name == "Text1") return TextField::Folder;
    if (name == "Text2") return TextField::Interval;
    if (name == "Text3") return TextField::Count;
    fail("no such text box: " + std::string(name));
    return TextField::Folder;
}

void append_int(std::string& out, std::int64_t v) {
    char buf[24];
    out.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

// An event whose last field holds rows of values as a JSON array of arrays, written out
// a row at a time so a large image never sits in memory as text.
template <typename ValueAt>
void emit_rows(ScriptView& view, JsonLine head, std::string_view field, int width, int height,
               ValueAt value_at) {
    std::string out = std::move(head.open_field(field));
    out += '[';
    for (int y = 0; y < height; ++y) {
        if (y > 0) out += ',';
        out += '[';
        for (int x = 0; x < width; ++x) {
            if (x > 0) out += ',';
            append_int(out, value_at(x, y));
        }
        out += ']';
        if (out.size() > (1 << 20)) {
            view.emit(out);
            out.clear();
        }
    }
    out += "]}\n";
    view.emit(out);
}

// The fields of the `state` event, in its order. Those marked settable are the shared
// variables that `set` assigns; the view's fields come last.
using Slots = decltype(State::measurements);
using ViewField = void (*)(JsonLine&, std::string_view name, const ScriptView&);

struct Field {
    std::string_view name;
    std::variant<std::string State::*, Number State::*, std::int32_t State::*, Slots State::*,
                 ViewField>
        value;
    bool settable = false;
};

const Field kFields[] = {
    {"fits_file_name", &State::fits_file_name, true},
    {"object_set", &State::object_set, true},
    {"object_pick_enabled", &State::object_pick_enabled, true},
    {"object_x", &State::object_x, true},
    {"object_y", &State::object_y, true},
    {"reference_x", &State::reference_x, true},
    {"reference_y", &State::reference_y, true},
    {"crosshair_scale", &State::crosshair_scale},
    {"max_count", &State::max_count, true},
    {"measurements", &State::measurements, true},
    {"header_end_card", &State::header_end_card},
    {"fits_bitpix", &State::fits_bitpix},
    {"image_width", &State::image_width},
    {"image_height", &State::image_height},
    {"image_planes", &State::image_planes},
    {"fits_bzero", &State::fits_bzero},
    {"fits_bscale", &State::fits_bscale},
    {"pixel_min", &State::pixel_min},
    {"pixel_max", &State::pixel_max},
    {"display_low", &State::display_low, true},
    {"display_range", &State::display_range, true},
    {"timer_enabled", +[](JsonLine& l, std::string_view n,
                          const ScriptView& v) { l.boolean(n, v.timer_enabled()); }},
    {"timer_interval", +[](JsonLine& l, std::string_view n,
                           const ScriptView& v) { l.integer(n, v.timer_interval()); }},
    {"Text1", +[](JsonLine& l, std::string_view n,
                  const ScriptView& v) { l.string(n, v.text(TextField::Folder)); }},
    {"Text2", +[](JsonLine& l, std::string_view n,
                  const ScriptView& v) { l.string(n, v.text(TextField::Interval)); }},
    {"Text3", +[](JsonLine& l, std::string_view n,
                  const ScriptView& v) { l.string(n, v.text(TextField::Count)); }},
    {"Label5",
     +[](JsonLine& l, std::string_view n, const ScriptView& v) { l.string(n, v.label()); }},
    {"object_window_open", +[](JsonLine& l, std::string_view n,
                               const ScriptView& v) { l.boolean(n, v.object_window_open()); }},
};

template <typename... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <typename... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

void emit_state(ScriptSession& session) {
    const State& s = session.state;
    JsonLine line("state");
    for (const Field& field : kFields) {
        const std::string_view n = field.name;
        std::visit(Overloaded{
                       [&](std::string State::*m) { line.string(n, s.*m); },
                       [&](Number State::*m) { line.number(n, s.*m); },
                       [&](std::int32_t State::*m) { line.integer(n, s.*m); },
                       [&](Slots State::*m) {
                           std::string& out = line.open_field(n);
                           out += '[';
                           for (std::size_t k = 0; k < (s.*m).size(); ++k) {
                               if (k > 0) out += ',';
                               out += '[';
                               append_json_number(out, (s.*m)[k][0]);
                               out += ',';
                               append_json_number(out, (s.*m)[k][1]);
                               out += ']';
                           }
                           out += ']';
                       },
                       [&](ViewField write) { write(line, n, session.view); },
                   },
                   field.value);
    }
    session.view.emit(line.finish());
}

const Field* settable_field(std::string_view name) {
    for (const Field& field : kFields)
        if (field.settable && field.name == name) return &field;
    return nullptr;
}

void set_variable(ScriptSession& session, std::string_view args) {
    State& s = session.state;
    std::string_view value;
    const std::string_view name = take_word(args, value);
    const Field* field = settable_field(name);
    if (field != nullptr) {
        if (const auto* text = std::get_if<std::string State::*>(&field->value)) {
            s.*(*text) = std::string(value);
            return;
        }
    }
    const std::vector<std::string_view> words = split_blanks(value);
    if (field != nullptr) {
        if (const auto* slots = std::get_if<Slots State::*>(&field->value)) {
            if (words.size() != 3) fail("set measurements needs K X Y");
            const auto k = parse_whole(words[0], 0, kSlotCount - 1);
            const auto x = parse_number(words[1]);
            const auto y = parse_number(words[2]);
            if (!k || !x || !y) fail("set measurements: bad slot or position");
            (s.*(*slots))[static_cast<std::size_t>(*k)] = {*x, *y};
            return;
        }
    }
    if (words.size() != 1) fail("set " + std::string(name) + " needs one number");
    const std::optional<double> number = parse_number(words[0]);
    if (!number) fail("set " + std::string(name) + ": not a number: " + std::string(words[0]));
    if (field == nullptr) fail("set: no such variable: " + std::string(name));
    if (const auto* target = std::get_if<Number State::*>(&field->value)) {
        s.*(*target) = *number;
    } else if (const auto* level = std::get_if<std::int32_t State::*>(&field->value)) {
        const double whole = round_half_even(*number);
        if (whole < INT32_MIN || whole > INT32_MAX)
            fail("set " + std::string(name) + ": out of range");
        s.*(*level) = static_cast<std::int32_t>(whole);
    }
}

void emit_render(ScriptSession& session) {
    ScriptView& v = session.view;
    if (!v.object_window_open()) fail("render: the object window is not open");
    const PictureImage& picture = v.object_picture();
    JsonLine head("render");
    head.integer("width", picture.width).integer("height", picture.height);
    emit_rows(v, std::move(head), "rgb", picture.width, picture.height, [&](int x, int y) {
        return static_cast<std::int64_t>(
            picture.colours[static_cast<std::size_t>(y) * picture.stride + x] & 0xFFFFFFu);
    });
}

void emit_pixels(ScriptSession& session, int plane) {
    const State& s = session.state;
    JsonLine head("pixels");
    head.integer("plane", plane);
    emit_rows(session.view, std::move(head), "values", pixel_extent(s.image_width),
              pixel_extent(s.image_height),
              [&](int x, int y) { return std::int64_t{s.image_pixels.at(x, y, plane)}; });
}

// The routines that `call` runs alone; `needs` names the one argument of those that take it.
struct Routine {
    std::string_view name;
    std::string_view needs;
    void (*run)(ScriptSession&, std::int64_t argument);
};

const Routine kRoutines[] = {
    {"draw_drift_plot", "the current slot",
     [](ScriptSession& session, std::int64_t slot) {
         draw_drift_plot(session.state, session.view, static_cast<int>(slot));
     }},
    {"new_fits_file_name", "",
     [](ScriptSession& session, std::int64_t) { new_fits_file_name(session.state, session.view); }},
    {"read_fits_image", "",
     [](ScriptSession& session, std::int64_t) {
         const std::int16_t status = read_fits_image(session.state, session.view);
         session.view.emit(JsonLine("status").integer("value", status).finish());
     }},
    {"find_brightest_spot", "",
     [](ScriptSession& session, std::int64_t) { find_brightest_spot(session.state); }},
    {"compute_display_levels", "",
     [](ScriptSession& session, std::int64_t) { compute_display_levels(session.state); }},
    {"show_object_window", "",
     [](ScriptSession& session, std::int64_t) { show_object_window(session.state, session.view); }},
};

void call_routine(ScriptSession& session, std::string_view args) {
    std::string_view rest;
    const std::string_view name = take_word(args, rest);
    const std::vector<std::string_view> words = split_blanks(rest);
    const Routine* routine = nullptr;
    for (const Routine& r : kRoutines)
        if (r.name == name) routine = &r;
    const std::string call = "call " + std::string(name);
    std::int64_t argument = 0;
    if (routine != nullptr && !routine->needs.empty()) {
        if (words.size() != 1) fail(call + " needs " + std::string(routine->needs));
        const auto slot = parse_whole(words[0], 0, kSlotCount - 1);
        if (!slot) fail(call + ": slot must be a whole number from 0 to 300");
        argument = *slot;
    } else if (!words.empty()) {
        fail(call + " takes no arguments");
    }
    if (routine == nullptr) fail("call: no such routine: " + std::string(name));
    routine->run(session, argument);
}

// The drift assistant's geometry inputs by their names in the driver.
std::optional<DriftInput> drift_input_named(std::string_view name) {
    if (name == "scale") return DriftInput::scale;
    if (name == "dec") return DriftInput::dec;
    if (name == "ha") return DriftInput::ha;
    if (name == "lat") return DriftInput::lat;
    return std::nullopt;
}

void emit_assistant(ScriptSession& session) {
    const std::string body = report::assistant_json(session.state.assistant);
    session.view.emit("{\"event\":\"assistant\"," + body.substr(1) + "\n");
}

// `assistant`, alone or with what the drift window's controls do.
void assistant_command(ScriptSession& session, std::string_view rest) {
    const std::vector<std::string_view> words = split_blanks(rest);
    DriftAssistant& a = session.state.assistant;
    const auto show = [&] { session.view.show_drift_assistant(a); };
    if (words.empty()) return emit_assistant(session);
    const std::string_view what = words[0];
    if (what == "segment" && words.size() == 1) {
        start_drift_segment(a);
        return show();
    }
    if (what == "input" && words.size() == 3) {
        const std::optional<DriftInput> which = drift_input_named(words[1]);
        if (!which) fail("assistant input: no such input: " + std::string(words[1]));
        const std::optional<double> value = drift_input_from_text(*which, words[2]);
        if (!value)
            fail("assistant input " + std::string(words[1]) +
                 ": not a value for it: " + std::string(words[2]));
        if (set_drift_input(a, *which, *value)) show();
        return;
    }
    if (what == "clear" && words.size() == 2) {
        const std::optional<DriftInput> which = drift_input_named(words[1]);
        if (!which) fail("assistant clear: no such input: " + std::string(words[1]));
        clear_drift_input(a, *which);
        return show();
    }
    // Beyond the drift window's first controls: where the alignment stands, and a
    // calibration move armed from the next image on.
    if (what == "step" && words.size() == 1) {
        const std::string body = report::step_json(alignment_step(a));
        std::string calibration = report::calibration_json(a);
        session.view.emit("{\"event\":\"assistant_step\"," + body.substr(1, body.size() - 2) +
                          ",\"calibration\":" + calibration + "}\n");
        return;
    }
    if (what == "star" && words.size() == 1) {
        start_drift_new_star(a);
        return show();
    }
    if (what == "calibrate" && words.size() == 2) {
        const std::optional<CalibrationMove> move = calibration_named(words[1]);
        if (!move)
            fail("assistant calibrate: not north, south, east or west: " + std::string(words[1]));
        arm_drift_calibration(a, *move);
        return show();
    }
    if (what == "north" && (words.size() == 2 || (words.size() == 3 && words[2] == "mirror"))) {
        std::optional<double> angle = north_named(words[1]);
        const AngleSource source = angle ? AngleSource::coarse : AngleSource::typed;
        if (!angle) angle = parse_number(words[1]);
        if (!angle) fail("assistant north: not an angle: " + std::string(words[1]));
        set_drift_orientation(a, {*angle, words.size() == 3}, source);
        return show();
    }
    fail("assistant needs nothing, segment, input NAME VALUE, clear NAME or north ANGLE [mirror]");
}

struct Command;

// What follows a command word: the rest of the line as it stands after the single blank,
// and the same split at blanks.
struct Args {
    const Command& command;
    std::string_view rest;
    std::vector<std::string_view> words;
    [[noreturn]] void refuse() const;
};

// The driver's commands. `words` is how many words must follow, or kText when the action
// reads the rest of the line itself; `needs` says what the words are, for the error
// ("click needs a button"), and is empty for a command that takes none.
constexpr int kText = -1;

struct Command {
    std::string_view word;
    int words;
    std::string_view needs;
    void (*run)(ScriptSession&, const Args&);
};

void Args::refuse() const {
    if (command.needs.empty()) fail(std::string(command.word) + " takes no arguments");
    fail(std::string(command.word) + " needs " + std::string(command.needs));
}

const Command kCommands[] = {
    {"folder", kText, "",
     [](ScriptSession& session, const Args& a) {
         session.view.set_folder_list_path(folder_path(session, a.rest));
         form1::Dir1_Change(session.state, session.view);
     }},
    {"drive", kText, "",
     [](ScriptSession& session, const Args& a) {
         session.view.select_drive(folder_path(session, a.rest));
         form1::Drive1_Change(session.state, session.view);
     }},
    {"type", kText, "",
     [](ScriptSession& session, const Args& a) {
         std::string_view text;
         const TextField box = text_box(take_word(a.rest, text));
         session.view.type_text(box, std::string(text));
         if (box == TextField::Interval) form1::Text2_Change(session.state, session.view);
     }},
    {"key", 2, "Text3 and a key code",
     [](ScriptSession& session, const Args& a) {
         if (a.words[0] != "Text3") a.refuse();
         const auto code = parse_whole(a.words[1], INT16_MIN, INT16_MAX);
         if (!code) fail("key: the code must be a 16-bit whole number");
         std::int16_t key_ascii = static_cast<std::int16_t>(*code);
         form1::Text3_KeyPress(session.state, session.view, key_ascii);
     }},
    {"click", 1, "a button",
     [](ScriptSession& session, const Args& a) {
         if (a.words[0] == "Command1")
             form1::Command1_Click(session.state, session.view);
         else if (a.words[0] == "Command2")
             form1::Command2_Click(session.state, session.view);
         else if (a.words[0] == "Command3")
             form1::Command3_Click(session.state, session.view);
         else
             fail("no such button: " + std::string(a.words[0]));
     }},
    {"tick", 0, "",
     [](ScriptSession& session, const Args&) {
         if (session.view.polling()) form1::Timer1_Timer(session.state, session.view);
     }},
    {"mouse", 4, "BUTTON SHIFT X Y",
     [](ScriptSession& session, const Args& a) {
         const auto button = parse_whole(a.words[0], INT16_MIN, INT16_MAX);
         const auto shift = parse_whole(a.words[1], INT16_MIN, INT16_MAX);
         const auto x = parse_number(a.words[2]);
         const auto y = parse_number(a.words[3]);
         if (!button || !shift || !x || !y) fail("mouse: bad arguments");
         if (!session.view.object_window_open()) fail("mouse: the object window is not open");
         form4::Picture1_MouseDown(session.state, session.view, static_cast<std::int16_t>(*button),
                                   static_cast<std::int16_t>(*shift), static_cast<float>(*x),
                                   static_cast<float>(*y));
     }},
    {"close", 1, "a window",
     [](ScriptSession& session, const Args& a) {
         if (a.words[0] == "Form4") {
             session.view.close_object_window();
         } else if (a.words[0] == "Form1") {
             form1::Form_Unload(session.state, session.view);
             session.ended = true;
         } else {
             fail("no such window: " + std::string(a.words[0]));
         }
     }},
    {"state", 0, "", [](ScriptSession& session, const Args&) { emit_state(session); }},
    {"render", 0, "", [](ScriptSession& session, const Args&) { emit_render(session); }},
    {"pixels", 1, "a plane: 0, 1 or 2",
     [](ScriptSession& session, const Args& a) {
         const auto plane = parse_whole(a.words[0], 0, 2);
         if (!plane) a.refuse();
         emit_pixels(session, static_cast<int>(*plane));
     }},
    {"call", kText, "",
     [](ScriptSession& session, const Args& a) { call_routine(session, a.rest); }},
    // Beyond the windows: which names count as images, as `trakora --names` sets it.
    {"names", 1, "any or specified",
     [](ScriptSession& session, const Args& a) {
         const std::optional<NameRule> rule = name_rule_named(a.words[0]);
         if (!rule) a.refuse();
         session.state.name_rule = *rule;
     }},
    {"set", kText, "",
     [](ScriptSession& session, const Args& a) { set_variable(session, a.rest); }},
    // Beyond the windows: the drift assistant, as its window shows and sets it.
    {"assistant", kText, "",
     [](ScriptSession& session, const Args& a) { assistant_command(session, a.rest); }},
};

void dispatch(ScriptSession& session, std::string_view line) {
    std::string_view rest;
    const std::string_view word = take_word(line, rest);
    for (const Command& command : kCommands) {
        if (command.word != word) continue;
        const Args args{command, rest, split_blanks(rest)};
        if (command.words != kText && args.words.size() != static_cast<std::size_t>(command.words))
            args.refuse();
        command.run(session, args);
        return;
    }
    fail("unknown command: " + std::string(word));
}

}  // namespace

void start_session(ScriptSession& session) { form1::Form_Load(session.state, session.view); }

void run_command(ScriptSession& session, std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line[0] == '#') return;
    if (line.find_first_not_of(" \t") == std::string_view::npos) return;
    try {
        dispatch(session, line);
    } catch (const CommandError& e) {
        session.had_error = true;
        session.view.emit(JsonLine("error").string("text", e.text).finish());
    }
}

int run_commands(ScriptSession& session, std::FILE* in) {
    char* buffer = nullptr;
    std::size_t capacity = 0;
    ssize_t length;
    while (!session.ended && (length = ::getline(&buffer, &capacity, in)) >= 0) {
        std::string_view line(buffer, static_cast<std::size_t>(length));
        if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
        run_command(session, line);
        std::fflush(stdout);
    }
    std::free(buffer);
    return session.had_error ? 2 : 0;
}

int run_script(int argc, char** argv) {
    std::string file_name;
    bool from_file = false;
    command_line::Syntax syntax{
        "trakora-cli", "script",
        "Runs the program without windows: reads commands, one per line, from FILE\n"
        "or standard input, and prints what the program would show as JSON Lines."};
    syntax.operands = {{"FILE", "the commands (default: standard input)", false,
                        [&](std::span<const std::string_view> v) -> command_line::Refusal {
                            file_name = std::string(v[0]);
                            from_file = true;
                            return std::nullopt;
                        }}};
    syntax.notes = "Commands:";
    for (const Command& command : kCommands) syntax.notes += " " + std::string(command.word);
    syntax.notes +=
        ".\ndocs/script.md describes them and the events. Exit status 0, or 2 when a\n"
        "command could not be carried out.\n";
    if (const auto status = command_line::parse_or_exit(syntax, argc, argv)) return *status;

    std::FILE* in = stdin;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(nullptr, &std::fclose);
    if (from_file) {
        file.reset(std::fopen(file_name.c_str(), "r"));
        if (!file) {
            std::fprintf(stderr, "trakora-cli script: cannot open %s: %s\n", file_name.c_str(),
                         std::strerror(errno));
            return 2;
        }
        in = file.get();
    }
    std::error_code ec;
    const std::string cwd = fs::current_path(ec).string();
    static char out_buffer[1 << 16];
    std::setvbuf(stdout, out_buffer, _IOFBF, sizeof out_buffer);

    auto state = std::make_unique<State>();
    ScriptView view(stdout, cwd, "/");
    ScriptSession session{*state, view, cwd};
    start_session(session);
    const int status = run_commands(session, in);
    std::fflush(stdout);
    return status;
}

}  // namespace trakora::cli
