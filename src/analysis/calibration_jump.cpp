// SPDX-License-Identifier: MIT
#include "analysis/calibration_jump.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace trakora {
namespace {

// A jump between two consecutive clean images that stands out: beyond 5 px and four times
// the median step.
constexpr double kJumpPixels = 5;
constexpr double kJumpSteps = 4;
constexpr double kSecondJumpShare = 0.4;
// A step below kJumpPixels but beyond this and kJumpSteps medians is a press too short.
constexpr double kSmallestStandOut = 1.5;

// A normal distribution's standard deviation from its median absolute value.
constexpr double kMadToSigma = 1.4826;

// Each side of the jump is read from this many clean images at most, taken within this
// many minutes of it, where the drive's periodic error leaves the star's motion straight.
constexpr std::size_t kSideImages = 8;
constexpr double kSideMinutes = 0.5;

struct Jump {
    double dx = 0, dy = 0;
    bool fitted = false;  // false: too few images beside the jump for the lines
    // The jump's noise over that of a change of step (a second difference, sqrt 6 times
    // one position's): both sides' means and the common rate over the time between them.
    double noise_share = 1;
};

// The jump from clean[j - 1] to clean[j] as the difference of two parallel lines in time,
// through the clean images close before it and from it on.
Jump jump_between(std::span<const DriftSample> points, const std::vector<std::size_t>& clean,
                  std::size_t j) {
    const auto minutes = [&](std::size_t k) { return points[clean[k]].minutes; };
    std::size_t first = j - 1, last = j + 1;
    while (first > 0 && j - first < kSideImages &&
           minutes(j - 1) - minutes(first - 1) <= kSideMinutes)
        --first;
    while (last < clean.size() && last - j < kSideImages &&
           minutes(last) - minutes(j) <= kSideMinutes)
        ++last;
    struct Mean {
        double t = 0, x = 0, y = 0, n = 0;
    };
    const auto mean = [&](std::size_t from, std::size_t to) {
        Mean m;
        for (std::size_t k = from; k < to; ++k) {
            const DriftSample& p = points[clean[k]];
            m.t += p.minutes, m.x += p.x, m.y += p.y, m.n += 1;
        }
        m.t /= m.n, m.x /= m.n, m.y /= m.n;
        return m;
    };
    const Mean before = mean(first, j), after = mean(j, last);
    double tt = 0, tx = 0, ty = 0;
    const auto add = [&](std::size_t from, std::size_t to, const Mean& m) {
        for (std::size_t k = from; k < to; ++k) {
            const DriftSample& p = points[clean[k]];
            const double dt = p.minutes - m.t;
            tt += dt * dt, tx += dt * (p.x - m.x), ty += dt * (p.y - m.y);
        }
    };
    add(first, j, before);
    add(j, last, after);
    Jump jump;
    if (!(tt > 0)) return jump;
    const double vx = tx / tt, vy = ty / tt;
    jump.dx = (after.x - vx * after.t) - (before.x - vx * before.t);
    jump.dy = (after.y - vy * after.t) - (before.y - vy * before.t);
    jump.fitted = true;
    const double apart = after.t - before.t;  // the common rate's share
    jump.noise_share = std::sqrt((1 / before.n + 1 / after.n + apart * apart / tt) / 6);
    return jump;
}

// The change of step at b: (c - b) - (b - a).
struct PointChange {
    double x = 0, y = 0;
};
PointChange change_of_step(const DriftSample& a, const DriftSample& b, const DriftSample& c) {
    return {c.x - 2 * b.x + a.x, c.y - 2 * b.y + a.y};
}

}  // namespace

