// SPDX-License-Identifier: MIT
// `trakora-cli simulate`: a camera and its capture program in one, writing FITS images of
// a drifting guide star into a folder so the program has something to watch.
#include "camera/simulate.hpp"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <deque>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "base/command_line.hpp"
#include "camera/knob_input.hpp"
#include "camera/simulate_options.hpp"
#include "camera/simulated_image.hpp"
#include "fits/fits_writer.hpp"

namespace trakora::camera {
namespace {

namespace fs = std::filesystem;
using SteadyClock = std::chrono::steady_clock;

constexpr int kInPlaceChunks = 8;

// Ctrl-C, SIGTERM and SIGHUP are blocked while the camera runs and taken with
// sigtimedwait in the pauses, so a stop request can never land in the middle of a write
// and no handler or global flag is needed. The old mask comes back on return, which
// matters when a test runs the camera inside its own process.
class StopSignals {
  public:
    StopSignals() {
        sigemptyset(&set_);
        sigaddset(&set_, SIGINT);
        sigaddset(&set_, SIGTERM);
        sigaddset(&set_, SIGHUP);
        pthread_sigmask(SIG_BLOCK, &set_, &old_);
    }
    ~StopSignals() {
        // A stop that arrived during the last write is ours; swallow it rather than let
        // it kill the process once unblocked.
        sigset_t ours;
        sigemptyset(&ours);
        for (int sig : {SIGINT, SIGTERM, SIGHUP})
            if (!sigismember(&old_, sig)) sigaddset(&ours, sig);
        const timespec zero{0, 0};
        while (sigtimedwait(&ours, nullptr, &zero) > 0) {
        }
        pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Waits until `deadline` unless a stop signal comes first; true when asked to stop.
    bool wait_until(SteadyClock::time_point deadline) {
        while (!stopped_) {
            const auto left = deadline - SteadyClock::now();
            const auto ns = std::max<long long>(
                0, std::chrono::duration_cast<std::chrono::nanoseconds>(left).count());
            const timespec timeout{static_cast<time_t>(ns / 1'000'000'000),
                                   static_cast<long>(ns % 1'000'000'000)};
            if (sigtimedwait(&set_, nullptr, &timeout) > 0) {
                stopped_ = true;
            } else if (errno == EAGAIN && SteadyClock::now() >= deadline) {
                break;
            }
        }
        return stopped_;
    }
    bool stop_requested() { return wait_until(SteadyClock::now()); }

  private:
    sigset_t set_{};
    sigset_t old_{};
    bool stopped_ = false;
};

std::string format_arcmin(double arcmin) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", arcmin);
    return text;
}

long long wall_clock_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

// The next file number whose name is free, so an earlier run's images are never lost.
long next_free_number(const SimulateOptions& o, long number) {
    std::error_code ec;
    while (fs::exists(o.folder / format_name(o.name_pattern, number), ec) ||
           fs::exists(temporary_name_for(o.folder / format_name(o.name_pattern, number)), ec))
        ++number;
    return number;
}

// Writes the file in place in pieces, pausing between them as a slow capture program
// does; a stop request cuts the pauses short but the file is always completed.
void write_in_place(const fs::path& target, std::vector<std::uint8_t> bytes,
                    std::size_t header_bytes, double interval_s, bool empty_first,
                    StopSignals& signals) {
    auto ends = chunk_ends(bytes.size(), header_bytes, kInPlaceChunks);
    InPlaceWriter writer(target, std::move(bytes), std::move(ends));
    // Spread the writing over up to half the interval, at most half a second per pause.
    const double pause_s = std::min(0.5, interval_s / 2 / kInPlaceChunks);
    const auto pause =
        std::chrono::duration_cast<SteadyClock::duration>(std::chrono::duration<double>(pause_s));
    // The file stands empty for a while, as the capture program opens it before the
    // camera has delivered the frame.
    if (empty_first) signals.wait_until(SteadyClock::now() + pause);
    while (writer.write_next()) {
        if (!writer.done() && signals.wait_until(SteadyClock::now() + pause)) break;
    }
    writer.finish();
}

// The knobs' turns that have arrived, made before image `index`; a line it cannot take
// is named on standard error and left. Returns what the image's line adds: "  after
// knobs az -5 alt 2", or nothing.
std::string take_knob_turns(KnobInput& input, SkyParams& params, long index, long long image_ms) {
    std::string turned;
    for (const KnobLine& line : input.ready_lines()) {
        if (line.slew) {
            slew_mount(params.mount, line.slew->ha_hours, line.slew->dec_deg, index, image_ms,
                       params.interval_s);
            char text[64];
            std::snprintf(text, sizeof text, "  after a slew to %.2f h %.1f deg",
                          line.slew->ha_hours, line.slew->dec_deg);
            turned += text;
            continue;
        }
        if (line.nudge) {
            // The telescope stays where the button left it (the moves add up).
            params.mount.nudges.push_back({*line.nudge, index});
            char text[80];
            std::snprintf(text, sizeof text, "  after a nudge %+.0f\" north %+.0f\" east",
                          line.nudge->north_arcsec, line.nudge->east_arcsec);
            turned += text;
            continue;
        }
        if (!line.turn) {
            std::fprintf(stderr, "simulate: knob line ignored: %s\n", line.refusal.c_str());
            continue;
        }
        if (line.turn->az_arcmin == 0 && line.turn->alt_arcmin == 0) continue;  // "az 0"
        params.mount.knobs.push_back({*line.turn, index});
        const bool az = line.turn->az_arcmin != 0;
        turned += (turned.empty() ? "  after knobs " : " ") + std::string(az ? "az " : "alt ") +
                  format_arcmin(az ? line.turn->az_arcmin : line.turn->alt_arcmin);
    }
    // After a turn, the truth a user aligns toward: where the axis now points.
    if (turned.find("knobs") != std::string::npos) {
        const AxisOffset axis = axis_offset(params.mount.setup, knobs_turned(params.mount, index));
        turned += "  axis now az " + format_arcmin(axis.az_arcmin) + " alt " +
                  format_arcmin(axis.alt_arcmin);
    }
    return turned;
}

int run(const SimulateOptions& o) {
    std::error_code ec;
    fs::create_directories(o.folder, ec);
    if (!fs::is_directory(o.folder)) {
        std::fprintf(stderr, "simulate: cannot use folder '%s'%s%s\n", o.folder.c_str(),
                     ec ? ": " : "", ec ? ec.message().c_str() : "");
        return 1;
    }
    if (const std::string warning = ignored_name_warning(format_name(o.name_pattern, 1));
        !warning.empty())
        std::fprintf(stderr, "simulate: warning: %s\n", warning.c_str());

    SkyParams params = sky_params(o);
    const SkyField field = make_sky_field(params);
    const long long start_ms = o.simulated_clock && o.start_ms ? *o.start_ms : wall_clock_ms();
    params.mount.ra_hours = pointing_ra_hours(params.mount, start_ms);

    KnobInput knob_input(STDIN_FILENO);
    StopSignals signals;
    const auto start = SteadyClock::now();
    const auto interval = std::chrono::duration_cast<SteadyClock::duration>(
        std::chrono::duration<double>(o.interval_s));
    long long last_ms = 0;
    long number = 1;
    std::deque<fs::path> written;
    long images = 0;
    try {
        for (long index = 0; o.count == 0 || index < o.count; ++index) {
            // A simulated clock writes the night at once, each image at its own time.
            if (o.simulated_clock ? signals.stop_requested()
                                  : signals.wait_until(start + index * interval))
                break;

            // DATE-OBS must grow with every image even when images come faster than
            // the clock's milliseconds: the program takes the greatest one as newest.
            if (o.simulated_clock)
                last_ms = start_ms + std::llround(static_cast<double>(index) * o.interval_s * 1000);
            else
                last_ms = std::max(wall_clock_ms(), last_ms + 1);
            const std::string turned =
                o.knobs ? take_knob_turns(knob_input, params, index, last_ms) : "";
            const std::string date_obs = iso_time(last_ms);
            ImageFile file = simulated_image_file(o, params, field, index, date_obs);

            number = next_free_number(o, number);
            const fs::path target = o.folder / format_name(o.name_pattern, number);
            ++number;
            if (o.in_place)
                write_in_place(target, std::move(file.bytes), file.header_bytes,
                               o.simulated_clock ? 0 : o.interval_s, o.empty_first, signals);
            else
                write_file_replacing(target, file.bytes);
            ++images;

            const Position star = guide_star_position(params, field, index);
            std::printf("%s  DATE-OBS %s  guide star x %.2f y %.2f%s\n", target.filename().c_str(),
                        date_obs.c_str(), star.x, star.y, turned.c_str());
            std::fflush(stdout);

            written.push_back(target);
            while (o.keep > 0 && static_cast<long>(written.size()) > o.keep) {
                fs::remove(written.front(), ec);
                written.pop_front();
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "simulate: %s\n", e.what());
        return 1;
    }
    if (o.count == 0 || images < o.count)
        std::fprintf(stderr, "simulate: stopped after %ld image%s\n", images,
                     images == 1 ? "" : "s");
    return 0;
}

}  // namespace

int run_simulate(int argc, char** argv) {
    SimulateOptions options;
    if (const auto status = command_line::parse_or_exit(simulate_command_line(options), argc, argv))
        return *status;
    return run(options);
}

}  // namespace trakora::camera
