// SPDX-License-Identifier: MIT
#include "camera/simulated_sky.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace trakora::camera {
namespace {

// SplitMix64: tiny, fast and the same on every platform, so a seed gives the same
// images everywhere (the standard library's distributions are not portable).
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }  // [0, 1)
    double uniform(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    // Box-Muller; the second value is dropped to keep the stream simple.
    double gaussian() {
        const double u1 = 1.0 - uniform();  // (0, 1]
        const double u2 = uniform();
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
    }

  private:
    std::uint64_t state_;
};

// Independent streams for the layout, each image's noise and each image's jitter.
enum class Stream : std::uint64_t { kLayout = 1, kNoise = 2, kJitter = 3, kPhase = 4 };

std::uint64_t stream_seed(std::uint64_t seed, Stream stream, long index = 0, int plane = 0) {
    Random mix(seed ^ (static_cast<std::uint64_t>(stream) << 56));
    std::uint64_t s = mix.next();
    s ^= static_cast<std::uint64_t>(index) * 0xD6E8FEB86659FD93ull;
    s ^= static_cast<std::uint64_t>(plane + 1) * 0xA0761D6478BD642Full;
    return Random(s).next();
}

// Distance from p to the guide star's path: the line through its start along the
// drift, or the start itself when there is no drift. The mount's part of the path bends
// slowly; its chord over the first hour stands for it.
double distance_to_path(const SkyParams& params, Position start, Position p) {
    const Position hour = mount_drift(params.mount, 60);
    const double dx = params.drift_x_per_min + hour.x / 60,
                 dy = params.drift_y_per_min + hour.y / 60;
    const double px = p.x - start.x, py = p.y - start.y;
    const double length = std::hypot(dx, dy);
    if (length == 0) return std::hypot(px, py);
    return std::abs(px * dy - py * dx) / length;
}

void add_star(float* plane, const SkyParams& params, double x0, double y0, double amplitude) {
    const int reach = static_cast<int>(std::ceil(6 * kStarSigma));
    const int cx = static_cast<int>(std::lround(x0)), cy = static_cast<int>(std::lround(y0));
    const double two_sigma2 = 2 * kStarSigma * kStarSigma;
    for (int y = std::max(0, cy - reach); y <= std::min(params.height - 1, cy + reach); ++y) {
        for (int x = std::max(0, cx - reach); x <= std::min(params.width - 1, cx + reach); ++x) {
            const double r2 = (x - x0) * (x - x0) + (y - y0) * (y - y0);
            plane[static_cast<std::size_t>(y) * params.width + x] +=
                static_cast<float>(amplitude * std::exp(-r2 / two_sigma2));
        }
    }
}

bool tracks_perfectly(const MountSetup& m) {
    return m.az_offset_arcmin == 0 && m.alt_offset_arcmin == 0 && m.track_rate_permille == 0 &&
           m.pe_arcsec == 0 && !m.refraction;
}

}  // namespace

SkyOffset telescope_moved(const SkyMount& mount, long index) {
    SkyOffset moved;
    for (const Nudge& nudge : mount.nudges) {
        if (nudge.image > index) continue;
        moved.north_arcsec += nudge.telescope.north_arcsec;
        moved.east_arcsec += nudge.telescope.east_arcsec;
    }
    return moved;
}

double seeded_phase_deg(std::uint64_t seed) {
    return 360 * Random(stream_seed(seed, Stream::kPhase)).uniform();
}

std::vector<KnobTurn> knobs_turned(const SkyMount& mount, long index) {
    std::vector<KnobTurn> turns;
    for (const KnobTurnAt& knob : mount.knobs)
        if (knob.image <= index) turns.push_back(knob.turn);
    return turns;
}

Position mount_drift(const SkyMount& mount, double minutes, SkyOffset moved,
                     std::span<const KnobTurn> knobs) {
    const bool still = moved.north_arcsec == 0 && moved.east_arcsec == 0 && knobs.empty();
    if (still && (tracks_perfectly(mount.setup) || minutes == 0)) return {};
    const SkyOffset sky = tracked_star_offset(mount.setup, minutes, moved, knobs);
    const double n = sky.north_arcsec / mount.scale_arcsec_per_px;
    const double e = sky.east_arcsec / mount.scale_arcsec_per_px;
    const ScreenOffset d = screen_offset(n, e, mount.orientation);
    return {d.dx, d.dy};
}

