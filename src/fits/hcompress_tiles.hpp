// SPDX-License-Identifier: MIT
// HCOMPRESS tiles decoded by our reader rather than by CFITSIO's image reading. CFITSIO
// 4.2's H-decoder reads on past the end of a damaged tile's stream, and no check of the
// stream short of decoding it tells when it will; so each tile's stream is copied into a
// buffer with enough zeros after it that the decoder, however damaged the stream, stays
// inside the buffer, and is decoded there by CFITSIO's own public H-decoder.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace trakora {

// "" when the H-compress stream's header agrees with a tile of `width` x `height`
// samples: the magic bytes, the sides (a tile of one row may be stored folded into
// rows of its own, the same samples in the same order), a scale of at least 0 and
// bit-plane counts of 0 to 32; else which of them does not.
std::string hcompress_tile_problem(std::span<const std::uint8_t> stream, std::int64_t width,
                                   std::int64_t height);

// Decodes the H-compress stream `stream` of a tile of `width` x `height` samples into
// `samples` (row after row, `width` to a row), without smoothing; `wide` for 32-bit
// samples, whose transform needs 64-bit sums. "" when decoded, else why not (the header's
// problem, or CFITSIO's words).
std::string decode_hcompress_tile(std::span<const std::uint8_t> stream, std::int64_t width,
                                  std::int64_t height, bool wide,
                                  std::vector<std::int32_t>& samples);

}  // namespace trakora
