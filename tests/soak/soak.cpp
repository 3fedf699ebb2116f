// SPDX-License-Identifier: MIT
// A long night in a busy folder: the core ticks thousands of times while a camera-like
// writer thread fills the watched folder with complete images, images written in place
// as capture programs write them, images deleted at once, unreadable ones and files made
// to break readers.
//
// Usage: soak [--ticks N] [--seed S]      (CTest runs a short night; by hand, for hours:
//        soak --ticks 1000000)
//
// Every image with a star carries the star's position in its name ("..._x47_y33.FIT").
// The star is a 7 x 7 block brighter than the sky everywhere, so the box sum centred on
// it is the only largest one and the search lands on it exactly. After every tick:
//   - a measurement comes only from a file that holds a star, and equals that file's
//     star position;
//   - a failed tick leaves the series as it was; a measured one fills the lowest empty
//     slot or scrolls, exactly as an independent copy of the series predicts;
//   - a file written in place is never reported: the writer finishes each one before
//     the third tick after it appeared, at a camera's pace, with ticks falling between
//     its pieces; a file cut short for good is reported once, on the third tick in a row
//     that finds it, and waited for quietly before;
//   - every image written in place is measured once it is complete;
//   - slot 0 and the slots above max_count stay empty.
// At the end the peak resident memory must lie within a few MiB of the peak after the
// first hundred ticks (not checked under AddressSanitizer, whose quarantine keeps freed
// memory on purpose).
//
// Only the writer thread touches the folder; only the main thread touches the State.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/handlers.hpp"
#include "core/messages.hpp"
#include "core/state.hpp"
#include "core/view.hpp"
#include "support/fits_files.hpp"
#include "windowless/windowless_view.hpp"

#if defined(__SANITIZE_ADDRESS__)
#define SOAK_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOAK_UNDER_ASAN 1
#endif
#endif

namespace trakora::soak {
namespace {

namespace fs = std::filesystem;
using testing::fits_card;
using testing::fits_header;
using testing::padded_card;

constexpr int kWidth = 96;
constexpr int kHeight = 72;
constexpr int kCentreX = 48;
constexpr int kCentreY = 36;
constexpr int kWander = 6;     // stars lie within +-6 pixels of the centre, so any one of
                               // them is within the search's reach (15) of any other
constexpr int kMaxCount = 20;  // small, so the series scrolls often
constexpr std::size_t kKeptFiles = 24;
constexpr long kMemorySlackKiB = 4 * 1024;

// ---- What the writer puts into the folder ---------------------------------------------

enum Kind {
    kComplete,     // written under a hidden name, then renamed: never seen partial
    kInPlace,      // written under its final name in pieces, with ticks in between
    kEmptyFirst,   // the same, but the file stands empty for a while first (KStars/Ekos)
    kHeaderCut,    // written in place in pieces that end inside the header, then the data
    kDeleted,      // complete, removed again almost at once
    kUnreadable,   // complete, then chmod 000 (root reads it anyway)
    kNanSamples,   // -32 image with a star and a patch of NaN far from it
    kInfSamples,   // -32 image with a star and a patch of +-infinity far from it
    kNotFits,      // random bytes behind a DATE-OBS card
    kNoDate,       // random bytes, no DATE-OBS card: never the newest
    kOtherEnding,  // a good image named .fits: never a candidate
    kNoEnd600,     // 600 cards and no END
    kHugeWidth,    // NAXIS1 = 1000000000
    kBitpix64,     // BITPIX -64
    kTruncated,    // a header and half the data, for good
    kKinds
};

constexpr std::array<const char*, kKinds> kKindNames = {
    "complete", "inplace", "emptyfirst",  "headercut", "deleted",   "unreadable", "nan",      "inf",
    "notfits",  "nodate",  "otherending", "noend600",  "hugewidth", "bitpix64",   "truncated"};

// How often the writer picks each kind.
constexpr std::array<int, kKinds> kKindWeights = {6, 3, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

bool has_star(int kind) { return kind <= kInfSamples; }
bool written_in_place(int kind) {
    return kind == kInPlace || kind == kEmptyFirst || kind == kHeaderCut;
}
// Ticks that would find the file shorter than its header says, or its header unfinished.
constexpr int kShortTicks = 3;

struct StarPos {
    int x = 0, y = 0;
};

// The name of file `seq`: the sequence number orders nothing (DATE-OBS does), the kind
// and the star position are read back by the checks.
std::string file_name(long seq, int kind, std::optional<StarPos> star) {
    char buf[96];
    if (star) {
        std::snprintf(buf, sizeof buf, "%07ld_%s_x%d_y%d.%s", seq, kKindNames[kind], star->x,
                      star->y, kind == kOtherEnding ? "fits" : "FIT");
    } else {
        std::snprintf(buf, sizeof buf, "%07ld_%s.FIT", seq, kKindNames[kind]);
    }
    return buf;
}

struct ParsedName {
    int kind = -1;
    std::optional<StarPos> star;
};

ParsedName parse_name(const std::string& name) {
    ParsedName out;
    const std::size_t first = name.find('_');
    if (first == std::string::npos) return out;
    const std::size_t second = name.find_first_of("_.", first + 1);
    const std::string kind = name.substr(first + 1, second - first - 1);
    for (int k = 0; k < kKinds; ++k) {
        if (kind == kKindNames[k]) out.kind = k;
    }
    StarPos p;
    if (second != std::string::npos &&
        std::sscanf(name.c_str() + second, "_x%d_y%d", &p.x, &p.y) == 2)
        out.star = p;
    return out;
}

// DATE-OBS of file `seq`: one second apart, so the text orders the files.
std::string date_card(long seq) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "'2026-12-%02ldT%02ld:%02ld:%02ld.000'", 9 + seq / 86400,
                  seq / 3600 % 24, seq / 60 % 60, seq % 60);
    return fits_card("DATE-OBS", buf);
}

// The sky with a noise of a few counts, and the star as a 7 x 7 block that stands well
// above it at every one of its pixels.
std::vector<double> sky_with_star(std::mt19937& rng, StarPos star) {
    std::uniform_int_distribution<int> noise(-8, 8);
    std::vector<double> v(kWidth * kHeight);
    for (double& s : v) s = 100 + noise(rng);
    for (int dy = -3; dy <= 3; ++dy) {
        for (int dx = -3; dx <= 3; ++dx) {
            v[(star.y + dy) * kWidth + star.x + dx] = 400 + 3000.0 / (1 + dx * dx + dy * dy);
        }
    }
    return v;
}

std::string random_bytes(std::mt19937& rng, std::size_t n) {
    std::string out(n, '\0');
    for (char& c : out) c = static_cast<char>(rng() & 0xFF);
    return out;
}

class Writer {
  public:
    Writer(fs::path folder, unsigned seed, const std::atomic<long>& ticks)
        : folder_(std::move(folder)), rng_(seed), ticks_(ticks) {}

