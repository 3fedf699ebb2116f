// SPDX-License-Identifier: MIT
#include "fits/sample_decoding.hpp"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace trakora {
namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

// Halfway cases of the range ends: 2147483647.5 rounds (ties to even) to 2^31, out of
// range; -2147483648.5 rounds to -2^31, in range.
constexpr double kRoundsAboveMax = 2147483647.5;
constexpr double kRoundsBelowMin = -2147483648.5;

std::uint32_t load_be16(const unsigned char* p) { return (std::uint32_t{p[0]} << 8) | p[1]; }

std::uint32_t load_be32(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

float load_be_float(const unsigned char* p) { return std::bit_cast<float>(load_be32(p)); }

// Adding and taking away 2^52 (2^23 for floats) leaves the magnitude rounded to an
// integer in the current rounding mode, which is to-nearest-even; unlike nearbyint this
// needs no library call, so the conversion loops stay loops of plain instructions.
std::int32_t round_in_range(double value) {
    const double magnitude = std::fabs(value);
    const double rounded = (magnitude + 0x1p52) - 0x1p52;
    return static_cast<std::int32_t>(value < 0 ? -rounded : rounded);
}

bool is_whole(double value) { return std::isfinite(value) && std::floor(value) == value; }

// Converts a run of samples and keeps the statistics. The samples go in groups of a
// fixed size through a local array, with the minimum and maximum kept per position in
// the group: loops of a known length over memory nothing else points into are what
// the compiler turns into vector instructions, which makes the reader as fast as a
// bare conversion loop for the common formats.
template <int Bytes, typename Convert>
void convert_run(const unsigned char* in, std::size_t count, std::int32_t* out, PixelRange& range,
                 Convert convert) {
    constexpr std::size_t kGroup = 32;
    std::int32_t lows[kGroup];
    std::int32_t highs[kGroup];
    for (std::size_t k = 0; k < kGroup; ++k) {
        lows[k] = range.min;
        highs[k] = range.max;
    }
    std::size_t i = 0;
    for (; i + kGroup <= count; i += kGroup) {
        std::int32_t values[kGroup];
        for (std::size_t k = 0; k < kGroup; ++k) {
            const std::int32_t v = convert(in + (i + k) * Bytes);
            values[k] = v;
            lows[k] = v < lows[k] ? v : lows[k];
            highs[k] = v > highs[k] ? v : highs[k];
        }
        std::memcpy(out + i, values, sizeof values);
    }
    std::int32_t lo = range.min;
    std::int32_t hi = range.max;
    for (std::size_t k = 0; k < kGroup; ++k) {
        lo = lows[k] < lo ? lows[k] : lo;
        hi = highs[k] > hi ? highs[k] : hi;
    }
    for (; i < count; ++i) {
        const std::int32_t v = convert(in + i * Bytes);
        out[i] = v;
        lo = v < lo ? v : lo;
        hi = v > hi ? v : hi;
    }
    range.min = lo;
    range.max = hi;
}

}  // namespace

int bytes_per_sample(SampleKind kind) {
    switch (kind) {
        case SampleKind::UInt8: return 1;
        case SampleKind::UInt16: return 2;
        case SampleKind::Int32:
        case SampleKind::Float32: return 4;
    }
    return 4;
}

std::int32_t round_to_int32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= kRoundsAboveMax) return kInt32Max;
    if (value < kRoundsBelowMin) return kInt32Min;
    return round_in_range(value);
}

std::int32_t round_to_int32(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 0x1p31f) return kInt32Max;
    if (value < -0x1p31f) return kInt32Min;
    // Floats of 2^23 and more are whole already.
    const float magnitude = std::fabs(value);
    const float rounded = magnitude < 0x1p23f ? (magnitude + 0x1p23f) - 0x1p23f : magnitude;
    return static_cast<std::int32_t>(value < 0 ? -rounded : rounded);
}

std::int32_t scale_integer_sample(double raw, double bzero, double bscale, std::int64_t wrap_above) {
    const double scaled = bzero + bscale * raw;
    const std::int32_t v = round_to_int32(scaled);
    if (scaled < kRoundsAboveMax && v > wrap_above) return static_cast<std::int32_t>(v - (wrap_above + 1));
    return v;
}

