// SPDX-License-Identifier: MIT
// Display levels on a full-size 16-bit star field, against a plain loop that only sums
// the same pixels (the least any one pass over them can cost).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>

#include "analysis/display_levels.hpp"
#include "analysis_star_field.hpp"
#include "core/handlers.hpp"

namespace {

using trakora::State;

State& field_16bit() {
    static const std::unique_ptr<State> s = [] {
        auto st = std::make_unique<State>();
        trakora::bench::paint_star_field(*st, {});
        return st;
    }();
    return *s;
}

// The same sky scaled up: a span of values too wide for a per-value table.
State& field_wide() {
    static const std::unique_ptr<State> s = [] {
        auto st = std::make_unique<State>();
        trakora::bench::FieldShape shape;
        shape.gain = 30000;
        trakora::bench::paint_star_field(*st, shape);
        return st;
    }();
    return *s;
}

void BM_PlainSum(benchmark::State& state) {
    const State& s = field_16bit();
    const int w = trakora::pixel_extent(s.image_width), h = trakora::pixel_extent(s.image_height);
    for (auto _ : state) {
        std::int64_t sum = 0;
        for (int y = 0; y < h; ++y) {
            const std::int32_t* row = s.image_pixels.row(y, 0);
            for (int x = 0; x < w; ++x) sum += row[x];
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * w * h);
}
BENCHMARK(BM_PlainSum)->Unit(benchmark::kMillisecond);

// Computes the levels of `s` over and over; the figure is per image pixel.
void levels_repeatedly(benchmark::State& state, State& s) {
    for (auto _ : state) {
        trakora::compute_display_levels(s);
        benchmark::DoNotOptimize(s.display_range);
    }
    state.counters["low"] = s.display_low;
    state.counters["range"] = s.display_range;
    state.SetItemsProcessed(state.iterations() * 3073 * 3073);
}

void BM_ComputeDisplayLevels(benchmark::State& state) { levels_repeatedly(state, field_16bit()); }
BENCHMARK(BM_ComputeDisplayLevels)->Unit(benchmark::kMillisecond);

void BM_ComputeDisplayLevelsWideSpan(benchmark::State& state) {
    levels_repeatedly(state, field_wide());
}
BENCHMARK(BM_ComputeDisplayLevelsWideSpan)->Unit(benchmark::kMillisecond);

// The bin formula evaluated per pixel, for comparison.
void BM_HistogramByFormula(benchmark::State& state) {
    const State& s = field_16bit();
    const int w = trakora::pixel_extent(s.image_width), h = trakora::pixel_extent(s.image_height);
    for (auto _ : state) {
        trakora::DisplayHistogram hist{};
        const double bw = (static_cast<double>(s.pixel_max) - s.pixel_min) / 300;
        for (int y = 0; y < h; ++y) {
            const std::int32_t* row = s.image_pixels.row(y, 0);
            for (int x = 0; x < w; ++x) {
                hist[static_cast<std::size_t>(
                    std::floor((static_cast<double>(row[x]) - s.pixel_min) / bw + 0.5))]++;
            }
        }
        benchmark::DoNotOptimize(hist);
    }
    state.SetItemsProcessed(state.iterations() * w * h);
}
BENCHMARK(BM_HistogramByFormula)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