    // The first image, written before the night starts so the object can be set.
    StarPos first_image() {
        const StarPos star{kCentreX, kCentreY};
        write_whole(file_name(next_seq_++, kComplete, star), star_image(0, star, 16));
        ++written[kComplete];
        return star;
    }

    void run(const std::atomic<bool>& stop) {
        std::discrete_distribution<int> pick(kKindWeights.begin(), kKindWeights.end());
        while (!stop.load()) {
            write_one(pick(rng_), stop);
            // Mostly one file per tick or so; sometimes several at once.
            if (rng_() % 10 < 7)
                wait_for_tick(stop);
            else
                std::this_thread::sleep_for(std::chrono::microseconds(rng_() % 400));
            while (kept_.size() > kKeptFiles) {
                std::error_code ignored;
                fs::remove(folder_ / kept_.front(), ignored);
                kept_.pop_front();
            }
        }
    }

    std::array<std::atomic<long>, kKinds> written{};
    // The tick count when the file now being written in place appeared; -1 between files.
    std::atomic<long> writing_since{-1};
    // Files written in place and complete while the night went on (read after the join).
    std::vector<std::string> completed_in_place;

  private:
    StarPos wander() {
        std::uniform_int_distribution<int> d(-kWander, kWander);
        return {kCentreX + d(rng_), kCentreY + d(rng_)};
    }

    std::string star_image(long seq, StarPos star, int bitpix,
                           std::optional<double> special = std::nullopt) {
        std::vector<double> v = sky_with_star(rng_, star);
        if (special) {
            // A corner patch, beyond the reach of any search around the star.
            for (int y = 0; y < 6; ++y) {
                for (int x = 0; x < 6; ++x) v[y * kWidth + x] = (x + y) % 2 ? *special : -*special;
            }
        }
        return testing::make_fits(bitpix, kWidth, kHeight, v, {date_card(seq)});
    }

