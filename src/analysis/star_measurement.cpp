// SPDX-License-Identifier: MIT
#include "analysis/star_measurement.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace trakora {
namespace {

constexpr double kHotHfd = 1.5;
constexpr double kLowSnr = 10;
constexpr double kHotContrast = 3;  // a hot pixel stands this many times above its neighbours
constexpr int kCentroidPasses = 5;
// Whole-number samples carry at least the rounding's own noise, 1/sqrt(12) of a unit;
// it keeps the threshold above the background on a noiseless image.
constexpr double kNoiseFloor = 0.28867513459481287;

struct Ring {
    double background = 0;
    double noise = 0;
    bool enough = false;
};

// Background and noise of the annulus: mean and standard deviation after clipping at
// three sigmas around the median (stars and hot pixels in the ring fall away).
Ring ring_levels(const PlaneView& plane, double cx, double cy, const StarApertures& a) {
    std::vector<double> values;
    const int reach = static_cast<int>(std::ceil(a.annulus_outer));
    const int x0 = static_cast<int>(std::lround(cx)), y0 = static_cast<int>(std::lround(cy));
    for (int y = y0 - reach; y <= y0 + reach; ++y) {
        for (int x = x0 - reach; x <= x0 + reach; ++x) {
            const double r = std::hypot(x - cx, y - cy);
            if (r < a.annulus_inner || r > a.annulus_outer || !plane.contains(x, y)) continue;
            values.push_back(plane.at(x, y));
        }
    }
    Ring ring;
    if (values.size() < 8) return ring;
    std::vector<double> sorted = values;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<long>(sorted.size() / 2),
                     sorted.end());
    double centre = sorted[sorted.size() / 2];
    for (double& v : sorted) v = std::abs(v - centre);
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<long>(sorted.size() / 2),
                     sorted.end());
    double sigma = std::max(1.4826 * sorted[sorted.size() / 2], kNoiseFloor);
    for (int pass = 0; pass < 5; ++pass) {
        double sum = 0, sum2 = 0;
        std::size_t n = 0;
        for (double v : values) {
            if (std::abs(v - centre) > 3 * sigma) continue;
            sum += v;
            sum2 += v * v;
            ++n;
        }
        if (n < 2) break;
        const double mean = sum / static_cast<double>(n);
        const double var = std::max(0.0, (sum2 - sum * mean) / static_cast<double>(n - 1));
        centre = mean;
        sigma = std::max(std::sqrt(var), kNoiseFloor);
    }
    ring.background = centre;
    ring.noise = sigma;
    ring.enough = true;
    return ring;
}

struct Pixel {
    int x, y;
    double signal;  // above the background
};

bool leaves_image(const PlaneView& plane, double x, double y, double radius) {
    return x - radius < 0 || y - radius < 0 || x + radius > plane.width - 1 ||
           y + radius > plane.height - 1;
}

// The pixels that may belong to the star, within twice the radius and above the
// threshold, hot pixels set aside; `hot_seen` when one stood within the radius.
struct Candidates {
    std::vector<Pixel> pixels;
    bool hot_seen = false;
};
Candidates star_candidates(const PlaneView& plane, Position around, double background,
                           double threshold, double radius) {
    const int reach = static_cast<int>(std::ceil(2 * radius));
    const int x0 = static_cast<int>(std::lround(around.x)),
              y0 = static_cast<int>(std::lround(around.y));
    Candidates out;
    for (int y = y0 - reach; y <= y0 + reach; ++y) {
        for (int x = x0 - reach; x <= x0 + reach; ++x) {
            if (!plane.contains(x, y)) continue;
            const double signal = plane.at(x, y) - background;
            if (signal <= threshold) continue;
            double brightest_neighbour = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if ((dx != 0 || dy != 0) && plane.contains(x + dx, y + dy))
                        brightest_neighbour =
                            std::max(brightest_neighbour, plane.at(x + dx, y + dy) - background);
            if (signal > kHotContrast * brightest_neighbour) {
                // A spike of a few sigmas is noise; a hot pixel stands far above it.
                out.hot_seen = out.hot_seen || (signal > 2 * threshold &&
                                                std::hypot(x - around.x, y - around.y) <= radius);
                continue;
            }
            out.pixels.push_back({x, y, signal});
        }
    }
    return out;
}

