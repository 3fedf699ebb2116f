// SPDX-License-Identifier: MIT
#include "fits/host_samples.hpp"

#include <cstdint>
#include <cstring>
#include <vector>

namespace trakora {
namespace {

template <typename T>
void big_endian_row(const T* in, std::size_t count, std::size_t step, unsigned char* out) {
    for (std::size_t i = 0; i < count; ++i) {
        const T v = in[i * step];
        for (std::size_t b = 0; b < sizeof(T); ++b) {
            out[i * sizeof(T) + b] = static_cast<unsigned char>(v >> (8 * (sizeof(T) - 1 - b)));
        }
    }
}

}  // namespace

void decode_host_samples(const HostSamples& s, const SampleFormat& format, ImageBuffer& image,
                         PixelRange& range, ImageBuffer* values,
                         std::optional<FloatRange>& value_range) {
    const SampleDecoder decoder(format);
    const std::size_t bytes = static_cast<std::size_t>(bytes_per_sample(format.kind));
    const std::size_t width = static_cast<std::size_t>(s.width);
    std::vector<unsigned char> row(width * bytes);
    const bool keep_values =
        values != nullptr && format.kind == SampleKind::Float32 && s.planes == 1;
    FloatRange floats;
    for (int p = 0; p < s.planes; ++p) {
        for (int y = 0; y < s.height; ++y) {
            const std::size_t start = static_cast<std::size_t>(p) * s.plane_step +
                                      static_cast<std::size_t>(y) * s.row_step;
            switch (format.kind) {
                case SampleKind::UInt8:
                    big_endian_row(static_cast<const std::uint8_t*>(s.data) + start, width,
                                   s.pixel_step, row.data());
                    break;
                case SampleKind::UInt16:
                    big_endian_row(static_cast<const std::uint16_t*>(s.data) + start, width,
                                   s.pixel_step, row.data());
                    break;
                case SampleKind::Int32:
                case SampleKind::Float32:
                    big_endian_row(static_cast<const std::uint32_t*>(s.data) + start, width,
                                   s.pixel_step, row.data());
                    break;
            }
            decoder.decode(row.data(), width, image.row(y, p), range);
            if (keep_values) store_big_endian_values(row.data(), width, values->row(y, p), floats);
        }
    }
    if (keep_values) value_range = floats;
}

}  // namespace trakora
