// SPDX-License-Identifier: MIT
// trakora-cli watch: the program at the mount without a screen. It watches a folder as the
// desktop program does (the object setting on the newest image, the pick, then the
// polling timer's ticks through the windowless view), keeps the drift session, and
// writes the assistant's state after each tick as one JSON line, the script driver's
// `assistant` event, until Ctrl-C or SIGTERM. With --serve the web face shows the same
// answer to a phone and its buttons act on the session between ticks.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "analysis/star_to_pick.hpp"
#include "arrival/name_rule.hpp"
#include "base/command_line.hpp"
#include "base/number_text.hpp"
#include "cli/commands.hpp"
#include "cli/drift_options.hpp"
#include "cli/exit_signals.hpp"
#include "core/handlers.hpp"
#include "core/measured_image.hpp"
#include "report/summary_json.hpp"
#include "session/assistant_handlers.hpp"
#include "web/serve_address.hpp"
#include "web/web_server.hpp"
#include "web/web_state.hpp"
#include "windowless/windowless_view.hpp"

namespace trakora::cli {
namespace {

namespace fs = std::filesystem;

// Messages go to standard error.
class WatchView final : public WindowlessView {
  public:
    using WindowlessView::WindowlessView;
    void message(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

struct Options {
    std::string folder;
    std::optional<std::pair<float, float>> pick;
    bool auto_pick = false;
    std::optional<double> interval_s;
    NameRule names = NameRule::specified;
    std::optional<web::ServeAddress> serve;
    std::string token;
    std::string lang = "en";
    DriftOptions drift;
};

command_line::Syntax watch_command_line(Options& o) {
    using command_line::Refusal;
    using Values = std::span<const std::string_view>;
    command_line::Syntax syntax{
        "trakora-cli", "watch",
        "Watches FOLDER as the desktop program does, measures the newest image at every\n"
        "tick and keeps the drift session, writing the assistant's state after each tick\n"
        "as one JSON line, until Ctrl-C or SIGTERM."};
    syntax.operands = {folder_operand(o.folder, "the folder the camera writes its FITS images to")};
    syntax.options = {
        pick_option(o.pick,
                    "click the object window's picture at X Y once the first image is shown;\n"
                    "--pick auto clicks the brightest star that is not saturated, not within\n"
                    "30 px of an edge and without a neighbour of similar brightness within 20 px,\n"
                    "and again the same way after a slew or a meridian flip"),
        {"pick-auto", "", "the same as --pick auto", 0, command_line::flag(o.auto_pick)},
        {"interval", "SECONDS", "the polling timer's interval, as typed into its box", 1,
         [&o](Values v) -> Refusal {
             const auto n = command_line::to_number(v[0]);
             if (!n || !(*n > 0 && *n < 65))
                 return "expected seconds above 0 and below 65, not '" + std::string(v[0]) + "'";
             o.interval_s = *n;
             return std::nullopt;
         }},
        names_option(o.names),
        {"serve", "[ADDRESS:]PORT",
         "serve the web page for a phone at PORT, on this machine only unless an\n"
         "ADDRESS is given (0.0.0.0 for every network: see docs/web.md)",
         1,
         [&o](Values v) -> Refusal {
             o.serve = web::serve_address_from_text(v[0]);
             if (!o.serve) return "expected [ADDRESS:]PORT, not '" + std::string(v[0]) + "'";
             return std::nullopt;
         }},
        {"token", "TEXT", "the token every request must bring (default: 128 random bits)", 1,
         [&o](Values v) -> Refusal {
             if (!web::token_usable(v[0]))
                 return std::string(
                     "expected at least 8 characters that need no escaping in a "
                     "URL");
             o.token = std::string(v[0]);
             return std::nullopt;
         }},
        {"lang", "LANG", "the web page's language: en (default) or ja", 1,
         [&o](Values v) -> Refusal {
             if (v[0] != "en" && v[0] != "ja")
                 return "expected en or ja, not '" + std::string(v[0]) + "'";
             o.lang = std::string(v[0]);
             return std::nullopt;
         }},
    };
    const std::vector<command_line::Option> typed = drift_input_options(o.drift);
    syntax.options.insert(syntax.options.end(), typed.begin(), typed.end());
    syntax.check = [&o]() -> Refusal {
        if (o.pick && o.auto_pick)
            return std::string("--pick X Y and --pick auto exclude each other");
        if (!o.token.empty() && !o.serve) return std::string("--token needs --serve");
        return std::nullopt;
    };
    syntax.notes =
        "Each line on standard output is the assistant's state after a tick, as the\n"
        "script driver's assistant event. Messages the program would show go to\n"
        "standard error; with --serve the page's address comes first there.\n";
    return syntax;
}

double now_unix_s() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

class Watch {
  public:
    Watch(const Options& o, const std::string& folder, ExitSignals& exit_signals)
        : o_(o), view_(folder), exit_signals_(exit_signals) {}

    int run(web::Mailbox* mailbox) {
        mailbox_ = mailbox;
        State& s = *state_;
        form1::Form_Load(s, view_);
        s.name_rule = o_.names;
        if (o_.interval_s) {
            view_.type_text(TextField::Interval, plain_number_text(*o_.interval_s));
            form1::Text2_Change(s, view_);
        }
        type_drift_options(s.assistant, view_, o_.drift);
        type_drift_hour_angle(s.assistant, view_, o_.drift);
        // Live, a calibration move is looked for from the first image measured.
        if (o_.drift.calibrate) {
            arm_drift_calibration(s.assistant, o_.drift.calibrate->move);
            view_.show_drift_assistant(s.assistant);
        }
        publish();
        // The object setting, again at each interval until an image is shown.
        form1::Command3_Click(s, view_);
        while (!view_.object_window_open()) {
            if (!wait_interval()) return 0;
            form1::Command3_Click(s, view_);
        }
        pick();
        form1::Command1_Click(s, view_);
        while (wait_interval()) {
            if (!view_.polling()) continue;
            form1::Timer1_Timer(s, view_);
            repick_after_slew();
            ++tick_.count;
            tick_.unix_s = now_unix_s();
            const std::string line =
                "{\"event\":\"assistant\"," + report::assistant_json(s.assistant).substr(1) + "\n";
            if (std::fputs(line.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
                if (errno == EPIPE) exit_signals_.note_broken_pipe();
                return 1;
            }
            publish();
        }
        return 0;
    }

  private:
    void pick() {
        State& s = *state_;
        std::optional<Position> at;
        if (o_.pick) at = Position{o_.pick->first, o_.pick->second};
        if (o_.auto_pick) {
            const MeasuredPlane plane = measured_plane(s);
            at = star_to_pick(plane.plane, plane.levels);
            if (!at)
                std::fprintf(stderr, "watch: no star to pick on %s\n", s.fits_file_name.c_str());
        }
        if (at)
            form4::Picture1_MouseDown(s, view_, 1, 0, static_cast<float>(at->x),
                                      static_cast<float>(at->y));
    }

    // With --pick auto a slew, or a meridian flip, is followed by a new pick on the image
    // that showed it, as a user would click the new star.
    void repick_after_slew() {
        const std::vector<DriftSegment>& segments = state_->assistant.segments;
        if (!o_.auto_pick || segments.size() == segments_seen_) return;
        const SegmentReason why = segments.back().reason;
        if (why == SegmentReason::slew || why == SegmentReason::pier_side) pick();
        segments_seen_ = segments.size();
    }

    // Waits until the next tick is due, doing the page's actions as they come; false when
    // a signal came. Ticks keep their interval as a timer does, whatever a tick took, but a
    // tick longer than the interval lets the ones it overran go.
    bool wait_interval() {
        const int interval_ms = view_.timer_interval() > 0 ? view_.timer_interval() : 1000;
        const auto now = std::chrono::steady_clock::now();
        next_tick_ = std::max(next_tick_ + std::chrono::milliseconds(interval_ms), now);
        const auto until = next_tick_;
        while (exit_signals_.caught() == 0) {
            act();
            const auto left = until - std::chrono::steady_clock::now();
            if (left <= std::chrono::steady_clock::duration::zero()) return true;
            std::this_thread::sleep_for(
                std::min<std::chrono::steady_clock::duration>(left, std::chrono::milliseconds(50)));
        }
        return false;
    }

    // The page's buttons, through the session's handlers as the drift window's buttons.
    void act() {
        if (!mailbox_) return;
        const std::vector<web::Action> actions = mailbox_->take_actions();
        if (actions.empty()) return;
        DriftAssistant& a = state_->assistant;
        for (const web::Action action : actions) {
            bool show = true;
            switch (web::drift_action(action)) {
                case DriftAction::new_segment:
                    start_drift_segment(a);
                    break;
                case DriftAction::new_star:
                    start_drift_new_star(a);
                    break;
                case DriftAction::calibrate:
                    arm_drift_calibration(a, *web::calibration_move(action));
                    break;
                case DriftAction::turn_azimuth:
                    show = start_knob_adjust(a, measured_plane(*state_), Knob::azimuth);
                    break;
                case DriftAction::turn_altitude:
                    show = start_knob_adjust(a, measured_plane(*state_), Knob::altitude);
                    break;
            }
            if (show) view_.show_drift_assistant(a);
        }
        publish();
    }

    void publish() {
        if (mailbox_) web::publish_session(*mailbox_, state_->assistant, tick_, o_.lang);
    }

    const Options& o_;
    std::unique_ptr<State> state_ = std::make_unique<State>();
    WatchView view_;
    ExitSignals& exit_signals_;
    web::Mailbox* mailbox_ = nullptr;
    web::TickFacts tick_;
    std::size_t segments_seen_ = 0;
    std::chrono::steady_clock::time_point next_tick_ = std::chrono::steady_clock::now();
};

}  // namespace

int run_watch(int argc, char** argv) {
    // "--pick auto" is read as --pick-auto: the pick takes either two numbers or that word.
    std::vector<std::string> words(argv, argv + argc);
    for (std::size_t k = 0; k + 1 < words.size(); ++k)
        if (words[k] == "--pick" && words[k + 1] == "auto") {
            words[k] = "--pick-auto";
            words.erase(words.begin() + static_cast<std::ptrdiff_t>(k) + 1);
        }
    std::vector<const char*> args;
    for (const std::string& w : words) args.push_back(w.c_str());
    Options parsed;
    if (const auto status = command_line::parse_or_exit(watch_command_line(parsed),
                                                        static_cast<int>(args.size()), args.data()))
        return *status;
    std::error_code ec;
    const std::string folder = fs::absolute(parsed.folder, ec).lexically_normal().string();
    if (ec || !fs::is_directory(folder, ec)) {
        std::fprintf(stderr, "watch: no such folder: %s\n", parsed.folder.c_str());
        return 2;
    }
    ExitSignals exit_signals;
    int status = 0;
    {
        std::optional<web::Mailbox> mailbox;
        std::unique_ptr<web::WebServer> server;
        if (parsed.serve) {
            mailbox.emplace();
            server = std::make_unique<web::WebServer>(
                *mailbox, parsed.token.empty() ? web::random_token() : parsed.token);
            std::string error;
            if (!server->start(*parsed.serve, &error)) {
                std::fprintf(stderr, "watch: %s\n", error.c_str());
                return 1;
            }
            std::fprintf(stderr, "watch: the page is at %s\n", server->url().c_str());
        }
        Watch watch(parsed, folder, exit_signals);
        status = watch.run(mailbox ? &*mailbox : nullptr);
    }
    exit_signals.end_as_caught();
    return status;
}

}  // namespace trakora::cli
