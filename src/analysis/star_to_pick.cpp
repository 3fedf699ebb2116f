// SPDX-License-Identifier: MIT
#include "analysis/star_to_pick.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace trakora {
namespace {

struct Peak {
    int x = 0, y = 0;
    double height = 0;  // above the background
    bool saturated = false;
};

// The background and its noise: the median of a sample of the plane and 1.4826 times the
// median absolute deviation from it.
std::pair<double, double> background_and_noise(const PlaneView& p) {
    std::vector<double> sample;
    const long total = static_cast<long>(p.width) * p.height;
    const long step = std::max(1L, total / 200000);
    for (long k = 0; k < total; k += step)
        sample.push_back(p.at(static_cast<int>(k % p.width), static_cast<int>(k / p.width)));
    const auto median = [](std::vector<double>& v) {
        const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
        std::nth_element(v.begin(), mid, v.end());
        return *mid;
    };
    const double background = median(sample);
    for (double& v : sample) v = std::abs(v - background);
    return {background, 1.4826 * median(sample)};
}

}  // namespace

std::optional<Position> star_to_pick(const PlaneView& p, const StarLevels& levels,
                                     const PickRules& rules) {
    if (p.width < 3 || p.height < 3) return std::nullopt;
    const auto [background, noise] = background_and_noise(p);
    const double floor = background + std::max(rules.detect_sigma * noise, 1.0);
    const double above_noise = background + std::max(3 * noise, 0.5);
    std::vector<Peak> peaks;
    for (int y = 1; y + 1 < p.height; ++y)
        for (int x = 1; x + 1 < p.width; ++x) {
            const std::int32_t v = p.at(x, y);
            if (v <= floor) continue;
            bool peak = true, lit_neighbour = false;
            for (int dy = -1; dy <= 1 && peak; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    if (dx == 0 && dy == 0) continue;
                    const std::int32_t n = p.at(x + dx, y + dy);
                    // Of a flat top, the first pixel in reading order is the peak.
                    if (n > v || (n == v && (dy < 0 || (dy == 0 && dx < 0)))) {
                        peak = false;
                        break;
                    }
                    lit_neighbour = lit_neighbour || n > above_noise;
                }
            if (peak && lit_neighbour)
                peaks.push_back({x, y, v - background, v >= levels.range_top});
        }
    std::sort(peaks.begin(), peaks.end(),
              [](const Peak& a, const Peak& b) { return a.height > b.height; });
    const double near2 = rules.neighbour_px * rules.neighbour_px;
    for (const Peak& star : peaks) {
        if (star.saturated) continue;
        if (star.x < rules.edge_px || star.y < rules.edge_px ||
            star.x > p.width - 1 - rules.edge_px || star.y > p.height - 1 - rules.edge_px)
            continue;
        const bool crowded = std::any_of(peaks.begin(), peaks.end(), [&](const Peak& other) {
            const double dx = other.x - star.x, dy = other.y - star.y;
            return &other != &star && dx * dx + dy * dy <= near2 &&
                   other.height >= rules.similar_fraction * star.height;
        });
        if (!crowded) return Position{static_cast<double>(star.x), static_cast<double>(star.y)};
    }
    return std::nullopt;
}

}  // namespace trakora