    // Waits until the next tick is done, unless tick `last` (counted from 0) is already.
    void wait_for_tick(const std::atomic<bool>& stop,
                       long last = std::numeric_limits<long>::max()) {
        const long seen = ticks_.load();
        while (!stop.load() && seen <= last && ticks_.load() == seen)
            std::this_thread::sleep_for(std::chrono::microseconds(50));
    }

    // Writes under a hidden name and renames, so the folder never shows it partial.
    void write_whole(const std::string& name, const std::string& bytes) {
        const fs::path hidden = folder_ / ("." + name + ".part");
        const int fd = ::open(hidden.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) return;
        const bool ok =
            ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
        ::close(fd);
        if (ok && ::rename(hidden.c_str(), (folder_ / name).c_str()) == 0)
            kept_.push_back(name);
        else
            ::unlink(hidden.c_str());
    }

    // Writes under the final name in pieces ending at `ends`, as a capture program does
    // at a camera's pace: ticks fall between the pieces, but the file is complete before
    // the third tick after it appeared (the night holds that tick back until then, as a
    // camera finishes its frame within the polling interval). Then it lets two ticks
    // pass, so that one of them began after the file was complete and measures it.
    void write_in_place(const std::string& name, const std::string& bytes,
                        std::vector<std::size_t> ends, const std::atomic<bool>& stop) {
        writing_since.store(ticks_.load());
        const int fd =
            ::open((folder_ / name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) {
            writing_since.store(-1);
            return;
        }
        kept_.push_back(name);
        std::size_t done = 0;
        bool whole = true;
        ends.push_back(bytes.size());
        // The last tick that may find the file unfinished.
        const long last_tick = writing_since.load() + kShortTicks - 2;
        for (std::size_t end : ends) {
            if (end < done || end > bytes.size()) continue;
            if (rng_() % 2)
                wait_for_tick(stop, last_tick);
            else
                std::this_thread::sleep_for(std::chrono::microseconds(rng_() % 300));
            if (end == done) continue;  // the file stands empty for a while
            if (::write(fd, bytes.data() + done, end - done) != static_cast<ssize_t>(end - done)) {
                whole = false;
                break;
            }
            done = end;
        }
        ::close(fd);
        writing_since.store(-1);
        wait_for_tick(stop);
        wait_for_tick(stop);
        if (whole && !stop.load()) completed_in_place.push_back(name);
    }

    void write_one(int kind, const std::atomic<bool>& stop) {
        const long seq = next_seq_++;
        ++written[kind];
        switch (kind) {
            case kComplete:
            case kUnreadable:
            case kDeleted:
            case kOtherEnding: {
                const StarPos star = wander();
                const std::string name = file_name(seq, kind, star);
                write_whole(name,
                            star_image(seq, star, kind == kOtherEnding ? 16 : (seq % 2 ? 16 : 32)));
                if (kind == kUnreadable) ::chmod((folder_ / name).c_str(), 0);
                if (kind == kDeleted) {
                    std::this_thread::sleep_for(std::chrono::microseconds(rng_() % 800));
                    ::unlink((folder_ / name).c_str());
                }
                break;
            }
            case kInPlace:
            case kEmptyFirst:
            case kHeaderCut: {
                const StarPos star = wander();
                const std::string bytes = star_image(seq, star, 16);
                std::vector<std::size_t> ends;
                if (kind == kEmptyFirst) ends.push_back(0);
                // Inside the header: before DATE-OBS, then after it but before END.
                if (kind == kHeaderCut) ends = {2 * testing::kCardBytes + 17, 510};
                ends.push_back(testing::kBlockBytes);
                ends.push_back(bytes.size() / 3 + rng_() % 100);
                ends.push_back(bytes.size() * 2 / 3);
                write_in_place(file_name(seq, kind, star), bytes, std::move(ends), stop);
                break;
            }
            case kNanSamples:
            case kInfSamples: {
                const StarPos star = wander();
                const double special = kind == kNanSamples
                                           ? std::numeric_limits<double>::quiet_NaN()
                                           : std::numeric_limits<double>::infinity();
                write_whole(file_name(seq, kind, star), star_image(seq, star, -32, special));
                break;
            }
            case kNotFits:
                write_whole(file_name(seq, kind, std::nullopt),
                            date_card(seq) + random_bytes(rng_, 1000 + rng_() % 9000));
                break;
            case kNoDate: {
                std::string bytes = random_bytes(rng_, 80 * (1 + rng_() % 100));
                for (std::size_t at = 0; at < bytes.size(); at += 80)
                    bytes[at] = 'X';  // no card starts DATE-OBS
                write_whole(file_name(seq, kind, std::nullopt), bytes);
                break;
            }
            case kNoEnd600: {
                std::string bytes = fits_card("SIMPLE", "T") + fits_card("BITPIX", "16") +
                                    fits_card("NAXIS", "2") + fits_card("NAXIS1", "8") +
                                    fits_card("NAXIS2", "8") + date_card(seq);
                while (bytes.size() < 600 * testing::kCardBytes)
                    bytes += padded_card("COMMENT no end in sight");
                write_whole(file_name(seq, kind, std::nullopt), bytes + std::string(128, '\x01'));
                break;
            }
            case kHugeWidth:
                write_whole(file_name(seq, kind, std::nullopt),
                            fits_header({fits_card("SIMPLE", "T"), fits_card("BITPIX", "16"),
                                         fits_card("NAXIS", "2"), fits_card("NAXIS1", "1000000000"),
                                         fits_card("NAXIS2", "1000"), date_card(seq)}) +
                                std::string(2880, '\x7f'));
                break;
            case kBitpix64:
                write_whole(file_name(seq, kind, std::nullopt),
                            fits_header({fits_card("SIMPLE", "T"), fits_card("BITPIX", "-64"),
                                         fits_card("NAXIS", "2"), fits_card("NAXIS1", "8"),
                                         fits_card("NAXIS2", "8"), date_card(seq)}) +
                                std::string(2880, '\x3f'));
                break;
            case kTruncated: {
                std::string bytes = star_image(seq, wander(), 16);
                bytes.resize(testing::kBlockBytes + (bytes.size() - testing::kBlockBytes) / 2);
                write_whole(file_name(seq, kind, std::nullopt), bytes);
                break;
            }
        }
    }

    fs::path folder_;
    std::mt19937 rng_;
    const std::atomic<long>& ticks_;
    long next_seq_ = 0;
    std::deque<std::string> kept_;
};

// ---- The view: keeps only what the checks need, so memory stays flat -------------------

class QuietView : public WindowlessView {
  public:
    using WindowlessView::WindowlessView;

