// SPDX-License-Identifier: MIT
// Writes monolithic XISF 1.0 files as capture programs do: the XML header with the
// image's FITS cards as FITSKeyword elements, then the data block attached after it,
// little-endian and planar, optionally compressed (with or without byte shuffling) and
// always with its SHA-1 checksum.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fits/xisf_blocks.hpp"
#include "fits/xisf_header.hpp"

namespace trakora {

struct XisfWriteFormat {
    XisfSampleFormat samples = XisfSampleFormat::UInt16;
    std::optional<BlockCodec> codec;  // nothing: uncompressed
    bool shuffled = false;            // byte shuffling before compression
};

// The format a word names: "none", "zlib", "lz4", "zstd", each but "none" also with
// "+sh" for byte shuffling ("zstd+sh"); nothing for another word.
std::optional<XisfWriteFormat> xisf_compression_named(std::string_view word);

// The sample format of the FITS twin of BITPIX `bitpix` (8, 16, 32, -32).
XisfSampleFormat xisf_samples_for_bitpix(int bitpix);

// The file's bytes: `cards` as FITS cards (SIMPLE, BITPIX, NAXIS, NAXISn, BZERO, BSCALE
// and END are left out, the format saying them), `physical` the samples plane after plane
// (rounded and clamped to the integer formats' range), `planes` 1 (Gray) or 3 (RGB);
// `properties` become Property elements of type String.
std::vector<std::uint8_t> xisf_file_bytes(const std::vector<std::string>& cards,
                                          std::span<const float> physical, int width, int height,
                                          int planes, const XisfWriteFormat& format,
                                          const std::vector<XisfProperty>& properties = {});

// Where the data block of bytes that xisf_file_bytes made begins (for writing a file in
// pieces, the header first).
std::size_t xisf_header_bytes(std::span<const std::uint8_t> file);

}  // namespace trakora