void apply_calibration(CalibrationMove move, std::span<DriftSample> points, Geometry& geometry,
                       std::size_t within) {
    std::vector<std::size_t> clean;
    for (std::size_t k = 0; k < points.size() && k < within; ++k)
        if (!points[k].flagged) clean.push_back(k);
    if (clean.size() < 3) {
        // Early images the star measurement lost after the first: the move jumped the star
        // beyond the search's reach, or off the image.
        const std::size_t seen = std::min(points.size(), within);
        if (!clean.empty() && seen >= 3 && seen - clean.size() >= 2)
            geometry.notes.push_back({NoteCode::calibration_lost,
                                      {calibration_name(move)},
                                      {static_cast<double>(seen - clean.size())}});
        return;  // too early to tell otherwise
    }
    std::vector<double> steps;
    for (std::size_t k = 1; k < clean.size(); ++k)
        steps.push_back(std::hypot(points[clean[k]].x - points[clean[k - 1]].x,
                                   points[clean[k]].y - points[clean[k - 1]].y));
    std::vector<double> sorted = steps;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<long>(sorted.size() / 2),
                     sorted.end());
    // A second jump counts only when it is of the first one's kind, not a fast step of the
    // drive's periodic error.
    const double largest = *std::max_element(steps.begin(), steps.end());
    const double threshold =
        std::max({kJumpPixels, kJumpSteps * sorted[sorted.size() / 2], kSecondJumpShare * largest});
    std::vector<std::size_t> jumps;
    for (std::size_t k = 0; k < steps.size(); ++k)
        if (steps[k] > threshold) jumps.push_back(k + 1);
    std::vector<DriftNote>& notes = geometry.notes;
    const std::string name = calibration_name(move);
    if (jumps.empty()) {
        // A step that stands out from the others, but too short to read a way from.
        const double median = sorted[sorted.size() / 2];
        if (steps.size() >= 3 && largest > kJumpSteps * median && largest > kSmallestStandOut)
            notes.push_back({NoteCode::calibration_too_small, {name}, {largest}});
        else
            notes.push_back({NoteCode::calibration_missing, {name}, {}});
        return;
    }
    if (jumps.size() > 1) {
        notes.push_back({NoteCode::calibration_twice, {name}, {static_cast<double>(jumps.size())}});
        return;
    }
    const std::size_t j = jumps.front();  // the jump is clean[j - 1] to clean[j]
    const std::size_t after = clean[j];
    const auto step = [&](std::size_t k) {  // clean[k - 1] to clean[k]
        return std::pair{points[clean[k]].x - points[clean[k - 1]].x,
                         points[clean[k]].y - points[clean[k - 1]].y};
    };
    // The jump between the lines through the clean images on either side, the star's own
    // motion (one rate for both) taken off: the seeing averages out over each side. With
    // one image on each side, the motion over a neighbouring interval comes off instead.
    // How much the steps change from one to the next is how well a single step does.
    const Jump between = jump_between(points, clean, j);
    double dx = between.dx, dy = between.dy;
    double noise_share = between.noise_share;
    if (!between.fitted) {
        std::tie(dx, dy) = step(j);
        const std::size_t neighbour = j + 1 < clean.size() ? j + 1 : j - 1;
        if (neighbour >= 1 && neighbour != j) {
            const auto [nx, ny] = step(neighbour);
            dx -= nx, dy -= ny;
        }
    }
    // Across the jump's line, every other change of step of the segment is as uncertain
    // as the jump's: the seeing and the drive's errors. Their robust spread, from all of
    // the segment's clean images, not only the first ones the jump is looked for in.
    std::vector<std::size_t> all = clean;
    for (std::size_t k = within; k < points.size(); ++k)
        if (!points[k].flagged) all.push_back(k);
    const double length = std::hypot(dx, dy);
    if (!(length > 0)) {  // the star's own motion took the whole jump back: no direction
        notes.push_back({NoteCode::calibration_missing, {name}, {}});
        return;
    }
    const double ux = -dy / length, uy = dx / length;  // across the jump
    std::vector<double> across;
    for (std::size_t k = 2; k < all.size(); ++k) {
        if (all[k] == after || all[k - 1] == after) continue;
        const PointChange c =
            change_of_step(points[all[k - 2]], points[all[k - 1]], points[all[k]]);
        across.push_back(std::abs(c.x * ux + c.y * uy));
    }
    double spread = 0.5;  // pixels, when the segment has no other steps yet
    if (across.size() >= 3) {
        std::nth_element(across.begin(), across.begin() + static_cast<long>(across.size() / 2),
                         across.end());
        spread = std::max(kMadToSigma * across[across.size() / 2], 0.1);
    }
    for (std::size_t k = 0; k < after; ++k) points[k].flagged = true;
    Geometry& g = geometry;
    const double angle = angle_from_move(move, dx, dy, g.orientation.mirror);
    const double se = noise_share * spread / length * 180 / std::numbers::pi;
    notes.push_back({NoteCode::calibration_found, {name}, {angle, se, std::hypot(dx, dy)}});
    if (g.angle_source == AngleSource::typed) return;
    g.orientation.north_deg = angle;
    g.angle_source = AngleSource::calibration;
    g.angle_se_deg = se;
}

}  // namespace trakora