    std::vector<std::string> messages;  // of the current tick
    bool plotted = false;               // the drift plot was drawn in the current tick

    void start_tick() {
        messages.clear();
        plotted = false;
    }

    void message(const std::string& text) override { messages.push_back(text); }
    void plot_set_scale(float, float) override { plotted = true; }
};

// ---- Checks and figures -----------------------------------------------------------------

struct Memory {
    long hwm_kib = 0, rss_kib = 0;
};

Memory read_memory() {
    Memory m;
    if (std::FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f)) {
            std::sscanf(line, "VmHWM: %ld", &m.hwm_kib);
            std::sscanf(line, "VmRSS: %ld", &m.rss_kib);
        }
        std::fclose(f);
    }
    return m;
}

using Series = std::array<std::array<Number, 2>, kSlotCount>;

bool empty_slot(const Series& series, int k) {
    return series[k][0] == kEmptySlot && series[k][1] == kEmptySlot;
}

// The series after recording (x, y), by the rules: the lowest empty slot of 1..N, or
// everything moved down by one and the new value in slot N.
Series recorded(Series series, int n, Number x, Number y) {
    for (int k = 1; k <= n; ++k) {
        if (empty_slot(series, k)) {
            series[k] = {x, y};
            return series;
        }
    }
    for (int k = 2; k <= n; ++k) series[k - 1] = series[k];
    series[n] = {x, y};
    return series;
}

struct KindFigures {
    long chosen = 0;
    long measured = 0;
    long waited = 0;  // ticks that found it still being written and said nothing
    std::map<std::string, long> rejected;  // by reason
};

class Night {
  public:
    explicit Night(long ticks) : ticks_(ticks) {}