// Centroid of the pixels above the threshold within the radius, recentred until it
// settles; the search's whole-pixel position may be a pixel or two off. Each pixel
// weighs by its excess over the threshold, so a pixel the noise lifts just across it
// adds next to nothing instead of jumping the centroid. `used` 0 when none counts.
struct Centroid {
    double x = 0, y = 0;
    double flux = 0;
    int used = 0;
};
Centroid centroid_of(const std::vector<Pixel>& candidates, Position around, double threshold,
                     double radius) {
    Centroid c{around.x, around.y, 0, 0};
    for (int pass = 0; pass < kCentroidPasses; ++pass) {
        double sx = 0, sy = 0, s = 0, total = 0;
        int n = 0;
        for (const Pixel& p : candidates) {
            if (std::hypot(p.x - c.x, p.y - c.y) > radius) continue;
            const double w = p.signal - threshold;
            sx += w * p.x;
            sy += w * p.y;
            s += w;
            total += p.signal;
            ++n;
        }
        if (n == 0 || !(s > 0)) break;
        const double nx = sx / s, ny = sy / s;
        const double moved = std::hypot(nx - c.x, ny - c.y);
        c.x = nx;
        c.y = ny;
        c.flux = total;
        c.used = n;
        if (moved < 1e-3) break;
    }
    return c;
}

// The half-flux diameter as guiders estimate it: twice the flux-weighted mean radius.
double half_flux_diameter(const std::vector<Pixel>& candidates, const Centroid& c, double radius) {
    double weighted_radius = 0, weight = 0;
    for (const Pixel& p : candidates) {
        const double r = std::hypot(p.x - c.x, p.y - c.y);
        if (r > radius) continue;
        weighted_radius += p.signal * r;
        weight += p.signal;
    }
    return weight > 0 ? 2 * weighted_radius / weight : 0;
}

// A flat top: a sample at the format's top is clipped; three at the image's maximum are
// a plateau, not a peak that happens to be the brightest pixel.
bool flat_top(const PlaneView& plane, const std::vector<Pixel>& candidates, const Centroid& c,
              double radius, StarLevels levels) {
    int at_top = 0, at_max = 0;
    for (const Pixel& p : candidates) {
        if (std::hypot(p.x - c.x, p.y - c.y) > radius) continue;
        const double v = plane.at(p.x, p.y);
        at_top += v >= levels.range_top;
        at_max += v >= levels.image_max;
    }
    return at_top > 0 || at_max >= 3;
}

}  // namespace

StarMeasurement measure_star(const PlaneView& plane, Position around, StarLevels levels,
                             const StarApertures& a) {
    StarMeasurement m;
    m.x = around.x;
    m.y = around.y;
    if (!std::isfinite(around.x) || !std::isfinite(around.y)) {
        m.x = m.y = 0;
        m.flags = kStarLost | kStarEdge;
        return m;
    }
    if (!plane.contains(static_cast<int>(std::lround(around.x)),
                        static_cast<int>(std::lround(around.y)))) {
        m.flags = kStarLost | kStarEdge;
        return m;
    }
    const Ring ring = ring_levels(plane, around.x, around.y, a);
    if (!ring.enough) {
        m.flags = kStarLost | kStarEdge;
        return m;
    }
    m.background = ring.background;
    m.noise = ring.noise;
    const double threshold = a.threshold_sigma * ring.noise;
    const Candidates candidates =
        star_candidates(plane, around, ring.background, threshold, a.radius);
    const Centroid c = centroid_of(candidates.pixels, around, threshold, a.radius);
    if (c.used == 0) {
        m.flags = candidates.hot_seen ? kStarHotPixel : kStarLost;
        if (leaves_image(plane, around.x, around.y, a.radius)) m.flags |= kStarEdge;
        return m;
    }
    m.x = c.x;
    m.y = c.y;
    m.flux = c.flux;
    // Background-limited: without the camera's gain the star's own photon noise is unknown.
    m.snr = c.flux / (ring.noise * std::sqrt(static_cast<double>(c.used)));
    m.hfd = half_flux_diameter(candidates.pixels, c, a.radius);
    if (m.hfd < kHotHfd) m.flags |= kStarHotPixel;
    if (flat_top(plane, candidates.pixels, c, a.radius, levels)) m.flags |= kStarSaturated;
    if (m.snr < kLowSnr) m.flags |= kStarLowSnr;
    if (leaves_image(plane, c.x, c.y, a.radius)) m.flags |= kStarEdge;
    return m;
}

std::string star_flag_names(unsigned flags) {
    static constexpr std::pair<unsigned, const char*> kNames[] = {
        {kStarHotPixel, "hot_pixel"},  {kStarSaturated, "saturated"}, {kStarLowSnr, "low_snr"},
        {kStarLost, "no_star"},        {kStarEdge, "edge"},           {kStarFaint, "faint"},
        {kStarUntracked, "untracked"},
    };
    std::string names;
    for (const auto& [flag, name] : kNames) {
        if ((flags & flag) == 0) continue;
        if (!names.empty()) names += '|';
        names += name;
    }
    return names;
}

}  // namespace trakora
