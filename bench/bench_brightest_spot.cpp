// SPDX-License-Identifier: MIT
// One brightest-spot search on a full-size star field: near a star in the middle, and
// with the window past the image's corner, where every box is clamped.
#include <benchmark/benchmark.h>

#include <memory>

#include "analysis_star_field.hpp"
#include "core/handlers.hpp"

namespace {

using trakora::State;

State& field() {
    static const std::unique_ptr<State> s = [] {
        auto st = std::make_unique<State>();
        trakora::bench::paint_star_field(*st, {});
        st->image_pixels.at(1500, 1500, 0) = 60000;
        return st;
    }();
    return *s;
}

void search_from(benchmark::State& state, double x, double y) {
    State& s = field();
    for (auto _ : state) {
        s.object_x = x;
        s.object_y = y;
        trakora::find_brightest_spot(s);
        benchmark::DoNotOptimize(s.object_x);
    }
    state.counters["x"] = s.object_x;
    state.counters["y"] = s.object_y;
}

void BM_SearchNearStar(benchmark::State& state) { search_from(state, 1508, 1495); }
BENCHMARK(BM_SearchNearStar)->Unit(benchmark::kMicrosecond);

void BM_SearchPastCorner(benchmark::State& state) { search_from(state, 3080, -5); }
BENCHMARK(BM_SearchPastCorner)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
