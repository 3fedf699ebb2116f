// SPDX-License-Identifier: MIT
// One whole tick, headless: newest detection over a folder of 200 images, reading the
// newest (3072 x 3072, BITPIX 16), the star search, the display levels, rendering the
// colours, the crosshairs, the plot and the drift assistant. Also each step alone, for the
// split.
//
// The 199 older images have real headers and their full length, but sparse data, so the
// folder costs no disk space: newest detection reads headers only.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <vector>

#include "analysis/display_levels.hpp"
#include "core/assistant_handlers.hpp"
#include "core/handlers.hpp"
#include "core/newest_image.hpp"
#include "core/read_image.hpp"
#include "fits/fits_writer.hpp"
#include "windowless/windowless_view.hpp"

namespace trakora {
namespace {

namespace fs = std::filesystem;
constexpr int kSide = 3072;
constexpr int kImages = 200;

// A view that shows nothing but messages: what the tick costs without a screen.
class QuietView final : public WindowlessView {
  public:
    using WindowlessView::WindowlessView;
    void message(const std::string& text) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
    }
};

std::vector<std::string> header_cards(int n) {
    char date[64];
    std::snprintf(date, sizeof date, "2026-12-09T%02d:%02d:%02d.000", 1 + n / 3600, n / 60 % 60,
                  n % 60);
    std::vector<std::string> cards = {logical_card("SIMPLE", true), integer_card("BITPIX", 16),
                                      integer_card("NAXIS", 2), integer_card("NAXIS1", kSide),
                                      integer_card("NAXIS2", kSide)};
    append_format_cards(cards, storage_format(16));
    cards.push_back(real_card("EXPTIME", 2.0));
    cards.push_back(string_card("DATE-OBS", date));
    return cards;
}

struct Night {
    fs::path folder;
    Night() {
        folder = fs::temp_directory_path() / ("trakora-bench-tick-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        const std::size_t data_bytes = static_cast<std::size_t>(kSide) * kSide * 2;
        for (int n = 0; n + 1 < kImages; ++n) {  // older images: header and a sparse body
            const auto bytes = fits_file_bytes(header_cards(n), {});
            char name[32];
            std::snprintf(name, sizeof name, "m%04d.FIT", n);
            const fs::path path = folder / name;
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (::write(fd, bytes.data(), bytes.size()) < 0 ||
                ::ftruncate(fd, static_cast<off_t>(bytes.size() + data_bytes)) != 0) {
                std::perror("bench night");
            }
            ::close(fd);
        }
        // The newest: a sky of noise around 1000 with a star near the centre.
        std::vector<float> sky(static_cast<std::size_t>(kSide) * kSide);
        std::mt19937 rng(1);
        std::normal_distribution<float> noise(1000.0f, 30.0f);
        for (float& v : sky) v = noise(rng);
        for (int dy = -6; dy <= 6; ++dy)
            for (int dx = -6; dx <= 6; ++dx)
                sky[static_cast<std::size_t>(1500 + dy) * kSide + 1500 + dx] +=
                    30000.0f * std::exp(-static_cast<float>(dx * dx + dy * dy) / 8.0f);
        write_file_replacing(
            folder / "m0199.FIT",
            fits_file_bytes(header_cards(kImages - 1), encode_samples(sky, storage_format(16))));
    }
    ~Night() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
};

Night& night() {
    static Night n;
    return n;
}

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
    rusage usage;
    ::getrusage(RUSAGE_SELF, &usage);
    st.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
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
        DriftAssistantSample sample;
        sample.file = "earlier" + std::to_string(k);
        sample.unix_s = 1'796'000'000.0 + 10.0 * k;
        sample.star.x = 1500;
        sample.star.y = 1500 + 0.01 * k + 0.3 * std::sin(k);
        add_drift_sample(a, sample, {});
    }
    m.s->measurements[300] = {1500, 1500};
    for (auto _ : st) {
        update_drift_assistant(*m.s, m.view, 300);
        a.samples.pop_back();
        --a.segments.back().count;
    }
    st.counters["samples"] = static_cast<double>(a.samples.size() + 1);
}

BENCHMARK(BM_WholeTick)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_Step_NewestDetection)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Step_Read)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Step_Search)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Step_Levels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Step_Render)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Step_Plot)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Step_Assistant)->Unit(benchmark::kMicrosecond)->Arg(300)->Arg(3000);

}  // namespace
}  // namespace trakora

BENCHMARK_MAIN();
