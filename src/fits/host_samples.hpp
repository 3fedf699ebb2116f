// SPDX-License-Identifier: MIT
// Samples that a reader holds already decompressed, in host byte order, decoded into the
// image buffer exactly as the FITS reader decodes stored samples of the same format: each
// row goes through the one SampleDecoder, so a tile-compressed or XISF image holds the
// values its plain FITS twin would.
#pragma once

#include <cstddef>
#include <optional>

#include "base/image_buffer.hpp"
#include "fits/sample_decoding.hpp"
#include "fits/sample_values.hpp"

namespace trakora {

// Stored samples of `format.kind`, as raw bits: std::uint8_t for UInt8, std::uint16_t
// for UInt16, std::uint32_t for Int32 and Float32 (their two's complement or IEEE bits).
struct HostSamples {
    const void* data = nullptr;
    int width = 0;   // whole pixels decoded per row
    int height = 0;  // rows decoded per plane
    int planes = 1;
    std::size_t row_step = 0;    // samples from one row's start to the next's
    std::size_t plane_step = 0;  // samples from one plane's start to the next's
    std::size_t pixel_step = 1;  // samples from one pixel to the next in a row
};

// Decodes every sample into `image` (plane p, row y, column x) and widens `range`. With
// `values`, a single-plane Float32 image also goes onto the values plane and `value_range`
// receives its range.
void decode_host_samples(const HostSamples& samples, const SampleFormat& format, ImageBuffer& image,
                         PixelRange& range, ImageBuffer* values,
                         std::optional<FloatRange>& value_range);

}  // namespace trakora
