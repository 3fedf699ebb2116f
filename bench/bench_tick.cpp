// SPDX-License-Identifier: MIT
// One whole tick, headless: newest detection over a folder of 200 images, reading the
// newest (3072 x 3072, BITPIX 16), the star search, the display levels, rendering the
// colours, the crosshairs, the plot and the drift assistant. Also each step alone, for the
// split. The night is in tick_night.hpp.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "analysis/display_levels.hpp"
#include "arrival/newest_image.hpp"
#include "core/handlers.hpp"
#include "core/measured_image.hpp"
#include "core/read_image.hpp"
#include "session/assistant_handlers.hpp"
#include "tick_night.hpp"
#include "windowless/windowless_view.hpp"

namespace trakora {
namespace {

namespace fs = std::filesystem;
using bench::night;

// A view that shows nothing but messages: what the tick costs without a screen.
class QuietView final : public WindowlessView {
  public:
    using WindowlessView::WindowlessView;
    void message(const std::string& text) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
    }
};

struct Measuring {
    std::unique_ptr<State> s = std::make_unique<State>();
    QuietView view{night().folder.string()};
    Measuring() {
        form1::Form_Load(*s, view);
        form1::Command3_Click(*s, view);  // reads the newest once: the buffer is touched
        form4::Picture1_MouseDown(*s, view, 1, 0, 1500, 1500);
        form1::Command1_Click(*s, view);
        s->max_count = 300;
    }
};

void BM_WholeTick(benchmark::State& st) {
    Measuring m;
    for (auto _ : st) {
        if (m.s->measurements[300][0] != kEmptySlot) clear_measurements(*m.s);
        form1::Timer1_Timer(*m.s, m.view);
    }
    st.counters["peak_rss_MiB"] = bench::peak_rss_mib();
}

void BM_Step_NewestDetection(benchmark::State& st) {
    Measuring m;
    for (auto _ : st) new_fits_file_name(*m.s, m.view);
}

void BM_Step_Read(benchmark::State& st) {
    Measuring m;
    std::string message;
    const fs::path path = night().folder / "m0199.FIT";
    for (auto _ : st) benchmark::DoNotOptimize(read_fits_file(*m.s, path, message));
}

void BM_Step_Search(benchmark::State& st) {
    Measuring m;
    for (auto _ : st) {
        m.s->object_x = 1500;
        m.s->object_y = 1500;
        find_brightest_spot(*m.s);
    }
}

void BM_Step_Levels(benchmark::State& st) {
    Measuring m;
    for (auto _ : st) compute_display_levels(*m.s);
}

void BM_Step_Render(benchmark::State& st) {
    Measuring m;
    for (auto _ : st) render_object_picture(*m.s);
}

void BM_Step_Plot(benchmark::State& st) {
    Measuring m;
    for (int k = 1; k <= 300; ++k) m.s->measurements[k] = {1500, 1500.0 + k % 7};
    for (auto _ : st) draw_drift_plot(*m.s, m.view, 300);
}

// What the drift assistant adds to a tick on the newest image, with a session of
// `range(0)` earlier samples: the star measurement, the header's time and pier side, the
// file's time, and the refit of the current segment. Each round's sample is taken back
// out so every round measures a new image against the same session.
void BM_Step_Assistant(benchmark::State& st) {
    Measuring m;
    DriftAssistant& a = m.s->assistant;
    reset_drift_session(a);
    for (int k = 0; k < st.range(0); ++k) {
        ImageMeasurement earlier;
        earlier.file = "earlier" + std::to_string(k);
        earlier.time = ObservationTime{1'796'000'000.0 + 10.0 * k, TimeSource::date_obs};
        earlier.star = StarMeasurement{};
        earlier.star->x = 1500;
        earlier.star->y = 1500 + 0.01 * k + 0.3 * std::sin(k);
        add_drift_image(a, earlier);
    }
    m.s->measurements[300] = {1500, 1500};
    for (auto _ : st) {
        ImageMeasurement now = measured_image(*m.s);
        now.slot = 300;
        update_drift_assistant(a, measured_plane(*m.s), std::move(now));
        a.images.pop_back();
        --a.segments.back().count;
    }
    st.counters["samples"] = static_cast<double>(a.images.size() + 1);
}

// A tick while a knob is turned: the star followed and the cut-out copied. Arg 0: the star
// where the last image had it; 1: 200 px on along the move, found by the whole search.
void BM_Step_Adjusting(benchmark::State& st) {
    Measuring m;
    DriftAssistant& a = m.s->assistant;
    const double back = st.range(0) == 0 ? 0 : 200;
    KnobAdjusting k;
    k.anchor = {1500 - back, 1500};
    k.target = {1500 - back + 250, 1500};
    a.adjusting = k;
    for (auto _ : st) {
        a.adjusting->star = k.anchor;
        a.adjusting->last_file.clear();
        update_drift_assistant(a, measured_plane(*m.s), measured_image(*m.s));
    }
    st.counters["lost"] = a.adjusting->lost ? 1 : 0;
}

BENCHMARK(BM_WholeTick)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_Step_NewestDetection)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Step_Read)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Step_Search)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Step_Levels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Step_Render)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Step_Plot)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Step_Assistant)->Unit(benchmark::kMicrosecond)->Arg(300)->Arg(3000);
BENCHMARK(BM_Step_Adjusting)->Unit(benchmark::kMicrosecond)->Arg(0)->Arg(1);

}  // namespace
}  // namespace trakora

BENCHMARK_MAIN();