SkyField make_sky_field(const SkyParams& params) {
    Random random(stream_seed(params.seed, Stream::kLayout));
    SkyField field;
    field.guide_start = {(params.width - 1) / 2.0 + random.uniform(-5, 5),
                         (params.height - 1) / 2.0 + random.uniform(-5, 5)};
    field.guide_colour = {1.0, 0.9, 0.75};  // plane 0 carries the full brightness

    const double jitter_reach = 3 * params.seeing;
    const int field_count = 6 + static_cast<int>(random.next() % 5);
    for (int i = 0; i < field_count; ++i) {
        for (int attempt = 0; attempt < 50; ++attempt) {
            FieldStar star;
            star.dx = random.uniform(-params.width / 2.0, params.width / 2.0);
            star.dy = random.uniform(-params.height / 2.0, params.height / 2.0);
            star.peak = random.uniform(kFieldPeakMin, kFieldPeakMax);
            star.colour = {random.uniform(0.5, 1.0), random.uniform(0.5, 1.0),
                           random.uniform(0.5, 1.0)};
            if (std::hypot(star.dx, star.dy) >= kClearance) {
                field.field_stars.push_back(star);
                break;
            }
        }
    }

    const int hot_count = 2 + static_cast<int>(random.next() % 3);
    for (int i = 0; i < hot_count; ++i) {
        for (int attempt = 0; attempt < 50; ++attempt) {
            HotPixel hot;
            hot.x = static_cast<int>(random.next() % static_cast<std::uint64_t>(params.width));
            hot.y = static_cast<int>(random.next() % static_cast<std::uint64_t>(params.height));
            hot.level = random.uniform(kHotLevelMin, kHotLevelMax);
            const Position p{static_cast<double>(hot.x), static_cast<double>(hot.y)};
            if (distance_to_path(params, field.guide_start, p) >= kClearance + jitter_reach) {
                field.hot_pixels.push_back(hot);
                break;
            }
        }
    }
    return field;
}

Position drift_position(const SkyParams& params, const SkyField& field, long index) {
    const double minutes =
        static_cast<double>(index - params.mount.epoch) * params.interval_s / 60.0;
    const Position mount = mount_drift(params.mount, minutes, telescope_moved(params.mount, index),
                                       knobs_turned(params.mount, index));
    return {field.guide_start.x + params.drift_x_per_min * minutes + mount.x,
            field.guide_start.y + params.drift_y_per_min * minutes + mount.y};
}

Position seeing_offset(const SkyParams& params, long index) {
    if (params.seeing <= 0) return {};
    Random random(stream_seed(params.seed, Stream::kJitter, index));
    const auto cut = [](double g) { return std::clamp(g, -3.0, 3.0); };
    const double gx = cut(random.gaussian());
    const double gy = cut(random.gaussian());
    return {params.seeing * gx, params.seeing * gy};
}

Position guide_star_position(const SkyParams& params, const SkyField& field, long index) {
    const Position drift = drift_position(params, field, index);
    const Position jitter = seeing_offset(params, index);
    return {drift.x + jitter.x, drift.y + jitter.y};
}

std::vector<float> render_sky(const SkyParams& params, const SkyField& field, long index) {
    const std::size_t plane_size = static_cast<std::size_t>(params.width) * params.height;
    std::vector<float> values(plane_size * params.planes);
    const double fs = params.full_scale;
    const Position guide = guide_star_position(params, field, index);
    static constexpr std::array<double, 3> kSkyTint = {1.0, 0.95, 1.1};

    for (int p = 0; p < params.planes; ++p) {
        float* plane = values.data() + plane_size * p;
        Random noise(stream_seed(params.seed, Stream::kNoise, index, p));
        // A gentle gradient across the frame, as moonlight or a town on the horizon gives.
        for (int y = 0; y < params.height; ++y) {
            for (int x = 0; x < params.width; ++x) {
                const double gradient = 1.0 + 0.1 * (static_cast<double>(x) / params.width - 0.5);
                plane[static_cast<std::size_t>(y) * params.width + x] = static_cast<float>(
                    fs * (kSkyLevel * kSkyTint[p] * gradient + kSkyNoise * noise.gaussian()));
            }
        }
        const SkyConditions& c = params.conditions;
        const double light = cloud_transmission(c, params.seed, index);
        for (const FieldStar& star : field.field_stars) {
            const Position at = drawn_at(c, {guide.x + star.dx, guide.y + star.dy});
            add_star(plane, params, at.x, at.y, light * fs * star.peak * star.colour[p]);
        }
        const Position at = drawn_at(c, guide);
        const double peak = guide_peak(c, params.seed, fs, fs * kSkyLevel, fs * kGuidePeak);
        add_star(plane, params, at.x, at.y, light * peak * field.guide_colour[p]);
        for (const HotPixel& hot : field.hot_pixels)
            plane[static_cast<std::size_t>(hot.y) * params.width + hot.x] =
                static_cast<float>(fs * hot.level);

        for (std::size_t i = 0; i < plane_size; ++i)
            plane[i] = std::clamp(plane[i], 0.0f, static_cast<float>(fs));
    }
    return values;
}

}  // namespace trakora::camera
