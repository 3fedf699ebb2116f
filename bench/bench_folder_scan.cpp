// SPDX-License-Identifier: MIT
// The newest-image scan of a tick (new_fits_file_name) over folders of 1,000, 5,000 and
// 20,000 headers-only images: steady (nothing changes between ticks) and with one new
// image per tick (written outside the timing), on the local disk and through a bindfs
// mount of the same folder. Without bindfs or /dev/fuse the mounted cases are skipped.
// Mounted ticks are 2 s apart (outside the timing), as the desktop's are 5 s by default:
// the kernel keeps a FUSE mount's names and attributes 1 s, and the scan asks about old
// images between ticks, so back-to-back ticks would measure neither as a night sees them.
#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <memory>
#include <thread>

#include "core/handlers.hpp"
#include "core/state.hpp"
#include "scan_folder.hpp"
#include "windowless/windowless_view.hpp"

namespace trakora {
namespace {

namespace fs = std::filesystem;

struct Night {
    fs::path folder;
    std::unique_ptr<bench::BindfsMount> mount;
    explicit Night(int images) : folder(bench::bench_folder("scan-" + std::to_string(images))) {
        for (int n = 0; n < images; ++n) {
            char name[32];
            std::snprintf(name, sizeof name, "drift_%05d.FIT", (n * 7919) % images);
            bench::write_sparse_image(folder / name, n);
        }
        mount = std::make_unique<bench::BindfsMount>(folder);
    }
    ~Night() {
        mount.reset();
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
};

// The folders, made once, and left alone for a while as after a night's capture: files
// stamped within seconds of the newest are read again every tick, which is not what a
// steady folder costs.
Night& night(int images) {
    static std::map<int, std::unique_ptr<Night>> nights;
    if (nights.empty()) {
        for (const int n : {1000, 5000, 20000}) nights[n] = std::make_unique<Night>(n);
        std::this_thread::sleep_for(std::chrono::seconds(12));
    }
    return *nights.at(images);
}

// Arguments: images in the folder, a new image per tick (0 or 1), through bindfs (0 or 1).
void BM_NewestScan(benchmark::State& st) {
    const int images = static_cast<int>(st.range(0));
    const bool arriving = st.range(1) != 0;
    const bool fuse = st.range(2) != 0;
    Night& n = night(images);
    if (fuse && !n.mount->mounted()) {
        st.SkipWithError("bindfs or /dev/fuse missing: no FUSE mount here");
        return;
    }
    const fs::path watched = fuse ? n.mount->path() : n.folder;
    auto s = std::make_unique<State>();
    WindowlessView view(watched.string());
    view.set_text(TextField::Folder, watched.string());
    new_fits_file_name(*s, view);  // the first tick: everything is new
    // Two more on a mount, as before a steady tick of the night: every old image has been
    // asked about by the rotation since the first tick read them all.
    for (int tick = 0; fuse && tick < 2; ++tick) {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        new_fits_file_name(*s, view);
    }
    int arrived = 0;
    for (auto _ : st) {
        if (arriving || fuse) st.PauseTiming();
        if (fuse) std::this_thread::sleep_for(std::chrono::seconds(2));
        if (arriving) {
            char name[32];
            std::snprintf(name, sizeof name, "new_%05d.FIT", arrived);
            bench::write_sparse_image(watched / name, images + arrived);
            ++arrived;
        }
        if (arriving || fuse) st.ResumeTiming();
        new_fits_file_name(*s, view);
        benchmark::DoNotOptimize(s->fits_file_name);
    }
    for (int k = 0; k < arrived; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "new_%05d.FIT", k);
        std::error_code ec;
        fs::remove(n.folder / name, ec);
    }
}

template <int Fuse>
void scan_cases(benchmark::internal::Benchmark* b) {
    for (const int arriving : {0, 1})
        for (const int images : {1000, 5000, 20000}) b->Args({images, arriving, Fuse});
    b->ArgNames({"files", "new_per_tick", "fuse"});
    b->Unit(benchmark::kMillisecond);
}

// A fixed count of ticks: a folder that grows by one image per tick grows alike in
// every run, and a slow mount does not take minutes.
BENCHMARK(BM_NewestScan)->Apply(scan_cases<0>)->Iterations(20);
BENCHMARK(BM_NewestScan)->Apply(scan_cases<1>)->Iterations(5);

}  // namespace
}  // namespace trakora

BENCHMARK_MAIN();
