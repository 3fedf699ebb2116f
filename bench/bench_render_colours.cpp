// SPDX-License-Identifier: MIT
// Rendering a full-size frame into colour values: a monochrome 16-bit star field, the
// same as three planes, and a 32-bit frame with a wide display range; the grey formula
// evaluated per pixel is measured for comparison.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

#include "analysis_star_field.hpp"
#include "core/handlers.hpp"

namespace {

using trakora::State;

// A star field with levels a little below and far above the sky, as a stretch gives.
State& field(int planes) {
    static std::unique_ptr<State> s;
    if (!s) {
        s = std::make_unique<State>();
        trakora::bench::paint_star_field(*s, {});
        for (int y = 0; y < trakora::kBufferSide; ++y) {
            std::copy_n(s->image_pixels.row(y, 0), trakora::kBufferSide, s->image_pixels.row(y, 1));
            std::copy_n(s->image_pixels.row(y, 0), trakora::kBufferSide, s->image_pixels.row(y, 2));
        }
        s->display_low = 1150;
        s->display_range = 120;
    }
    s->image_planes = planes;
    return *s;
}

// Renders `s` over and over; the figure is per image pixel.
void render_repeatedly(benchmark::State& state, State& s) {
    for (auto _ : state) {
        trakora::render_object_picture(s);
        benchmark::DoNotOptimize(s.object_picture.data());
    }
    state.SetItemsProcessed(state.iterations() * 3073 * 3073);
}

void BM_RenderMono(benchmark::State& state) { render_repeatedly(state, field(1)); }
BENCHMARK(BM_RenderMono)->Unit(benchmark::kMillisecond);

void BM_RenderThreePlanes(benchmark::State& state) { render_repeatedly(state, field(3)); }
BENCHMARK(BM_RenderThreePlanes)->Unit(benchmark::kMillisecond);

void BM_RenderMonoWideRange(benchmark::State& state) {
    State& s = field(1);
    const std::int32_t low = s.display_low, range = s.display_range;
    s.display_low = -2000000000;
    s.display_range = 2100000000;
    render_repeatedly(state, s);
    s.display_low = low;
    s.display_range = range;
}
BENCHMARK(BM_RenderMonoWideRange)->Unit(benchmark::kMillisecond);

// One division per pixel, as the grey rule reads.
void BM_RenderMonoByFormula(benchmark::State& state) {
    State& s = field(1);
    for (auto _ : state) {
        std::uint32_t* out = s.object_picture.data();
        for (int y = 0; y < 3073; ++y) {
            const std::int32_t* row = s.image_pixels.row(y, 0);
            for (int x = 0; x < 3073; ++x) {
                double g = std::floor(
                    (static_cast<double>(row[x]) - s.display_low) / s.display_range * 256 + 0.5);
                g = std::clamp(g, 0.0, 255.0);
                out[static_cast<std::size_t>(y) * 3073 + x] =
                    static_cast<std::uint32_t>(g) * 0x010101u | trakora::kOpaque;
            }
        }
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(state.iterations() * 3073 * 3073);
}
BENCHMARK(BM_RenderMonoByFormula)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
