// SPDX-License-Identifier: MIT
// trakora-cli replay: measures a recorded night again, image by image, as if each image
// had just arrived, and prints the series as CSV.
//
// The images are made to "arrive" in a private staging folder, one link at a time, in
// the order of their DATE-OBS cards, and the program's own handlers measure them: object
// setting on the oldest, an optional pick, then one tick per later image; an image where
// the user is on another star (--next-star) gets the object setting and its pick instead.
// Links that can no longer be chosen leave the folder as later images arrive.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/polar_error.hpp"
#include "arrival/name_rule.hpp"
#include "arrival/newest_image.hpp"
#include "base/command_line.hpp"
#include "base/number_text.hpp"
#include "base/rounding.hpp"
#include "chart/chart_gui_guard.hpp"
#include "cli/commands.hpp"
#include "cli/drift_options.hpp"
#include "cli/exit_signals.hpp"
#include "core/handlers.hpp"
#include "fits/header_cards.hpp"
#include "fits/read_only_file.hpp"
#include "report/assistant_chart.hpp"
#include "report/session_csv.hpp"
#include "report/session_pole_target.hpp"
#include "report/summary_json.hpp"
#include "session/assistant_handlers.hpp"
#include "windowless/windowless_view.hpp"

namespace trakora::cli {
namespace {

namespace fs = std::filesystem;

using Arrival = DatedImage;

// Messages go to standard error.
class ReplayView final : public WindowlessView {
  public:
    using WindowlessView::WindowlessView;
    void message(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

struct Options {
    std::string folder;
    std::optional<std::pair<float, float>> pick;
    // From the N-th image on the user is on another star, picked at X Y on it.
    struct NextStar {
        long image = 0;
        float x = 0, y = 0;
    };
    std::vector<NextStar> next_stars;
    std::optional<double> max_count;
    NameRule names = NameRule::specified;
    // The drift assistant's.
    std::string summary;  // "-": standard output, instead of the CSV
    std::string plot;
    std::string plot_target;
    DriftOptions drift;
    long from = 1;
};

bool is_chart_path(std::string_view path) {
    const std::string extension = fs::path(path).extension().string();
    std::string lower;
    for (char c : extension)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower == ".svg" || lower == ".png";
}

command_line::Syntax replay_command_line(Options& o) {
    using command_line::Refusal;
    using Values = std::span<const std::string_view>;
    command_line::Syntax syntax{
        "trakora-cli", "replay",
        "Measures a recorded night again, image by image in the order of their\n"
        "DATE-OBS cards, and prints the series as CSV."};
    syntax.operands = {folder_operand(o.folder, "the folder of the night's FITS images")};
    syntax.options = {
        pick_option(o.pick,
                    "click the object window's picture at X Y (its drawing\n"
                    "coordinates) after the object setting, as a user picks the star"),
        {"next-star", "N X Y",
         "from the N-th image in DATE-OBS order (2 or later) the user is on\n"
         "another star: that image gets the object setting and the pick at X Y,\n"
         "and the session a segment for the new star; repeatable",
         3,
         [&o](Values v) -> Refusal {
             const auto n = command_line::to_number(v[0]);
             if (!n || *n < 2 || std::trunc(*n) != *n || *n > 1e9)
                 return "expected an image number of 2 or more, not '" + std::string(v[0]) + "'";
             const auto x = command_line::to_number(v[1]);
             const auto y = command_line::to_number(v[2]);
             if (!x || !y) return "expected two numbers, not '" + std::string(v[!x ? 1 : 2]) + "'";
             const long image = static_cast<long>(*n);
             for (const Options::NextStar& earlier : o.next_stars)
                 if (earlier.image == image)
                     return "image " + std::to_string(image) + " is given twice";
             o.next_stars.push_back({image, static_cast<float>(*x), static_cast<float>(*y)});
             return std::nullopt;
         }},
        {"max-count", "N", "the count, as typed into the count box: 1 to 300 (default 50)", 1,
         [&o](Values v) -> Refusal {
             const auto n = command_line::to_number(v[0]);
             if (!n || *n < 1 || *n > kMaxCount || std::trunc(*n) != *n)
                 return "expected a whole number from 1 to " + std::to_string(kMaxCount) +
                        ", not '" + std::string(v[0]) + "'";
             o.max_count = *n;
             return std::nullopt;
         }},
        names_option(o.names),
        {"summary", "FILE",
         "write the drift assistant's summary (JSON) to FILE; '-' for standard\n"
         "output, which then carries the summary instead of the CSV",
         1, command_line::text(o.summary)},
        {"plot", "FILE", "draw the drift chart into FILE, an .svg or a .png", 1,
         [&o](Values v) -> Refusal {
             if (!is_chart_path(v[0]))
                 return "expected a file name ending in .svg or .png, not '" + std::string(v[0]) +
                        "'";
             o.plot = std::string(v[0]);
             return std::nullopt;
         }},
        {"plot-target", "FILE",
         "draw the pole target (both components, with the session's earlier\n"
         "answers) into FILE, an .svg or a .png",
         1,
         [&o](Values v) -> Refusal {
             if (!is_chart_path(v[0]))
                 return "expected a file name ending in .svg or .png, not '" + std::string(v[0]) +
                        "'";
             o.plot_target = std::string(v[0]);
             return std::nullopt;
         }},
        {"from", "N",
         "fit from the N-th measured image on (row N of the CSV; its slot while\n"
         "the series is not full); the images before stay in the chart",
         1, command_line::whole(o.from, 1, 1000000)},
    };
    // The drift session's typed inputs, before --from as they always stood.
    std::vector<command_line::Option> typed = drift_input_options(o.drift);
    syntax.options.insert(syntax.options.end() - 1, typed.begin(), typed.end());
    syntax.notes =
        "Columns: slot, file, date_obs, x, y, label, then the drift assistant's minutes,\n"
        "cx, cy, snr, hfd, flags; one row per measured image, and the pick as slot 1.\n"
        "Messages the program would show go to standard error.\n";
    return syntax;
}

// A private folder that is removed with everything in it when the replay ends.
class StagingFolder {
  public:
    StagingFolder() {
        std::string pattern = (fs::temp_directory_path() / "trakora-replay-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~StagingFolder() {
        std::error_code ec;
        if (!path_.empty()) fs::remove_all(path_, ec);
    }
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Writes what was asked of the drift assistant once the night is measured; false, with
// the reason on standard error, when a file could not be written.
bool write_assistant_files(const Options& o, const DriftAssistant& a) {
    DriftSummary summary = drift_summary_now(a);
    if (o.from > 1 && static_cast<std::size_t>(o.from) > a.images.size())
        summary.notes.push_back(
            {NoteCode::fit_start_beyond,
             {},
             {static_cast<double>(o.from), static_cast<double>(a.images.size())}});
    std::string error;
    if (o.summary == "-") {
        std::fputs(report::summary_json(summary, a).c_str(), stdout);
    } else if (!o.summary.empty() && !report::write_summary_json(o.summary, summary, a, &error)) {
        std::fprintf(stderr, "replay: %s\n", error.c_str());
        return false;
    }
    if (!o.plot.empty()) {
        chart::ChartGuiGuard gui;
        if (!report::write_assistant_chart(o.plot, a, 1200, 800, &error)) {
            std::fprintf(stderr, "replay: %s\n", error.c_str());
            return false;
        }
    }
    if (!o.plot_target.empty()) {
        chart::ChartGuiGuard gui;
        if (!report::write_session_pole_target(o.plot_target, a, &error)) {
            std::fprintf(stderr, "replay: %s\n", error.c_str());
            return false;
        }
    }
    return true;
}

int replay_night(const Options& o, const std::string& folder, const std::vector<Arrival>& arrivals,
                 const std::string& staging, ExitSignals& signals) {
    // Only the arrivals that can still be chosen stay staged: those with the greatest card
    // so far (equal ones too). Arrivals come in card order, so one whose card a later
    // arrival exceeds is never the newest again, and each tick finds a small folder
    // however long the night.
    std::vector<std::size_t> staged;
    const auto arrive = [&](std::size_t k) {
        const Arrival& a = arrivals[k];
        if (::symlink((fs::path(folder) / a.name).c_str(), (fs::path(staging) / a.name).c_str()) !=
            0)
            return false;
        if (!staged.empty() && std::memcmp(arrivals[staged.front()].date_card.data(),
                                           a.date_card.data(), kCardBytes) < 0) {
            for (const std::size_t older : staged)
                ::unlink((fs::path(staging) / arrivals[older].name).c_str());
            staged.clear();
        }
        staged.push_back(k);
        return true;
    };

    auto state = std::make_unique<State>();
    State& s = *state;
    ReplayView view(staging);
    form1::Form_Load(s, view);
    s.name_rule = o.names;
    if (o.max_count) s.max_count = *o.max_count;
    DriftAssistant& a = s.assistant;
    const auto show = [&] { view.show_drift_assistant(a); };
    type_drift_options(a, view, o.drift);
    // The hour angle is the star's at the first image of the fit: typed for the first
    // segment, or for the one that starts at the N-th image.
    bool ha_typed = false;
    const auto type_ha = [&] {
        type_drift_hour_angle(a, view, o.drift);
        ha_typed = true;
    };
    if (o.from <= 1) type_ha();
    const auto before_image = [&] {
        const std::size_t next = s.assistant.images.size() + 1;
        if (o.from > 1 && next == static_cast<std::size_t>(o.from)) {
            start_drift_segment(a, SegmentReason::by_hand);
            show();
            type_ha();
        }
        if (o.drift.calibrate && next == static_cast<std::size_t>(o.drift.calibrate->image)) {
            arm_drift_calibration(a, o.drift.calibrate->move);
            show();
        }
    };

    // With the summary on standard output the CSV is not printed.
    const bool print_csv = o.summary != "-";
    std::string csv;
    const auto print = [&] {
        if (print_csv) {
            std::fputs(csv.c_str(), stdout);
            if (std::ferror(stdout) && errno == EPIPE) signals.note_broken_pipe();
        }
        csv.clear();
    };
    // A row for each image the tick or the pick measured, as the session's CSV has it.
    const DriftAssistant& assistant = s.assistant;
    const auto write_row = [&] {
        const ImageMeasurement& m = *assistant.latest;
        csv += report::session_csv_row(m, m.star ? assistant.images.back().minutes : 0);
        print();
    };

    if (!arrive(0)) {
        std::fprintf(stderr, "replay: cannot stage %s: %s\n", arrivals.front().name.c_str(),
                     std::strerror(errno));
        return 1;
    }
    form1::Command3_Click(s, view);
    if (s.object_set != 1) return 1;
    // Whether a pick at x y lands on the image shown; the reason on standard error if not.
    const auto on_image = [&](float x, float y) {
        // The pixel the click lands on, as the pick rounds it.
        const double px = round_half_up(x), py = round_half_up(y);
        if (px >= 0 && py >= 0 && px < s.image_width && py < s.image_height) return true;
        std::fprintf(stderr,
                     "replay: the pick %s %s lies outside the image, which is %s x %s pixels "
                     "(x from 0 to %s, y from 0 to %s)\n",
                     plain_number_text(x).c_str(), plain_number_text(y).c_str(),
                     plain_number_text(s.image_width).c_str(),
                     plain_number_text(s.image_height).c_str(),
                     plain_number_text(s.image_width - 1).c_str(),
                     plain_number_text(s.image_height - 1).c_str());
        return false;
    };
    if (o.pick && view.object_window_open() && !on_image(o.pick->first, o.pick->second)) return 2;
    csv = report::kSessionCsvColumns;
    csv += '\n';
    print();
    if (o.pick) {
        if (!view.object_window_open()) {
            std::fprintf(stderr,
                         "replay: the oldest image could not be shown, so nothing was picked\n");
        } else {
            before_image();
            const std::size_t before = assistant.measured;
            form4::Picture1_MouseDown(s, view, 1, 0, o.pick->first, o.pick->second);
            if (assistant.measured > before) write_row();
        }
    }
    form1::Command1_Click(s, view);
    for (std::size_t k = 1; k < arrivals.size() && signals.caught() == 0; ++k) {
        if (!arrive(k)) {
            std::fprintf(stderr, "replay: cannot stage %s: %s\n", arrivals[k].name.c_str(),
                         std::strerror(errno));
            continue;
        }
        before_image();
        const std::size_t before = assistant.measured;
        const auto next_star = std::find_if(
            o.next_stars.begin(), o.next_stars.end(),
            [k](const Options::NextStar& n) { return n.image == static_cast<long>(k) + 1; });
        if (next_star == o.next_stars.end()) {
            form1::Timer1_Timer(s, view);
        } else {
            // The user slewed to another star: the object setting on this image, the pick.
            form1::Command3_Click(s, view);
            if (!view.object_window_open()) {
                std::fprintf(stderr,
                             "replay: image %ld could not be shown, so nothing was picked\n",
                             next_star->image);
            } else {
                if (!on_image(next_star->x, next_star->y)) return 2;
                form4::Picture1_MouseDown(s, view, 1, 0, next_star->x, next_star->y);
            }
            form1::Command1_Click(s, view);
        }
        if (assistant.measured > before) write_row();
    }
    if (signals.caught() != 0) return 1;
    // Fewer images than --from: the fit covers them all, from the first.
    if (!ha_typed) type_ha();
    if (std::fflush(stdout) != 0 && errno == EPIPE) {
        signals.note_broken_pipe();
        return 1;
    }
    return write_assistant_files(o, s.assistant) ? 0 : 1;
}

}  // namespace

int run_replay(int argc, char** argv) {
    Options parsed;
    if (const auto status = command_line::parse_or_exit(replay_command_line(parsed), argc, argv))
        return *status;
    std::error_code ec;
    const std::string folder = fs::absolute(parsed.folder, ec).lexically_normal().string();
    if (ec || !fs::is_directory(folder, ec)) {
        std::fprintf(stderr, "replay: no such folder: %s\n", parsed.folder.c_str());
        return 2;
    }
    const std::vector<Arrival> arrivals = images_in_date_order(folder, parsed.names);
    if (arrivals.empty()) {
        std::fprintf(stderr, "replay: no FITS image with a DATE-OBS card in %s\n", folder.c_str());
        if (parsed.names == NameRule::specified &&
            !images_in_date_order(folder, NameRule::any).empty())
            std::fprintf(
                stderr,
                "replay: its images are named .fit, .fits, .fts, .fz or .xisf: try --names any\n");
        return 1;
    }
    for (const Options::NextStar& n : parsed.next_stars)
        if (static_cast<std::size_t>(n.image) > arrivals.size()) {
            std::fprintf(stderr, "replay: --next-star %ld: the night has only %zu images\n",
                         n.image, arrivals.size());
            return 2;
        }
    // The staging folder goes on every way out: a signal only stops the loop, and the
    // process ends as the signal would have ended it once the folder is gone.
    ExitSignals signals;
    int status = 1;
    {
        StagingFolder staging;
        if (staging.path().empty()) {
            std::fprintf(stderr, "replay: cannot create a staging folder: %s\n",
                         std::strerror(errno));
            return 1;
        }
        status = replay_night(parsed, folder, arrivals, staging.path(), signals);
    }
    signals.end_as_caught();
    return status;
}

}  // namespace trakora::cli
