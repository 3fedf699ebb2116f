// SPDX-License-Identifier: MIT
// Turning big-endian FITS samples into the signed 32-bit values the image buffer holds.
//
// Usage: build one SampleDecoder per image from its sample format, then hand it runs of
// consecutive samples (a row, or the part of a row that a read block holds):
//   SampleDecoder decoder(SampleFormat{SampleKind::UInt16, true, 32768, 1});
//   decoder.decode(bytes, count, image.row(y, 0) + x, range);
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "base/image_buffer.hpp"
#include "base/rounding.hpp"

namespace trakora {

enum class SampleKind {
    UInt8,    // BITPIX 8 or -8: one unsigned byte; scaled; above 255 wraps by 256
    UInt16,   // BITPIX 16 or -16: two bytes, unsigned; scaled; above 65535 wraps by 65536
    Int32,    // BITPIX 32: four bytes, two's complement; scaled
    Float32,  // BITPIX -32: IEEE single precision, rounded; scaled only when `scaled`
};

struct SampleFormat {
    SampleKind kind = SampleKind::UInt16;
    bool scaled = true;  // false for a single-plane -32 image, whose values are stored as they are
    double bzero = 0;
    double bscale = 1;
};

int bytes_per_sample(SampleKind kind);

// The stored value of one sample of an integer format from its raw value: BZERO + BSCALE
// x raw in double precision, rounded; a result in range above `wrap_above` is lowered by
// `wrap_above` + 1 once. Out-of-range results saturate and are not wrapped.
std::int32_t scale_integer_sample(double raw, double bzero, double bscale, std::int64_t wrap_above);

class SampleDecoder {
  public:
    explicit SampleDecoder(const SampleFormat& format);

    // Decodes `count` samples starting at `in` into out[0..count-1] and widens `range` to
    // cover them.
    void decode(const unsigned char* in, std::size_t count, std::int32_t* out,
                PixelRange& range) const;

  private:
    // How a run is converted; the fast modes give exactly what the general scaling
    // would, for the formats they are chosen for.
    enum class Mode {
        Table,        // 8 and 16 bit: one lookup of the raw value
        Offset16,     // 16 bit, BSCALE 1 and a whole BZERO: integer addition and wrap
        Copy32,       // 32 bit without scaling
        Offset32,     // 32 bit, BSCALE 1 and a whole BZERO: integer addition, saturated
        Scaled32,     // 32 bit, any other scaling
        Float,        // -32, rounded
        FloatScaled,  // -32, rounded, scaled, rounded again
    };
    Mode mode_;
    SampleFormat format_;
    std::int32_t offset16_ = 0;
    std::int64_t offset32_ = 0;
    // Every possible raw value's result for the 8- and 16-bit formats (8 bit uses the
    // first 256 entries); filled only in Table mode.
    std::array<std::int32_t, 65536> table_;
};

}  // namespace trakora
