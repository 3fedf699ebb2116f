// SPDX-License-Identifier: MIT
// trakora-cli replay: measures a recorded night again, image by image, as if each image
// had just arrived, and prints the series as CSV.
//
// The images are made to "arrive" in a private staging folder, one link at a time, in
// the order of their DATE-OBS cards, and the program's own handlers measure them: object
// setting on the oldest, an optional pick, then one tick per later image.
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

#include "base/command_line.hpp"
#include "base/number_text.hpp"
#include "cli/commands.hpp"
#include "cli/csv.hpp"
#include "core/handlers.hpp"
#include "core/name_rule.hpp"
#include "core/newest_image.hpp"
#include "fits/header_cards.hpp"
#include "fits/read_only_file.hpp"
#include "windowless/windowless_view.hpp"

namespace trakora::cli {
namespace {

namespace fs = std::filesystem;

struct Arrival {
    std::string name;
    std::array<char, kCardBytes> date_card;
};

// The images of `folder` that the program could ever take as the newest, oldest first.
// Equal DATE-OBS cards keep the order of their names, as the program's tie rule does.
std::vector<Arrival> arrivals_in_order(const std::string& folder, NameRule rule) {
    std::vector<Arrival> arrivals;
    const ReadOnlyFile dir = ReadOnlyFile::open_folder(folder);
    if (!dir.is_open()) return arrivals;
    std::string scratch;
    for (const std::string& name : list_candidates(folder, rule)) {
        const HeaderScan scan = scan_header_dates(dir, name.c_str(), scratch);
        if (scan.readable && scan.has_date) arrivals.push_back({name, scan.best_card});
    }
    std::stable_sort(arrivals.begin(), arrivals.end(), [](const Arrival& a, const Arrival& b) {
        return std::memcmp(a.date_card.data(), b.date_card.data(), kCardBytes) < 0;
    });
    return arrivals;
}

// Messages go to standard error, and the plot tells which slot a tick filled.
class ReplayView final : public WindowlessView {
  public:
    using WindowlessView::WindowlessView;
    void message(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    void clear_drift_plot() override { last_slot_.reset(); }
    void draw_drift_point(float x, float, std::uint32_t) override {
        last_slot_ = static_cast<int>(x);
    }

    // The slot the last plot ended on: the current slot of the tick that drew it.
    std::optional<int> plotted_slot() const { return last_slot_; }

  private:
    std::optional<int> last_slot_;
};

struct Options {
    std::string folder;
    std::optional<std::pair<float, float>> pick;
    std::optional<double> max_count;
    NameRule names = NameRule::specified;
};

command_line::Syntax replay_command_line(Options& o) {
    using command_line::Refusal;
    using Values = std::span<const std::string_view>;
    command_line::Syntax syntax{
        "trakora-cli", "replay",
        "Measures a recorded night again, image by image in the order of their\n"
        "DATE-OBS cards, and prints the series as CSV."};
    syntax.operands = {
        {"FOLDER", "the folder of the night's FITS images", true, [&o](Values v) -> Refusal {
             if (v[0].empty()) return "the folder name is empty";
             o.folder = std::string(v[0]);
             return std::nullopt;
         }}};
    syntax.options = {
        {"pick", "X Y",
         "click the object window's picture at X Y (its drawing\n"
         "coordinates) after the object setting, as a user picks the star",
         2,
         [&o](Values v) -> Refusal {
             const auto x = command_line::to_number(v[0]);
             const auto y = command_line::to_number(v[1]);
             if (!x || !y) return "expected two numbers, not '" + std::string(v[!x ? 0 : 1]) + "'";
             o.pick = {{static_cast<float>(*x), static_cast<float>(*y)}};
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
        {"names", "RULE",
         "which names count as images: specified (default: ending in\n"
         "FIT, Fit, FTS or Fts) or any (also .fit, .fits, .fts in any case)",
         1,
         [&o](Values v) -> Refusal {
             const std::optional<NameRule> rule = name_rule_named(v[0]);
             if (!rule) return "expected any or specified, not '" + std::string(v[0]) + "'";
             o.names = *rule;
             return std::nullopt;
         }},
    };
    syntax.notes =
        "Columns: slot, file, date_obs, x, y, label; one row per measured image, and the\n"
        "pick as slot 1. Messages the program would show go to standard error.\n";
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

}  // namespace

int run_replay(int argc, char** argv) {
    Options parsed;
    if (const auto status = command_line::parse_or_exit(replay_command_line(parsed), argc, argv))
        return *status;
    const Options* options = &parsed;
    std::error_code ec;
    const std::string folder = fs::absolute(options->folder, ec).lexically_normal().string();
    if (ec || !fs::is_directory(folder, ec)) {
        std::fprintf(stderr, "replay: no such folder: %s\n", options->folder.c_str());
        return 2;
    }
    const std::vector<Arrival> arrivals = arrivals_in_order(folder, options->names);
    if (arrivals.empty()) {
        std::fprintf(stderr, "replay: no FITS image with a DATE-OBS card in %s\n", folder.c_str());
        if (options->names == NameRule::specified &&
            !arrivals_in_order(folder, NameRule::any).empty())
            std::fprintf(stderr,
                         "replay: its images are named .fit, .fits or .fts: try --names any\n");
        return 1;
    }
    StagingFolder staging;
    if (staging.path().empty()) {
        std::fprintf(stderr, "replay: cannot create a staging folder: %s\n", std::strerror(errno));
        return 1;
    }
    const auto arrive = [&](const Arrival& a) {
        return ::symlink((fs::path(folder) / a.name).c_str(),
                         (fs::path(staging.path()) / a.name).c_str()) == 0;
    };

    auto state = std::make_unique<State>();
    State& s = *state;
    ReplayView view(staging.path());
    form1::Form_Load(s, view);
    s.name_rule = options->names;
    if (options->max_count) s.max_count = *options->max_count;

    std::string csv = "slot,file,date_obs,x,y,label\n";
    const auto write_row = [&](int slot, const Arrival& a, const std::string& label) {
        csv += std::to_string(slot);
        for (const std::string& field :
             {a.name, card_string_value(std::string_view(a.date_card.data(), kCardBytes)),
              plain_number_text(s.measurements[slot][0]),
              plain_number_text(s.measurements[slot][1]), label}) {
            csv += ',';
            csv += csv_field(field);
        }
        csv += '\n';
        std::fputs(csv.c_str(), stdout);
        csv.clear();
    };

    if (!arrive(arrivals.front())) {
        std::fprintf(stderr, "replay: cannot stage %s: %s\n", arrivals.front().name.c_str(),
                     std::strerror(errno));
        return 1;
    }
    std::fputs(csv.c_str(), stdout);
    csv.clear();
    form1::Command3_Click(s, view);
    if (s.object_set != 1) return 1;
    if (options->pick) {
        if (!view.object_window_open()) {
            std::fprintf(stderr,
                         "replay: the oldest image could not be shown, so nothing was picked\n");
        } else {
            form4::Picture1_MouseDown(s, view, 1, 0, options->pick->first, options->pick->second);
            write_row(1, arrivals.front(), "");
        }
    }
    form1::Command1_Click(s, view);
    for (std::size_t k = 1; k < arrivals.size(); ++k) {
        if (!arrive(arrivals[k])) {
            std::fprintf(stderr, "replay: cannot stage %s: %s\n", arrivals[k].name.c_str(),
                         std::strerror(errno));
            continue;
        }
        view.clear_drift_plot();
        form1::Timer1_Timer(s, view);
        if (const std::optional<int> slot = view.plotted_slot()) {
            const auto measured =
                std::find_if(arrivals.begin(), arrivals.begin() + k + 1,
                             [&](const Arrival& a) { return a.name == s.fits_file_name; });
            write_row(*slot, *measured, view.label());
        }
    }
    std::fflush(stdout);
    return 0;
}

}  // namespace trakora::cli
