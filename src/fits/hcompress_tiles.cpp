// SPDX-License-Identifier: MIT
#include "fits/hcompress_tiles.hpp"

#include <fitsio.h>

#include <algorithm>
#include <cstring>

namespace trakora {
namespace {

// Magic (2), the sides and the scale (4 each), the sum of all pixels (8) and three
// bit-plane counts (1 each).
constexpr std::size_t kHeaderBytes = 2 + 4 + 4 + 4 + 8 + 3;
constexpr int kMostBitPlanes = 32;

std::int32_t int32_at(std::span<const std::uint8_t> stream, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < 4; ++k) v = (v << 8) | stream[at + k];
    return static_cast<std::int32_t>(v);
}

// Zeros placed after a tile's stream so that the decoder cannot read beyond them. The
// decoder reads each of the three quadrants' bit planes (at most 32 each, as checked) as
// a quadtree whose codes take at most a few bits per sample and plane, and a sign bit
// per sample; 4 bits per sample and plane over all 32 planes, 16 bytes per sample, is
// more than it can read however the stream is damaged, and 64 bytes cover the codes of
// the tree's top and the decoder's reading ahead.
std::size_t padding_bytes(std::int64_t samples) {
    return static_cast<std::size_t>(samples) * kMostBitPlanes / 2 + 64;
}

}  // namespace

std::string hcompress_tile_problem(std::span<const std::uint8_t> stream, std::int64_t width,
                                   std::int64_t height) {
    if (stream.size() < kHeaderBytes) return "H-compress header cut short";
    if (stream[0] != 0xDD || stream[1] != 0x99) return "no H-compress magic";
    // The stream gives the tile's rows first, then its columns.
    const std::int64_t rows = int32_at(stream, 2);
    const std::int64_t columns = int32_at(stream, 6);
    const bool same = rows == height && columns == width;
    const bool folded_row = height == 1 && rows > 0 && columns > 0 && rows * columns == width;
    if (!same && !folded_row) return "H-compress sides differ from the tile's";
    if (int32_at(stream, 10) < 0) return "H-compress scale below 0";
    for (std::size_t q = 22; q < 25; ++q)
        if (stream[q] > kMostBitPlanes) return "H-compress bit planes out of range";
    return {};
}

std::string decode_hcompress_tile(std::span<const std::uint8_t> stream, std::int64_t width,
                                  std::int64_t height, bool wide,
                                  std::vector<std::int32_t>& samples) {
    if (std::string problem = hcompress_tile_problem(stream, width, height); !problem.empty())
        return problem;
    const std::int64_t count = width * height;
    std::vector<unsigned char> padded(stream.size() + padding_bytes(count), 0);
    std::copy(stream.begin(), stream.end(), padded.begin());
    int rows = 0;
    int columns = 0;
    int scale = 0;
    int status = 0;
    samples.assign(static_cast<std::size_t>(count), 0);
    if (wide) {
        // The 64-bit decoder leaves its result as 32-bit samples at the start of its array.
        std::vector<LONGLONG> sums(static_cast<std::size_t>(count), 0);
        fits_hdecompress64(padded.data(), 0, sums.data(), &rows, &columns, &scale, &status);
        if (status == 0)
            std::memcpy(samples.data(), sums.data(), samples.size() * sizeof(std::int32_t));
    } else {
        fits_hdecompress(padded.data(), 0, samples.data(), &rows, &columns, &scale, &status);
    }
    if (status != 0) {
        char text[FLEN_STATUS] = {};
        fits_get_errstatus(status, text);
        fits_clear_errmsg();
        return "H-compress stream: " + std::string(text);
    }
    return {};
}

}  // namespace trakora
