// SPDX-License-Identifier: MIT
#include "cli/script_driver.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>
#include <vector>

#include "base/rounding.hpp"
#include "cli/commands.hpp"
#include "cli/json_writer.hpp"
#include "core/handlers.hpp"

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

std::optional<double> parse_number(std::string_view token) {
    if (!token.empty() && token[0] == '+') token.remove_prefix(1);
    double value = 0;
    const auto [ptr, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (token.empty() || ec != std::errc() || ptr != token.data() + token.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

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

void fail(const std::string& text) { throw CommandError(text); }

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

void emit_state(ScriptSession& session) {
    const State& s = session.state;
    ScriptView& v = session.view;
    JsonLine line("state");
    line.string("fits_file_name", s.fits_file_name)
        .number("object_set", s.object_set)
        .number("object_pick_enabled", s.object_pick_enabled)
        .number("object_x", s.object_x)
        .number("object_y", s.object_y)
        .number("reference_x", s.reference_x)
        .number("reference_y", s.reference_y)
        .number("crosshair_scale", s.crosshair_scale)
        .number("max_count", s.max_count);
    std::string& m = line.open_field("measurements");
    m += '[';
    for (int k = 0; k < kSlotCount; ++k) {
        if (k > 0) m += ',';
        m += '[';
        append_json_number(m, s.measurements[k][0]);
        m += ',';
        append_json_number(m, s.measurements[k][1]);
        m += ']';
    }
    m += ']';
    line.number("header_end_card", s.header_end_card)
        .number("fits_bitpix", s.fits_bitpix)
        .number("image_width", s.image_width)
        .number("image_height", s.image_height)
        .number("image_planes", s.image_planes)
        .number("fits_bzero", s.fits_bzero)
        .number("fits_bscale", s.fits_bscale)
        .integer("pixel_min", s.pixel_min)
        .integer("pixel_max", s.pixel_max)
        .integer("display_low", s.display_low)
        .integer("display_range", s.display_range)
        .boolean("timer_enabled", v.timer_enabled())
        .integer("timer_interval", v.timer_interval())
        .string("Text1", v.text(TextField::Folder))
        .string("Text2", v.text(TextField::Interval))
        .string("Text3", v.text(TextField::Count))
        .string("Label5", v.label())
        .boolean("object_window_open", v.object_window_open());
    v.emit(line.finish());
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

void set_variable(ScriptSession& session, std::string_view args) {
    State& s = session.state;
    std::string_view value;
    const std::string_view name = take_word(args, value);
    if (name == "fits_file_name") {
        s.fits_file_name = std::string(value);
        return;
    }
    const std::vector<std::string_view> words = split_blanks(value);
    if (name == "measurements") {
        if (words.size() != 3) fail("set measurements needs K X Y");
        const auto k = parse_whole(words[0], 0, kSlotCount - 1);
        const auto x = parse_number(words[1]);
        const auto y = parse_number(words[2]);
        if (!k || !x || !y) fail("set measurements: bad slot or position");
        s.measurements[*k] = {*x, *y};
        return;
    }
    if (words.size() != 1) fail("set " + std::string(name) + " needs one number");
    const std::optional<double> number = parse_number(words[0]);
    if (!number) fail("set " + std::string(name) + ": not a number: " + std::string(words[0]));
    Number* target = nullptr;
    if (name == "object_x")
        target = &s.object_x;
    else if (name == "object_y")
        target = &s.object_y;
    else if (name == "reference_x")
        target = &s.reference_x;
    else if (name == "reference_y")
        target = &s.reference_y;
    else if (name == "max_count")
        target = &s.max_count;
    else if (name == "object_set")
        target = &s.object_set;
    else if (name == "object_pick_enabled")
        target = &s.object_pick_enabled;
    if (target != nullptr) {
        *target = *number;
        return;
    }
    std::int32_t* level = nullptr;
    if (name == "display_low")
        level = &s.display_low;
    else if (name == "display_range")
        level = &s.display_range;
    if (level == nullptr) fail("set: no such variable: " + std::string(name));
    const double whole = round_half_even(*number);
    if (whole < INT32_MIN || whole > INT32_MAX) fail("set " + std::string(name) + ": out of range");
    *level = static_cast<std::int32_t>(whole);
}

void call_routine(ScriptSession& session, std::string_view args) {
    State& s = session.state;
    ScriptView& v = session.view;
    std::string_view rest;
    const std::string_view name = take_word(args, rest);
    const std::vector<std::string_view> words = split_blanks(rest);
    if (name == "draw_drift_plot") {
        if (words.size() != 1) fail("call draw_drift_plot needs the current slot");
        const auto slot = parse_whole(words[0], 0, kSlotCount - 1);
        if (!slot) fail("call draw_drift_plot: slot must be a whole number from 0 to 300");
        draw_drift_plot(s, v, static_cast<int>(*slot));
        return;
    }
    if (!words.empty()) fail("call " + std::string(name) + " takes no arguments");
    if (name == "new_fits_file_name") {
        new_fits_file_name(s, v);
    } else if (name == "read_fits_image") {
        const std::int16_t status = read_fits_image(s, v);
        v.emit(JsonLine("status").integer("value", status).finish());
    } else if (name == "find_brightest_spot") {
        find_brightest_spot(s);
    } else if (name == "compute_display_levels") {
        compute_display_levels(s);
    } else if (name == "show_object_window") {
        show_object_window(s, v);
    } else {
        fail("call: no such routine: " + std::string(name));
    }
}

void dispatch(ScriptSession& session, std::string_view line) {
    State& s = session.state;
    ScriptView& v = session.view;
    std::string_view rest;
    const std::string_view word = take_word(line, rest);

    if (word == "folder") {
        v.set_folder_list_path(folder_path(session, rest));
        form1::Dir1_Change(s, v);
    } else if (word == "drive") {
        v.select_drive(folder_path(session, rest));
        form1::Drive1_Change(s, v);
    } else if (word == "type") {
        std::string_view text;
        const TextField box = text_box(take_word(rest, text));
        v.type_text(box, std::string(text));
        if (box == TextField::Interval) form1::Text2_Change(s, v);
    } else if (word == "key") {
        const std::vector<std::string_view> words = split_blanks(rest);
        if (words.size() != 2 || words[0] != "Text3") fail("key needs Text3 and a key code");
        const auto code = parse_whole(words[1], INT16_MIN, INT16_MAX);
        if (!code) fail("key: the code must be a 16-bit whole number");
        std::int16_t key_ascii = static_cast<std::int16_t>(*code);
        form1::Text3_KeyPress(s, v, key_ascii);
    } else if (word == "click") {
        const std::vector<std::string_view> words = split_blanks(rest);
        if (words.size() != 1) fail("click needs a button");
        if (words[0] == "Command1")
            form1::Command1_Click(s, v);
        else if (words[0] == "Command2")
            form1::Command2_Click(s, v);
        else if (words[0] == "Command3")
            form1::Command3_Click(s, v);
        else
            fail("no such button: " + std::string(words[0]));
    } else if (word == "tick") {
        if (!split_blanks(rest).empty()) fail("tick takes no arguments");
        if (v.polling()) form1::Timer1_Timer(s, v);
    } else if (word == "mouse") {
        const std::vector<std::string_view> words = split_blanks(rest);
        if (words.size() != 4) fail("mouse needs BUTTON SHIFT X Y");
        const auto button = parse_whole(words[0], INT16_MIN, INT16_MAX);
        const auto shift = parse_whole(words[1], INT16_MIN, INT16_MAX);
        const auto x = parse_number(words[2]);
        const auto y = parse_number(words[3]);
        if (!button || !shift || !x || !y) fail("mouse: bad arguments");
        if (!v.object_window_open()) fail("mouse: the object window is not open");
        form4::Picture1_MouseDown(s, v, static_cast<std::int16_t>(*button),
                                  static_cast<std::int16_t>(*shift), static_cast<float>(*x),
                                  static_cast<float>(*y));
    } else if (word == "close") {
        const std::vector<std::string_view> words = split_blanks(rest);
        if (words.size() != 1) fail("close needs a window");
        if (words[0] == "Form4") {
            v.close_object_window();
        } else if (words[0] == "Form1") {
            form1::Form_Unload(s, v);
            session.ended = true;
        } else {
            fail("no such window: " + std::string(words[0]));
        }
    } else if (word == "state") {
        if (!split_blanks(rest).empty()) fail("state takes no arguments");
        emit_state(session);
    } else if (word == "render") {
        if (!split_blanks(rest).empty()) fail("render takes no arguments");
        emit_render(session);
    } else if (word == "pixels") {
        const std::vector<std::string_view> words = split_blanks(rest);
        const auto plane = words.size() == 1 ? parse_whole(words[0], 0, 2) : std::nullopt;
        if (!plane) fail("pixels needs a plane: 0, 1 or 2");
        emit_pixels(session, static_cast<int>(*plane));
    } else if (word == "call") {
        call_routine(session, rest);
    } else if (word == "set") {
        set_variable(session, rest);
    } else {
        fail("unknown command: " + std::string(word));
    }
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
    if (argc > 1) {
        std::fputs("usage: trakora-cli script [FILE]\n", stderr);
        return 2;
    }
    std::FILE* in = stdin;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(nullptr, &std::fclose);
    if (argc == 1) {
        file.reset(std::fopen(argv[0], "r"));
        if (!file) {
            std::fprintf(stderr, "trakora-cli script: cannot open %s: %s\n", argv[0],
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
