// SPDX-License-Identifier: MIT
#include "fits/xisf_blocks.hpp"

#include <lz4.h>
#include <zlib.h>
#include <zstd.h>

#include <charconv>
#include <limits>

namespace trakora {
namespace {

std::optional<std::uint64_t> whole_number(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || text.empty()) return {};
    return value;
}

constexpr std::uint64_t kLz4Limit = LZ4_MAX_INPUT_SIZE;

}  // namespace

std::optional<BlockCompression> block_compression(std::string_view attribute) {
    const std::size_t colon = attribute.find(':');
    if (colon == std::string_view::npos) return {};
    std::string_view codec = attribute.substr(0, colon);
    std::string_view rest = attribute.substr(colon + 1);
    BlockCompression c;
    const bool shuffled = codec.ends_with("+sh");
    if (shuffled) codec.remove_suffix(3);
    if (codec == "zlib") {
        c.codec = BlockCodec::zlib;
    } else if (codec == "lz4" || codec == "lz4hc") {
        c.codec = BlockCodec::lz4;
    } else if (codec == "zstd") {
        c.codec = BlockCodec::zstd;
    } else {
        return {};
    }
    const std::size_t second = rest.find(':');
    if (shuffled != (second != std::string_view::npos)) return {};
    const auto size = whole_number(rest.substr(0, second));
    if (!size) return {};
    c.size = *size;
    if (shuffled) {
        const auto item = whole_number(rest.substr(second + 1));
        if (!item || *item == 0 || *item > 16) return {};
        c.item_size = static_cast<std::size_t>(*item);
    }
    return c;
}

std::string block_compression_text(const BlockCompression& c) {
    std::string text = c.codec == BlockCodec::zlib  ? "zlib"
                       : c.codec == BlockCodec::lz4 ? "lz4"
                                                    : "zstd";
    if (c.item_size > 1) text += "+sh";
    text += ":" + std::to_string(c.size);
    if (c.item_size > 1) text += ":" + std::to_string(c.item_size);
    return text;
}

std::vector<unsigned char> shuffled_bytes(std::span<const unsigned char> data,
                                          std::size_t item_size) {
    std::vector<unsigned char> out(data.begin(), data.end());
    const std::size_t items = data.size() / item_size;
    for (std::size_t i = 0; i < items; ++i)
        for (std::size_t b = 0; b < item_size; ++b) out[b * items + i] = data[i * item_size + b];
    return out;
}

std::vector<unsigned char> unshuffled_bytes(std::span<const unsigned char> data,
                                            std::size_t item_size) {
    std::vector<unsigned char> out(data.begin(), data.end());
    const std::size_t items = data.size() / item_size;
    for (std::size_t i = 0; i < items; ++i)
        for (std::size_t b = 0; b < item_size; ++b) out[i * item_size + b] = data[b * items + i];
    return out;
}

std::optional<std::string> decompress_block(std::span<const unsigned char> stored,
                                            const BlockCompression& c,
                                            std::vector<unsigned char>& out) {
    if (c.size > std::numeric_limits<std::size_t>::max() / 2) return "block too large";
    out.assign(static_cast<std::size_t>(c.size), 0);
    switch (c.codec) {
        case BlockCodec::zlib: {
            uLongf length = static_cast<uLongf>(out.size());
            if (uncompress(out.data(), &length, stored.data(), static_cast<uLong>(stored.size())) !=
                    Z_OK ||
                length != out.size()) {
                return "zlib data corrupt";
            }
            break;
        }
        case BlockCodec::lz4: {
            if (stored.size() > kLz4Limit || c.size > kLz4Limit) return "LZ4 block too large";
            const int length = LZ4_decompress_safe(
                reinterpret_cast<const char*>(stored.data()), reinterpret_cast<char*>(out.data()),
                static_cast<int>(stored.size()), static_cast<int>(out.size()));
            if (length < 0 || static_cast<std::size_t>(length) != out.size()) {
                return "LZ4 data corrupt";
            }
            break;
        }
        case BlockCodec::zstd: {
            const std::size_t length =
                ZSTD_decompress(out.data(), out.size(), stored.data(), stored.size());
            if (ZSTD_isError(length) != 0 || length != out.size()) return "Zstandard data corrupt";
            break;
        }
    }
    if (c.item_size > 1) out = unshuffled_bytes(out, c.item_size);
    return std::nullopt;
}

std::vector<unsigned char> compress_block(std::span<const unsigned char> data, BlockCodec codec,
                                          std::size_t item_size) {
    std::vector<unsigned char> in(data.begin(), data.end());
    if (item_size > 1) in = shuffled_bytes(in, item_size);
    std::vector<unsigned char> out;
    switch (codec) {
        case BlockCodec::zlib: {
            uLongf length = compressBound(static_cast<uLong>(in.size()));
            out.resize(length);
            compress2(out.data(), &length, in.data(), static_cast<uLong>(in.size()), 6);
            out.resize(length);
            break;
        }
        case BlockCodec::lz4: {
            out.resize(static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(in.size()))));
            const int length = LZ4_compress_default(
                reinterpret_cast<const char*>(in.data()), reinterpret_cast<char*>(out.data()),
                static_cast<int>(in.size()), static_cast<int>(out.size()));
            out.resize(static_cast<std::size_t>(length));
            break;
        }
        case BlockCodec::zstd: {
            out.resize(ZSTD_compressBound(in.size()));
            out.resize(ZSTD_compress(out.data(), out.size(), in.data(), in.size(), 3));
            break;
        }
    }
    return out;
}

}  // namespace trakora
