// SPDX-License-Identifier: MIT
// The star measurement a tick adds after the brightest-spot search, on a full-size star
// field: a clean star, and a position on a hot pixel with nothing around it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "analysis/star_measurement.hpp"
#include "analysis_star_field.hpp"

namespace {

using trakora::State;

State& field() {
    static const std::unique_ptr<State> s = [] {
        auto st = std::make_unique<State>();
        trakora::bench::paint_star_field(*st, {});
        for (int dy = -10; dy <= 10; ++dy)
            for (int dx = -10; dx <= 10; ++dx) {
                const double r2 = (dx - 0.3) * (dx - 0.3) + (dy + 0.3) * (dy + 0.3);
                st->image_pixels.at(1500 + dx, 1500 + dy, 0) +=
                    static_cast<std::int32_t>(20000 * std::exp(-r2 / (2 * 1.6 * 1.6)));
            }
        st->image_pixels.at(2500, 2500, 0) = 65535;
        return st;
    }();
    return *s;
}

trakora::PlaneView plane_of(State& s) {
    const std::int32_t* first = s.image_pixels.row(0, 0);
    return {first, static_cast<int>(s.image_width), static_cast<int>(s.image_height),
            s.image_pixels.row(1, 0) - first};
}

void measure_at(benchmark::State& state, double x, double y) {
    State& s = field();
    const trakora::PlaneView plane = plane_of(s);
    trakora::StarMeasurement m;
    for (auto _ : state) {
        m = trakora::measure_star(plane, {x, y}, {65535, double(s.pixel_max)});
        benchmark::DoNotOptimize(m);
    }
    state.counters["x"] = m.x;
    state.counters["y"] = m.y;
    state.counters["flags"] = m.flags;
}

void BM_MeasureStar(benchmark::State& state) { measure_at(state, 1501, 1499); }
BENCHMARK(BM_MeasureStar)->Unit(benchmark::kMicrosecond);

void BM_MeasureHotPixel(benchmark::State& state) { measure_at(state, 2500, 2500); }
BENCHMARK(BM_MeasureHotPixel)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
