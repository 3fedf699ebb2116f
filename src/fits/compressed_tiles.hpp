// SPDX-License-Identifier: MIT
// Checks on the tiles of a tile-compressed image, made before CFITSIO 4.2 decodes them:
// it inflates a GZIP tile into a buffer that grows with whatever the stream gives (a few
// kilobytes that inflate to gigabytes keep it busy for minutes), and its Rice and PLIO
// decoders read past the end of a stream that is too short.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace trakora {

// How an image of up to three axes is cut into tiles: its sides (ZNAXISn) and the tiles'
// (ZTILEn), 1 beyond its axes. Tiles are stored one a row, the first axis fastest; those
// at the image's far edges are cut short.
struct TileGrid {
    std::array<std::int64_t, 3> sides{1, 1, 1};
    std::array<std::int64_t, 3> tile{1, 1, 1};
};

// How many tiles the grid holds (all sides and tiles at least 1).
std::int64_t tile_count(const TileGrid& grid);

// The sides of tile `index` (from 0, as tile_count counts them).
std::array<std::int64_t, 3> tile_sides(const TileGrid& grid, std::int64_t index);

// Where tile `index` begins: the column, row and plane of its first sample.
std::array<std::int64_t, 3> tile_origin(const TileGrid& grid, std::int64_t index);

// "" when the gzip stream `stream` ends, whole, within `limit` inflated bytes; else why
// not ("inflates beyond its size", "corrupt", "cut short"). Inflates into a small buffer
// of its own, so time and memory are bounded by the stream's size and `limit`.
std::string gzip_tile_problem(std::span<const std::uint8_t> stream, std::uint64_t limit);

// "" when the Rice stream `stream` holds every bit that `samples` samples of `bytes` each
// (1, 2, else 4, as CFITSIO takes them), coded in blocks of `block`, need; else why not.
// CFITSIO's decoder finds a stream too short only after it has read on past its end (a
// run of zero bytes has it read on until one is not zero), so the stream is walked first,
// its codes read but no sample made.
std::string rice_tile_problem(std::span<const std::uint8_t> stream, std::int64_t samples, int block,
                              int bytes);

// "" when every word CFITSIO's PLIO decoder reads of the line list `words` lies inside it;
// else why not. The decoder takes the list's length from the list's own header and reads
// that far, and one word beyond an instruction that carries its value in the next.
std::string plio_tile_problem(std::span<const std::int16_t> words);

}  // namespace trakora
