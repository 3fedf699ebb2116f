// SPDX-License-Identifier: MIT
#include "fits/sample_values.hpp"

#include <bit>
#include <cmath>

#include "base/rounding.hpp"

namespace trakora {
namespace {

// Above this the rounded whole numbers already show a star's shape to within a part in a
// thousand, and the image is measured as it is shown.
constexpr float kValueLimit = 1000;

void widen(FloatRange& range, float v) {
    if (std::isnan(v)) return;
    if (range.empty) {
        range = {v, v, false};
        return;
    }
    range.min = v < range.min ? v : range.min;
    range.max = v > range.max ? v : range.max;
}

}  // namespace

std::int32_t sample_value(float sample) {
    return round_to_int32(static_cast<double>(sample) * kSampleValueScale);
}

void store_sample_values(const float* in, std::size_t count, std::int32_t* out, FloatRange& range) {
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = sample_value(in[i]);
        widen(range, in[i]);
    }
}

void store_big_endian_values(const unsigned char* in, std::size_t count, std::int32_t* out,
                             FloatRange& range) {
    for (std::size_t i = 0; i < count; ++i, in += 4) {
        const std::uint32_t bits = (std::uint32_t{in[0]} << 24) | (std::uint32_t{in[1]} << 16) |
                                   (std::uint32_t{in[2]} << 8) | in[3];
        const float v = std::bit_cast<float>(bits);
        out[i] = sample_value(v);
        widen(range, v);
    }
}

bool measured_from_values(const FloatRange& range) {
    return !range.empty && range.min > -kValueLimit && range.max < kValueLimit;
}

}  // namespace trakora
