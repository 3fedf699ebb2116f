// SPDX-License-Identifier: MIT
// `trakora-cli simulate`: a camera and its capture program in one, writing FITS images of
// a drifting guide star into a folder so the program has something to watch.
#include <pthread.h>
#include <signal.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <deque>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "cli/commands.hpp"
#include "cli/fits_writer.hpp"
#include "cli/simulate_options.hpp"
#include "cli/simulated_sky.hpp"

namespace trakora::cli {
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

// DATE-OBS as 2026-12-09T02:05:40.123 (UTC) from milliseconds since the epoch.
std::string iso_time(long long ms) {
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03lld", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, ms % 1000);
    return text;
}

long long wall_clock_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::vector<std::string> header_cards(const SimulateOptions& o, const SampleFormat& format,
                                      const std::string& date_obs) {
    const int planes = o.colour ? 3 : 1;
    std::vector<std::string> cards;
    cards.push_back(logical_card("SIMPLE", true, "file conforms to FITS standard"));
    cards.push_back(integer_card("BITPIX", format.bitpix, "bits per data value"));
    cards.push_back(integer_card("NAXIS", planes == 3 ? 3 : 2, "number of data axes"));
    cards.push_back(integer_card("NAXIS1", o.width, "columns"));
    cards.push_back(integer_card("NAXIS2", o.height, "rows"));
    if (planes == 3) cards.push_back(integer_card("NAXIS3", 3, "planes: red, green, blue"));
    append_format_cards(cards, format);
    cards.push_back(real_card("EXPTIME", o.interval_s, "exposure time in seconds"));
    cards.push_back(string_card("DATE-OBS", date_obs, "UTC start of exposure"));
    cards.push_back(string_card("INSTRUME", "Trakora simulated camera", "camera"));
    return cards;
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
                    std::size_t header_bytes, double interval_s, StopSignals& signals) {
    auto ends = chunk_ends(bytes.size(), header_bytes, kInPlaceChunks);
    InPlaceWriter writer(target, std::move(bytes), std::move(ends));
    // Spread the writing over up to half the interval, at most half a second per pause.
    const double pause_s = std::min(0.5, interval_s / 2 / kInPlaceChunks);
    const auto pause = std::chrono::duration_cast<SteadyClock::duration>(
        std::chrono::duration<double>(pause_s));
    while (writer.write_next()) {
        if (!writer.done() && signals.wait_until(SteadyClock::now() + pause)) break;
    }
    writer.finish();
}

int run(const SimulateOptions& o) {
    std::error_code ec;
    fs::create_directories(o.folder, ec);
    if (!fs::is_directory(o.folder)) {
        std::fprintf(stderr, "simulate: cannot use folder '%s'%s%s\n", o.folder.c_str(),
                     ec ? ": " : "", ec ? ec.message().c_str() : "");
        return 1;
    }
    if (!has_image_ending(format_name(o.name_pattern, 1)))
        std::fprintf(stderr,
                     "simulate: warning: trakora takes only names ending in FIT, Fit, FTS or "
                     "Fts for images; '%s' will be ignored\n",
                     format_name(o.name_pattern, 1).c_str());

    SkyParams params;
    params.width = o.width;
    params.height = o.height;
    params.planes = o.colour ? 3 : 1;
    params.full_scale = o.bitpix == 8 ? 255 : 65535;
    params.interval_s = o.interval_s;
    params.drift_x_per_min = o.drift_x_per_min;
    params.drift_y_per_min = o.drift_y_per_min;
    params.seeing = o.seeing;
    params.seed = o.seed;
    const SkyField field = make_sky_field(params);
    const SampleFormat format = sample_format(o.bitpix);

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
            if (signals.wait_until(start + index * interval)) break;

            const std::vector<float> values = render_sky(params, field, index);
            // DATE-OBS must grow with every image even when images come faster than
            // the clock's milliseconds: the program takes the greatest one as newest.
            last_ms = std::max(wall_clock_ms(), last_ms + 1);
            const std::string date_obs = iso_time(last_ms);
            const auto cards = header_cards(o, format, date_obs);
            std::vector<std::uint8_t> bytes =
                fits_file_bytes(cards, encode_samples(values, format));
            const std::size_t header_bytes =
                (cards.size() + 1 + 35) / 36 * kBlockBytes;  // the cards and END, padded

            number = next_free_number(o, number);
            const fs::path target = o.folder / format_name(o.name_pattern, number);
            ++number;
            if (o.in_place)
                write_in_place(target, std::move(bytes), header_bytes, o.interval_s, signals);
            else
                write_file_replacing(target, bytes);
            ++images;

            const Point star = guide_star_position(params, field, index);
            std::printf("%s  DATE-OBS %s  guide star x %.2f y %.2f\n",
                        target.filename().c_str(), date_obs.c_str(), star.x, star.y);
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
    std::string error;
    const auto options = parse_simulate_options(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "simulate: %s\n(trakora-cli simulate --help for the options)\n",
                     error.c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(simulate_usage().c_str(), stdout);
        return 0;
    }
    return run(*options);
}

}  // namespace trakora::cli
