// SPDX-License-Identifier: MIT
// Writes tile-compressed FITS (.fz) as capture programs do through CFITSIO: an empty
// primary header, then the image compressed one row per tile in the first extension,
// carrying the image's cards. Float samples are compressed without loss.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace trakora {

enum class TileCompression { rice, gzip1, gzip2, hcompress, plio };

// The compression a word names ("rice", "gzip1", "gzip2", "hcompress", "plio").
std::optional<TileCompression> tile_compression_named(std::string_view word);

// The file's bytes: `cards` (SIMPLE, BITPIX, NAXISn first, as fits_file_bytes takes them;
// BZERO and BSCALE among the rest) over the samples `stored` as encode_samples gives them
// (big-endian stored values, padded). Throws std::runtime_error with CFITSIO's words when
// CFITSIO refuses (PLIO takes no negative stored values, for one).
std::vector<std::uint8_t> compressed_fits_bytes(const std::vector<std::string>& cards,
                                                std::span<const std::uint8_t> stored,
                                                TileCompression compression);

}  // namespace trakora
