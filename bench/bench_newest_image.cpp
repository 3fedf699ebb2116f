// SPDX-License-Identifier: MIT
// Newest-image detection over a folder of 765 x 510 BITPIX 16 images (one DATE-OBS each,
// plus some files that are not candidates), against the same scan done by opening each
// candidate with CFITSIO and reading its DATE-OBS. Folders of 1000 and 5000 images show
// how the time grows. Image bodies are sparse: only headers are read.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <fitsio.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "arrival/newest_image.hpp"
#include "fits/fits_writer.hpp"

namespace trakora {
namespace {

namespace fs = std::filesystem;

struct Folder {
    fs::path path;
    explicit Folder(int images) {
        path = fs::temp_directory_path() / ("trakora-bench-newest-" + std::to_string(::getpid()) +
                                            "-" + std::to_string(images));
        fs::create_directories(path);
        const std::size_t data_bytes = 765 * 510 * 2;
        for (int n = 0; n < images; ++n) {
            char date[64], name[32];
            std::snprintf(date, sizeof date, "2026-12-09T%02d:%02d:%02d.%03d", n / 3600 % 24,
                          n / 60 % 60, n % 60, n % 1000);
            std::snprintf(name, sizeof name, "drift_%05d.FIT",
                          (n * 7919) % images);  // names out of date order
            std::vector<std::string> cards = {
                logical_card("SIMPLE", true),  integer_card("BITPIX", 16),
                integer_card("NAXIS", 2),      integer_card("NAXIS1", 765),
                integer_card("NAXIS2", 510),   real_card("EXPTIME", 2.0),
                string_card("DATE-OBS", date), string_card("INSTRUME", "Bench camera")};
            append_format_cards(cards, storage_format(16));
            const auto bytes = fits_file_bytes(cards, {});
            const int fd = ::open((path / name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (::write(fd, bytes.data(), bytes.size()) < 0 ||
                ::ftruncate(fd, static_cast<off_t>(bytes.size() + data_bytes)) != 0) {
                std::perror("bench folder");
            }
            ::close(fd);
        }
        for (int n = 0; n < images / 20; ++n) {  // files that are not candidates
            std::FILE* f =
                std::fopen((path / ("notes_" + std::to_string(n) + ".txt")).c_str(), "w");
            std::fputs("seeing 2.5\n", f);
            std::fclose(f);
        }
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

Folder& folder(int images) {
    static std::map<int, std::unique_ptr<Folder>> folders;
    auto& f = folders[images];
    if (!f) f = std::make_unique<Folder>(images);
    return *f;
}

void BM_NewestFitsName(benchmark::State& st) {
    const std::string path = folder(static_cast<int>(st.range(0))).path.string();
    std::string last_card;
    std::string newest = newest_fits_name(path, last_card);  // warm the page cache
    for (auto _ : st) {
        newest = newest_fits_name(path, last_card);
        benchmark::DoNotOptimize(newest);
    }
    st.SetComplexityN(st.range(0));
}

// The same choice made with CFITSIO: list the candidates, open each, read DATE-OBS.
std::string newest_with_cfitsio(const std::string& path) {
    std::string best_date, best_name;
    for (const std::string& name : list_candidates(path)) {
        fitsfile* f = nullptr;
        int status = 0;
        const std::string file = path + "/" + name;
        if (fits_open_file(&f, file.c_str(), READONLY, &status) != 0) continue;
        char value[FLEN_VALUE];
        if (fits_read_key(f, TSTRING, "DATE-OBS", value, nullptr, &status) == 0 &&
            value > best_date) {
            best_date = value;
            best_name = name;
        }
        status = 0;
        fits_close_file(f, &status);
    }
    return best_name;
}

void BM_CfitsioScan(benchmark::State& st) {
    const std::string path = folder(static_cast<int>(st.range(0))).path.string();
    std::string newest = newest_with_cfitsio(path);
    for (auto _ : st) {
        newest = newest_with_cfitsio(path);
        benchmark::DoNotOptimize(newest);
    }
    st.SetComplexityN(st.range(0));
}

BENCHMARK(BM_NewestFitsName)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CfitsioScan)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trakora

BENCHMARK_MAIN();