    // Checks one tick; returns the failures found (empty when all is well).
    std::string check_tick(const State& s, const QuietView& view, const Series& before) {
        const std::vector<std::string>& msgs = view.messages;
        // Ticks in a row that found this same file short (waited for it or reported it).
        const bool same_file = !s.fits_file_name.empty() && s.fits_file_name == short_name_;
        short_name_.clear();
        const int short_streak = same_file ? short_streak_ + 1 : 1;
        short_streak_ = 0;
        if (s.fits_file_name.empty()) {
            ++no_file_;
            if (msgs != std::vector<std::string>{messages::kNoFitsFile})
                return "no file, but messages differ";
            if (s.measurements != before) return "series changed on a tick without a file";
            return {};
        }
        const ParsedName parsed = parse_name(s.fits_file_name);
        if (parsed.kind < 0) return "chose a file the writer never wrote: " + s.fits_file_name;
        KindFigures& figures = kinds_[parsed.kind];
        ++figures.chosen;
        if (parsed.kind == kNoDate || parsed.kind == kOtherEnding) {
            return "chose " + s.fits_file_name + ", which has no DATE-OBS card or no FITS ending";
        }
        const bool may_be_short =
            written_in_place(parsed.kind) || parsed.kind == kTruncated || parsed.kind == kNotFits;
        if (may_be_short && (!msgs.empty() || !view.plotted)) {
            short_name_ = s.fits_file_name;
            short_streak_ = short_streak;
        }
        if (msgs.empty() && !view.plotted) {
            // A file still being written: the tick waits without a word.
            if (!may_be_short) return "no message and no plot on " + s.fits_file_name;
            ++figures.waited;
            if (parsed.kind == kTruncated && short_streak == kShortTicks)
                return s.fits_file_name + " was short for three ticks and not reported";
            if (s.measurements != before)
                return "series changed while " + s.fits_file_name + " was written";
            return {};
        }
        if (!msgs.empty()) {
            if (written_in_place(parsed.kind))
                return "reported " + s.fits_file_name +
                       " while it was being written: " + join(msgs);
            // The reader's message, then the cycle's.
            if (msgs.size() != 2 || msgs[1] != messages::kFileOpenError ||
                msgs[0].rfind(s.fits_file_name, 0) != 0) {
                return "unexpected messages on " + s.fits_file_name + ": " + join(msgs);
            }
            const std::string reason = msgs[0].substr(s.fits_file_name.size());
            ++figures.rejected[reason];
            if (parsed.kind == kTruncated && reason == "data size error" &&
                short_streak != kShortTicks)
                return "reported " + s.fits_file_name + " on tick " + std::to_string(short_streak) +
                       " in a row that found it short";
            if (parsed.kind == kBitpix64 && reason != "BITPIX error : BITPIX = 64")
                return "bitpix64: " + reason;
            if (parsed.kind == kNotFits && reason != "BITPIX error") return "notfits: " + reason;
            if (s.measurements != before)
                return "series changed on a rejected file " + s.fits_file_name;
            return {};
        }
        if (written_in_place(parsed.kind)) measured_in_place_.insert(s.fits_file_name);
        if (!view.plotted) return "no message and no plot on " + s.fits_file_name;
        ++figures.measured;
        ++measured_;
        if (!has_star(parsed.kind) || !parsed.star)
            return "measured " + s.fits_file_name + ", which holds no star";
        if (s.object_x != parsed.star->x || s.object_y != parsed.star->y) {
            return "measured (" + std::to_string(s.object_x) + ", " + std::to_string(s.object_y) +
                   ") on " + s.fits_file_name;
        }
        const int n = static_cast<int>(s.max_count);
        const Series expected = recorded(before, n, s.object_x, s.object_y);
        if (s.measurements != expected)
            return "series does not follow the filling and scrolling rules";
        if (!empty_slot(before, n)) ++scrolls_;
        if (!empty_slot(s.measurements, 0)) return "slot 0 holds a value";
        for (int k = n + 1; k < kSlotCount; ++k) {
            if (!empty_slot(s.measurements, k)) return "slot above max_count holds a value";
        }
        return {};
    }

    void report(const Writer& writer, const Memory& after_first, const Memory& at_end,
                long ticks_run) const {
        std::printf(
            "soak: %ld ticks (of %ld), max_count %d: %ld measured (%ld of them scrolled), %ld "
            "without a file\n",
            ticks_run, ticks_, kMaxCount, measured_, scrolls_, no_file_);
        std::printf("  %-12s %8s %8s %9s %7s  rejections\n", "kind", "written", "chosen",
                    "measured", "waited");
        for (int k = 0; k < kKinds; ++k) {
            const KindFigures& f = kinds_[k];
            std::string reasons;
            for (const auto& [reason, count] : f.rejected)
                reasons += "\"" + reason + "\" " + std::to_string(count) + "; ";
            std::printf("  %-12s %8ld %8ld %9ld %7ld  %s\n", kKindNames[k],
                        writer.written[k].load(), f.chosen, f.measured, f.waited, reasons.c_str());
        }
        std::printf("  memory after the first %ld ticks: VmHWM %ld KiB, VmRSS %ld KiB\n",
                    std::min<long>(100, ticks_run), after_first.hwm_kib, after_first.rss_kib);
        std::printf(
            "  memory at the end:              VmHWM %ld KiB, VmRSS %ld KiB (peak grew %ld KiB)\n",
            at_end.hwm_kib, at_end.rss_kib, at_end.hwm_kib - after_first.hwm_kib);
        if (::geteuid() == 0)
            std::printf("  running as root: chmod 000 files are read all the same\n");
    }

