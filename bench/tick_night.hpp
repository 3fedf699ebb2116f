// SPDX-License-Identifier: MIT
// The night the tick benchmarks measure: a folder of 200 images of 3072 x 3072 (BITPIX
// 16). The 199 older images have real headers and their full length, but sparse data, so
// the folder costs no disk space: newest detection reads headers only. The newest is a sky
// of noise around 1000 with a star at (1500, 1500).
#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "fits/fits_writer.hpp"

namespace trakora::bench {

namespace fs = std::filesystem;
constexpr int kSide = 3072;
constexpr int kImages = 200;

inline std::vector<std::string> header_cards(int n) {
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

inline Night& night() {
    static Night n;
    return n;
}

// Peak resident memory of the process so far, in MiB.
inline double peak_rss_mib() {
    rusage usage;
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace trakora::bench
