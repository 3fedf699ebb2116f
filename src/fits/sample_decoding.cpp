// SPDX-License-Identifier: MIT
#include "fits/sample_decoding.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace trakora {
namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();
// The smallest value that rounds (half to even) beyond the largest 32-bit value.
constexpr double kRoundsAboveMax = 2147483647.5;

std::uint32_t load_be16(const unsigned char* p) { return (std::uint32_t{p[0]} << 8) | p[1]; }

std::uint32_t load_be32(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}

float load_be_float(const unsigned char* p) { return std::bit_cast<float>(load_be32(p)); }

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

#if defined(__SSE2__)
// Four big-endian 32-bit samples as host-order lanes. Without SSSE3 there is no byte
// shuffle, so the bytes of each 16-bit half are swapped by shifts and the halves by
// word shuffles; the compiler cannot find this for the portable loads (it leaves the
// 32-bit loops scalar, a bswap and two compares per sample).
__m128i load_be32x4(const unsigned char* p) {
    const __m128i big_endian = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i swapped_halves =
        _mm_or_si128(_mm_slli_epi16(big_endian, 8), _mm_srli_epi16(big_endian, 8));
    return _mm_shufflelo_epi16(_mm_shufflehi_epi16(swapped_halves, 0xB1), 0xB1);
}

// Per-lane minimum and maximum of four 32-bit lanes (SSE2 has no signed 32-bit min/max).
struct LaneRange {
    __m128i lows;
    __m128i highs;
    explicit LaneRange(const PixelRange& range)
        : lows(_mm_set1_epi32(range.min)), highs(_mm_set1_epi32(range.max)) {}
    void add(__m128i v) {
        const __m128i below = _mm_cmplt_epi32(v, lows);
        lows = _mm_or_si128(_mm_and_si128(below, v), _mm_andnot_si128(below, lows));
        const __m128i above = _mm_cmpgt_epi32(v, highs);
        highs = _mm_or_si128(_mm_and_si128(above, v), _mm_andnot_si128(above, highs));
    }
    void fold_into(PixelRange& range) const {
        alignas(16) std::int32_t lane_lows[4];
        alignas(16) std::int32_t lane_highs[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(lane_lows), lows);
        _mm_store_si128(reinterpret_cast<__m128i*>(lane_highs), highs);
        for (int k = 0; k < 4; ++k) {
            range.min = std::min(range.min, lane_lows[k]);
            range.max = std::max(range.max, lane_highs[k]);
        }
    }
};

// Signed 32-bit samples stored as they are, four at a time.
void copy_int32_sse2(const unsigned char* in, std::size_t count, std::int32_t* out,
                     PixelRange& range) {
    LaneRange lanes(range);
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i v = load_be32x4(in + 4 * i);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), v);
        lanes.add(v);
    }
    lanes.fold_into(range);
    convert_run<4>(in + 4 * i, count - i, out + i, range,
                   [](const unsigned char* p) { return static_cast<std::int32_t>(load_be32(p)); });
}

// Single-precision samples to rounded integers, four at a time. The processor's own
// conversion rounds to the nearest even integer (the default rounding mode) and turns
// NaN and every value beyond the range into 0x80000000, which is already right for the
// negative end; the positive end and NaN are fixed up by masks. The compiler cannot
// vectorise the portable form of this (it will not speculate the float arithmetic), and
// floating-point images are the slowest format without it.
void round_floats_sse2(const unsigned char* in, std::size_t count, std::int32_t* out,
                       PixelRange& range) {
    LaneRange lanes(range);
    const __m128 two_to_31 = _mm_set1_ps(0x1p31f);
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128 f = _mm_castsi128_ps(load_be32x4(in + 4 * i));
        __m128i v = _mm_cvtps_epi32(f);
        v = _mm_xor_si128(
            v, _mm_castps_si128(_mm_cmpge_ps(f, two_to_31)));  // 0x80000000 -> 0x7FFFFFFF
        v = _mm_andnot_si128(_mm_castps_si128(_mm_cmpunord_ps(f, f)), v);  // NaN -> 0
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), v);
        lanes.add(v);
    }
    lanes.fold_into(range);
    convert_run<4>(in + 4 * i, count - i, out + i, range,
                   [](const unsigned char* p) { return round_to_int32(load_be_float(p)); });
}
#endif

}  // namespace

int bytes_per_sample(SampleKind kind) {
    switch (kind) {
        case SampleKind::UInt8:
            return 1;
        case SampleKind::UInt16:
            return 2;
        case SampleKind::Int32:
        case SampleKind::Float32:
            return 4;
    }
    return 4;
}

std::int32_t scale_integer_sample(double raw, double bzero, double bscale,
                                  std::int64_t wrap_above) {
    const double scaled = bzero + bscale * raw;
    const std::int32_t v = round_to_int32(scaled);
    if (scaled < kRoundsAboveMax && v > wrap_above)
        return static_cast<std::int32_t>(v - (wrap_above + 1));
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
            mode_ = (!format.scaled || (unit_scale && format.bzero == 0)) ? Mode::Float
                                                                          : Mode::FloatScaled;
            break;
    }
}

void SampleDecoder::decode(const unsigned char* in, std::size_t count, std::int32_t* out,
                           PixelRange& range) const {
    switch (mode_) {
        case Mode::Table:
            if (format_.kind == SampleKind::UInt8) {
                convert_run<1>(in, count, out, range,
                               [this](const unsigned char* p) { return table_[*p]; });
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
#if defined(__SSE2__)
            copy_int32_sse2(in, count, out, range);
#else
            convert_run<4>(in, count, out, range, [](const unsigned char* p) {
                return static_cast<std::int32_t>(load_be32(p));
            });
#endif
            break;
        case Mode::Offset32: {
            const std::int64_t offset = offset32_;
            convert_run<4>(in, count, out, range, [offset](const unsigned char* p) {
                const std::int64_t v = static_cast<std::int32_t>(load_be32(p)) + offset;
                return static_cast<std::int32_t>(v > kInt32Max   ? kInt32Max
                                                 : v < kInt32Min ? kInt32Min
                                                                 : v);
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
#if defined(__SSE2__)
            round_floats_sse2(in, count, out, range);
#else
            convert_run<4>(in, count, out, range,
                           [](const unsigned char* p) { return round_to_int32(load_be_float(p)); });
#endif
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