    // The images written in place that were complete while the night went on, but never
    // measured; empty when all is well.
    std::string unmeasured(const Writer& writer) const {
        std::string missing;
        for (const std::string& name : writer.completed_in_place)
            if (measured_in_place_.count(name) == 0) missing += " " + name;
        return missing;
    }

  private:
    static std::string join(const std::vector<std::string>& v) {
        std::string out;
        for (const std::string& s : v) out += "[" + s + "]";
        return out;
    }

    long ticks_;
    long measured_ = 0, scrolls_ = 0, no_file_ = 0;
    std::array<KindFigures, kKinds> kinds_;
    std::string short_name_;  // the file the last tick found short, if it did
    int short_streak_ = 0;    // ticks in a row that found it so
    std::set<std::string> measured_in_place_;
};

int run(long ticks, unsigned seed) {
    testing::TempDir folder;
    auto state = std::make_unique<State>();
    State& s = *state;
    QuietView view(folder.path().string());
    std::atomic<long> ticks_done{0};
    Writer writer(folder.path(), seed, ticks_done);

    form1::Form_Load(s, view);
    view.set_text(TextBox::Text3, std::to_string(kMaxCount));
    std::int16_t enter = 13;
    form1::Text3_KeyPress(s, view, enter);
    const StarPos first = writer.first_image();
    form1::Command3_Click(s, view);
    form4::Picture1_MouseDown(s, view, 1, 0, static_cast<float>(first.x),
                              static_cast<float>(first.y));
    form1::Command1_Click(s, view);
    if (!view.timer_enabled() || s.object_x != first.x || s.object_y != first.y) {
        std::fprintf(stderr, "soak: the object setting failed\n");
        return 1;
    }

    std::atomic<bool> stop{false};
    std::thread writing([&] { writer.run(stop); });
    Night night(ticks);
    Memory after_first;
    std::string failure;
    long t = 0;
    for (; t < ticks && failure.empty(); ++t) {
        // A camera finishes its frame within the polling interval: the third tick after
        // a file began to be written waits until it is complete.
        for (long since;
             (since = writer.writing_since.load()) >= 0 && t >= since + kShortTicks - 1;)
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        const Series before = s.measurements;
        view.start_tick();
        form1::Timer1_Timer(s, view);
        failure = night.check_tick(s, view, before);
        ticks_done.store(t + 1);
        if (t + 1 == std::min<long>(100, ticks)) after_first = read_memory();
    }
    stop.store(true);
    writing.join();
    const Memory at_end = read_memory();
    night.report(writer, after_first, at_end, t);

    if (!failure.empty()) {
        std::fprintf(stderr, "soak: FAILED at tick %ld: %s\n", t, failure.c_str());
        return 1;
    }
    if (const std::string missing = night.unmeasured(writer); !missing.empty()) {
        std::fprintf(stderr, "soak: FAILED: images written in place never measured:%s\n",
                     missing.c_str());
        return 1;
    }
#ifndef SOAK_UNDER_ASAN
    if (at_end.hwm_kib - after_first.hwm_kib > kMemorySlackKiB) {
        std::fprintf(stderr, "soak: FAILED: peak memory grew by %ld KiB after the first ticks\n",
                     at_end.hwm_kib - after_first.hwm_kib);
        return 1;
    }
#endif
    return 0;
}

}  // namespace
}  // namespace trakora::soak

int main(int argc, char** argv) {
    long ticks = 3000;
    unsigned seed = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--ticks" && i + 1 < argc) {
            ticks = std::strtol(argv[++i], nullptr, 10);
        } else if (arg == "--seed" && i + 1 < argc) {
            seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        } else {
            std::fprintf(stderr, "usage: soak [--ticks N] [--seed S]\n");
            return 2;
        }
    }
    if (ticks < 1) {
        std::fprintf(stderr, "soak: --ticks must be at least 1\n");
        return 2;
    }
    return trakora::soak::run(ticks, seed);
}
