// SPDX-License-Identifier: MIT
// The sky a simulated camera sees while the mount drifts: sky background with noise, a
// few field stars, a couple of hot pixels and the bright guide star near the centre.
//
// Everything is a pure function of the parameters, the seed and the image index, so a
// test can ask where the guide star is in image k without reading the image:
//   SkyField field = make_sky_field(params);
//   std::vector<float> values = render_sky(params, field, k);
//   Position star = guide_star_position(params, field, k);
//
// The layout keeps the program's star search (the brightest 7 x 7 box within 15 pixels
// of the last position) on the guide star: field stars are fainter and at least
// kClearance pixels away from it, hot pixels are single pixels at least kClearance
// pixels off its path and far dimmer than its whole box.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "base/orientation.hpp"
#include "base/position.hpp"
#include "camera/mount_model.hpp"
#include "camera/sky_conditions.hpp"

namespace trakora::camera {

// Levels are fractions of the full scale (the brightest value a sample can hold).
inline constexpr double kSkyLevel = 0.10;
inline constexpr double kSkyNoise = 0.01;   // standard deviation per pixel
inline constexpr double kGuidePeak = 0.35;  // above the sky
inline constexpr double kFieldPeakMin = 0.03;
inline constexpr double kFieldPeakMax = 0.20;
inline constexpr double kHotLevelMin = 0.5;
inline constexpr double kHotLevelMax = 0.9;
inline constexpr double kStarSigma = 1.4;  // Gaussian profile, about 3.3 pixels FWHM
inline constexpr double kClearance = 40;   // the search reaches 18 pixels from its centre

// A move of the telescope by the hand controller, made just before image `image`
// (counted from 0) and kept from then on.
struct Nudge {
    SkyOffset telescope;  // how far the telescope went north and east, arcseconds
    long image = 0;
};

// A turn of the mount's knobs, made just before image `image` and kept from then on.
struct KnobTurnAt {
    KnobTurn turn;
    long image = 0;
};

// The mount under the camera: its tracking error moves the guide star by the exact
// geometry of mount_model.hpp, turned into pixels by the plate scale and orientation.
struct SkyMount {
    MountSetup setup;  // no offsets: the mount tracks perfectly
    double scale_arcsec_per_px = 1.5;
    Orientation orientation;  // where north lies in the image
    double lon_deg = 0;       // east positive
    double ra_hours = 0;      // the pointing: sidereal time at the first image - ha_hours
    std::vector<Nudge> nudges;
    std::vector<KnobTurnAt> knobs;  // in the order they were made
    long epoch = 0;                 // the image the pointing began at: a slew centres another star
};

struct SkyParams {
    int width = 765;
    int height = 510;
    int planes = 1;              // 1, or 3 for red, green and blue
    double full_scale = 65535;   // 255 for 8-bit samples
    double interval_s = 2;       // simulated time between two images
    double drift_x_per_min = 0;  // guide star drift, pixels per minute
    double drift_y_per_min = 2;
    double seeing = 0.5;  // standard deviation of the per-image jitter, pixels
    std::uint64_t seed = 1;
    SkyMount mount;
    SkyConditions conditions;  // clouds, a saturated guide star, whole-pixel stars
};

// A field star sits at a fixed offset from the guide star: the whole field drifts and
// jitters together, as it does on a real mount.
struct FieldStar {
    double dx = 0, dy = 0;
    double peak = 0;                 // fraction of full scale above the sky
    std::array<double, 3> colour{};  // factor per plane; plane 0 only for monochrome
};

// Hot pixels belong to the sensor and stay put while the sky drifts.
struct HotPixel {
    int x = 0, y = 0;
    double level = 0;  // fraction of full scale, the whole value of that pixel
};

struct SkyField {
    Position guide_start;  // guide star position in image 0, before jitter
    std::array<double, 3> guide_colour{};
    std::vector<FieldStar> field_stars;
    std::vector<HotPixel> hot_pixels;
};

// Lays out the field for a seed: the guide star's start within a few pixels of the
// centre, field stars and hot pixels placed clear of the guide star's path. On a small
// image fewer of them may fit.
SkyField make_sky_field(const SkyParams& params);

// How far the hand controller has moved the telescope by image `index`.
SkyOffset telescope_moved(const SkyMount& mount, long index);

// The knob turns made by image `index`, in order.
std::vector<KnobTurn> knobs_turned(const SkyMount& mount, long index);

// How far the mount's tracking error (and the telescope's moves, `moved`, and the knobs'
// turns, `knobs`) has moved the guide star after `minutes`, pixels.
Position mount_drift(const SkyMount& mount, double minutes, SkyOffset moved = {},
                     std::span<const KnobTurn> knobs = {});

// A phase in degrees, 0 to 360, drawn from the seed: the periodic error's when none is
// given.
double seeded_phase_deg(std::uint64_t seed);

// Where the drift alone (the mount's and drift_x/drift_y) puts the guide star in image
// `index` (simulated time index * interval_s).
Position drift_position(const SkyParams& params, const SkyField& field, long index);

// The seeing's jitter of image `index`: Gaussian with standard deviation `seeing` per
// axis, cut at three standard deviations.
Position seeing_offset(const SkyParams& params, long index);

// The guide star's true position in image `index`: drift plus jitter.
Position guide_star_position(const SkyParams& params, const SkyField& field, long index);

// Physical sample values of image `index`: planes * height * width values, plane by
// plane, row by row, column fastest; every value between 0 and full_scale.
std::vector<float> render_sky(const SkyParams& params, const SkyField& field, long index);

}  // namespace trakora::camera
