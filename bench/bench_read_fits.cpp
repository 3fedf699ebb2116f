// SPDX-License-Identifier: MIT
// Reading a full-size 16-bit image (3072 x 3072, BZERO 32768, the usual camera format):
// read_fits_file against CFITSIO reading into the same strided buffer, and against a
// plain pass (one read of the data, one conversion loop) as the floor to aim at. Then
// read_fits_file alone on the other paths: 16 bit through the lookup table, 32 bit, float.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <fitsio.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "core/read_image.hpp"
#include "core/state.hpp"

namespace {

constexpr int kSide = 3072;
constexpr std::size_t kHeaderBytes = 2880;
constexpr std::size_t kDataBytes = std::size_t{kSide} * kSide * 2;

std::string card(const std::string& text) {
    std::string c = text;
    c.resize(80, ' ');
    return c;
}

std::string pad_left(int value) {
    std::string text = std::to_string(value);
    return std::string(20 - text.size(), ' ') + text;
}

// A 3072 x 3072 image of sky noise around 1200 in the format of `bitpix`, with the
// given scaling cards.
void write_image(const std::filesystem::path& path, int bitpix, const std::string& scaling_cards) {
    const std::size_t sample_bytes = static_cast<std::size_t>(std::abs(bitpix) / 8);
    std::string header =
        card("SIMPLE  =                    T") + card("BITPIX  = " + pad_left(bitpix)) +
        card("NAXIS   =                    2") + card("NAXIS1  =                 3072") +
        card("NAXIS2  =                 3072") + scaling_cards + card("END");
    header.resize(kHeaderBytes, ' ');
    const std::size_t data_bytes = std::size_t{kSide} * kSide * sample_bytes;
    // Whole 2880-byte blocks, as FITS files are written; CFITSIO insists on them.
    std::vector<unsigned char> data((data_bytes + kHeaderBytes - 1) / kHeaderBytes * kHeaderBytes);
    std::mt19937 gen(42);
    std::normal_distribution<double> sky(1200, 40);
    for (std::size_t i = 0; i < data_bytes; i += sample_bytes) {
        const double value = sky(gen);
        std::uint32_t bits = 0;
        if (bitpix == 16)
            bits =
                static_cast<std::uint32_t>(std::clamp(static_cast<int>(value), 0, 65535) - 32768);
        if (bitpix == 32) bits = static_cast<std::uint32_t>(value);
        if (bitpix == -32) bits = std::bit_cast<std::uint32_t>(static_cast<float>(value));
        for (std::size_t b = 0; b < sample_bytes; ++b) {
            data[i + b] = static_cast<unsigned char>(bits >> (8 * (sample_bytes - 1 - b)));
        }
    }
    std::ofstream out(path, std::ios::binary);
    out.write(header.data(), static_cast<std::streamsize>(header.size()));
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
}

struct Fixture {
    std::filesystem::path dir;
    std::filesystem::path file;  // 16 bit, BZERO 32768: the one all three readers read
    std::filesystem::path scaled16_file, int32_file, float_file;  // other formats, our reader only
    trakora::State state;
    std::vector<unsigned char> plain_bytes = std::vector<unsigned char>(kDataBytes);
};

void read_fits_file_bench(benchmark::State& bs, Fixture& f, const std::filesystem::path& path) {
    std::string message;
    const std::uint64_t bytes = std::filesystem::file_size(path) - kHeaderBytes;
    for (auto _ : bs) {
        if (trakora::read_fits_file(f.state, path, message) != 0) bs.SkipWithError(message.c_str());
        benchmark::DoNotOptimize(f.state.image_pixels.data());
    }
    bs.SetBytesProcessed(static_cast<std::int64_t>(bs.iterations() * bytes));
}

void cfitsio_bench(benchmark::State& bs, Fixture& f) {
    for (auto _ : bs) {
        int status = 0;
        fitsfile* fits = nullptr;
        fits_open_file(&fits, f.file.c_str(), READONLY, &status);
        for (int y = 0; y < kSide && status == 0; ++y) {
            long first[2] = {1, y + 1};
            fits_read_pix(fits, TINT, first, kSide, nullptr, f.state.image_pixels.row(y, 0),
                          nullptr, &status);
        }
        fits_close_file(fits, &status);
        if (status != 0) {
            char text[FLEN_STATUS];
            fits_get_errstatus(status, text);
            bs.SkipWithError(text);
        }
        benchmark::DoNotOptimize(f.state.image_pixels.data());
    }
    bs.SetBytesProcessed(static_cast<std::int64_t>(bs.iterations() * kDataBytes));
}

void plain_pass_bench(benchmark::State& bs, Fixture& f) {
    for (auto _ : bs) {
        const int fd = ::open(f.file.c_str(), O_RDONLY);
        const ssize_t got = ::pread(fd, f.plain_bytes.data(), kDataBytes, kHeaderBytes);
        ::close(fd);
        if (got != static_cast<ssize_t>(kDataBytes)) bs.SkipWithError("short read");
        const unsigned char* in = f.plain_bytes.data();
        for (int y = 0; y < kSide; ++y) {
            std::int32_t* row = f.state.image_pixels.row(y, 0);
            for (int x = 0; x < kSide; ++x, in += 2) {
                row[x] = static_cast<std::int16_t>((in[0] << 8) | in[1]) + 32768;
            }
        }
        benchmark::DoNotOptimize(f.state.image_pixels.data());
    }
    bs.SetBytesProcessed(static_cast<std::int64_t>(bs.iterations() * kDataBytes));
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Fixture f;
    std::string pattern =
        (std::filesystem::temp_directory_path() / "trakora-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::cerr << "cannot create a temporary folder\n";
        return 1;
    }
    f.dir = pattern;
    f.file = f.dir / "bench16.fit";
    f.state.fits_file_name = "bench16.fit";
    f.scaled16_file = f.dir / "scaled16.fit";
    f.int32_file = f.dir / "int32.fit";
    f.float_file = f.dir / "float.fit";
    write_image(f.file, 16,
                card("BZERO   =                32768") + card("BSCALE  =                    1"));
    write_image(f.scaled16_file, 16,
                card("BZERO   =                32768") + card("BSCALE  =                  0.5"));
    write_image(f.int32_file, 32, "");
    write_image(f.float_file, -32, "");
    // Steady state: the buffer's pages and the file's cache pages exist before timing.
    std::memset(f.state.image_pixels.data(), 0,
                trakora::ImageBuffer::kValues * sizeof(std::int32_t));
    std::memset(f.plain_bytes.data(), 0, f.plain_bytes.size());

    benchmark::RegisterBenchmark("read_fits_file/16bit_3072", read_fits_file_bench, std::ref(f),
                                 f.file)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("cfitsio_read_pix_TINT/16bit_3072", cfitsio_bench, std::ref(f))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("plain_pass/16bit_3072", plain_pass_bench, std::ref(f))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("read_fits_file/16bit_bscale_0.5_3072", read_fits_file_bench,
                                 std::ref(f), f.scaled16_file)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("read_fits_file/32bit_3072", read_fits_file_bench, std::ref(f),
                                 f.int32_file)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("read_fits_file/float_3072", read_fits_file_bench, std::ref(f),
                                 f.float_file)
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(f.dir, ignored);
    return 0;
}
