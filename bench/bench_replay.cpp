// SPDX-License-Identifier: MIT
// trakora-cli replay of a night of 500 and of 2,000 small images (96 x 64, BITPIX 16, a
// star drifting a little from image to image), the star picked on the oldest: the whole
// replay, from reading the folder to the last CSV row (sent to /dev/null).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cli/commands.hpp"
#include "scan_folder.hpp"

namespace trakora {
namespace {

namespace fs = std::filesystem;
constexpr int kWidth = 96, kHeight = 64;

struct Night {
    fs::path folder;
    explicit Night(int images) : folder(bench::bench_folder("replay-" + std::to_string(images))) {
        for (int n = 0; n < images; ++n) {
            std::vector<float> sky(kWidth * kHeight, 1000.0f);
            const double sx = 40 + 0.004 * n, sy = 30 + 0.002 * n;
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x)
                    sky[static_cast<std::size_t>(y * kWidth + x)] += static_cast<float>(
                        20000.0 * std::exp(-((x - sx) * (x - sx) + (y - sy) * (y - sy)) / 6.0));
            std::vector<std::string> cards = {logical_card("SIMPLE", true),
                                              integer_card("BITPIX", 16),
                                              integer_card("NAXIS", 2),
                                              integer_card("NAXIS1", kWidth),
                                              integer_card("NAXIS2", kHeight),
                                              real_card("EXPTIME", 2.0),
                                              string_card("DATE-OBS", bench::night_date(5 * n))};
            append_format_cards(cards, storage_format(16));
            char name[32];
            std::snprintf(name, sizeof name, "drift_%05d.FIT", n);
            write_file_replacing(folder / name,
                                 fits_file_bytes(cards, encode_samples(sky, storage_format(16))));
        }
    }
    ~Night() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
};

void BM_Replay(benchmark::State& st) {
    const Night night(static_cast<int>(st.range(0)));
    std::string folder = night.folder.string();
    std::string pick = "--pick", x = "40", y = "30";
    std::vector<char*> args = {folder.data(), pick.data(), x.data(), y.data()};
    const int saved = ::dup(STDOUT_FILENO);
    const int null = ::open("/dev/null", O_WRONLY);
    for (auto _ : st) {
        std::fflush(stdout);
        ::dup2(null, STDOUT_FILENO);
        const int status = cli::run_replay(static_cast<int>(args.size()), args.data());
        std::fflush(stdout);
        ::dup2(saved, STDOUT_FILENO);
        if (status != 0) st.SkipWithError("the replay failed");
    }
    ::close(null);
    ::close(saved);
}

BENCHMARK(BM_Replay)->Arg(500)->Arg(2000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trakora

BENCHMARK_MAIN();