SampleDecoder::SampleDecoder(const SampleFormat& format) : format_(format) {
    const bool unit_scale = format.bscale == 1;
    switch (format.kind) {
        case SampleKind::UInt8:
        case SampleKind::UInt16: {
            // raw + BZERO must stay inside int32 for every raw value of the offset path.
            if (format.kind == SampleKind::UInt16 && unit_scale && is_whole(format.bzero) &&
                format.bzero >= kInt32Min && format.bzero <= kInt32Max - 65535.0) {
                mode_ = Mode::Offset16;
                offset16_ = static_cast<std::int32_t>(format.bzero);
                break;
            }
            mode_ = Mode::Table;
            const int values = format.kind == SampleKind::UInt8 ? 256 : 65536;
            for (int raw = 0; raw < values; ++raw) {
                table_[static_cast<std::size_t>(raw)] =
                    scale_integer_sample(raw, format.bzero, format.bscale, values - 1);
            }
            break;
        }
        case SampleKind::Int32:
            if (unit_scale && format.bzero == 0) {
                mode_ = Mode::Copy32;
            } else if (unit_scale && is_whole(format.bzero) && std::fabs(format.bzero) <= 0x1p40) {
                mode_ = Mode::Offset32;  // sums stay far below 2^53, so double would be exact too
                offset32_ = static_cast<std::int64_t>(format.bzero);
            } else {
                mode_ = Mode::Scaled32;
            }
            break;
        case SampleKind::Float32:
            // Scaling a whole number by 1 and 0 and rounding it again changes nothing.
            mode_ = (!format.scaled || (unit_scale && format.bzero == 0)) ? Mode::Float : Mode::FloatScaled;
            break;
    }
}

void SampleDecoder::decode(const unsigned char* in, std::size_t count, std::int32_t* out,
                           PixelRange& range) const {
    switch (mode_) {
        case Mode::Table:
            if (format_.kind == SampleKind::UInt8) {
                convert_run<1>(in, count, out, range, [this](const unsigned char* p) { return table_[*p]; });
            } else {
                convert_run<2>(in, count, out, range,
                               [this](const unsigned char* p) { return table_[load_be16(p)]; });
            }
            break;
        case Mode::Offset16: {
            const std::int32_t offset = offset16_;
            convert_run<2>(in, count, out, range, [offset](const unsigned char* p) {
                const std::int32_t v = static_cast<std::int32_t>(load_be16(p)) + offset;
                return v > 65535 ? v - 65536 : v;
            });
            break;
        }
        case Mode::Copy32:
            convert_run<4>(in, count, out, range,
                           [](const unsigned char* p) { return static_cast<std::int32_t>(load_be32(p)); });
            break;
        case Mode::Offset32: {
            const std::int64_t offset = offset32_;
            convert_run<4>(in, count, out, range, [offset](const unsigned char* p) {
                const std::int64_t v = static_cast<std::int32_t>(load_be32(p)) + offset;
                return static_cast<std::int32_t>(v > kInt32Max ? kInt32Max : v < kInt32Min ? kInt32Min : v);
            });
            break;
        }
        case Mode::Scaled32: {
            const double bzero = format_.bzero;
            const double bscale = format_.bscale;
            convert_run<4>(in, count, out, range, [bzero, bscale](const unsigned char* p) {
                return round_to_int32(bzero + bscale * static_cast<std::int32_t>(load_be32(p)));
            });
            break;
        }
        case Mode::Float:
            convert_run<4>(in, count, out, range,
                           [](const unsigned char* p) { return round_to_int32(load_be_float(p)); });
            break;
        case Mode::FloatScaled: {
            const double bzero = format_.bzero;
            const double bscale = format_.bscale;
            convert_run<4>(in, count, out, range, [bzero, bscale](const unsigned char* p) {
                return round_to_int32(bzero + bscale * round_to_int32(load_be_float(p)));
            });
            break;
        }
    }
}

}  // namespace trakora
