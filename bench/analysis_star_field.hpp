// SPDX-License-Identifier: MIT
// A synthetic night-sky frame for the analysis benchmarks: a noisy sky background, a
// few hundred stars of varied brightness and some hot pixels, like a CCD frame.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>

#include "core/state.hpp"

namespace trakora::bench {

struct FieldShape {
    int side = kBufferSide;
    std::int32_t sky = 1200;       // background level
    double noise = 25;             // background noise, standard deviation
    std::int32_t ceiling = 65535;  // saturation
    double gain = 1;               // scales every value (wide 32-bit frames)
};

inline void paint_star_field(State& s, const FieldShape& f, unsigned seed = 42) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0, f.noise);
    s.image_width = f.side;
    s.image_height = f.side;
    s.image_planes = 1;
    for (int y = 0; y < f.side; ++y) {
        std::int32_t* row = s.image_pixels.row(y, 0);
        for (int x = 0; x < f.side; ++x)
            row[x] = static_cast<std::int32_t>(std::lround(f.sky + noise(rng)));
    }
    std::uniform_int_distribution<int> where(0, f.side - 1);
    std::uniform_real_distribution<double> peak(200, 60000);
    std::uniform_real_distribution<double> sigma(0.8, 3.0);
    for (int star = 0; star < 400; ++star) {
        const int cx = where(rng), cy = where(rng);
        const double a = peak(rng), sg = sigma(rng);
        for (int dy = -12; dy <= 12; ++dy) {
            for (int dx = -12; dx <= 12; ++dx) {
                const int x = cx + dx, y = cy + dy;
                if (x < 0 || y < 0 || x >= f.side || y >= f.side) continue;
                std::int32_t& p = s.image_pixels.at(x, y, 0);
                p += static_cast<std::int32_t>(a * std::exp(-(dx * dx + dy * dy) / (2 * sg * sg)));
            }
        }
    }
    for (int hot = 0; hot < 200; ++hot) s.image_pixels.at(where(rng), where(rng), 0) = f.ceiling;
    std::int32_t lo = s.image_pixels.at(0, 0, 0), hi = lo;
    for (int y = 0; y < f.side; ++y) {
        std::int32_t* row = s.image_pixels.row(y, 0);
        for (int x = 0; x < f.side; ++x) {
            row[x] = static_cast<std::int32_t>(std::min<double>(row[x], f.ceiling) * f.gain);
            lo = std::min(lo, row[x]);
            hi = std::max(hi, row[x]);
        }
    }
    s.pixel_min = lo;
    s.pixel_max = hi;
}

}  // namespace trakora::bench
