// SPDX-License-Identifier: MIT
#include "fits/compressed_tiles.hpp"

#include <zlib.h>

#include <algorithm>
#include <optional>

namespace trakora {

std::int64_t tile_count(const TileGrid& grid) {
    std::int64_t count = 1;
    for (std::size_t a = 0; a < 3; ++a) count *= (grid.sides[a] + grid.tile[a] - 1) / grid.tile[a];
    return count;
}

std::array<std::int64_t, 3> tile_origin(const TileGrid& grid, std::int64_t index) {
    std::array<std::int64_t, 3> origin{};
    for (std::size_t a = 0; a < 3; ++a) {
        const std::int64_t across = (grid.sides[a] + grid.tile[a] - 1) / grid.tile[a];
        origin[a] = index % across * grid.tile[a];
        index /= across;
    }
    return origin;
}

std::array<std::int64_t, 3> tile_sides(const TileGrid& grid, std::int64_t index) {
    const std::array<std::int64_t, 3> origin = tile_origin(grid, index);
    std::array<std::int64_t, 3> sides{};
    for (std::size_t a = 0; a < 3; ++a)
        sides[a] = std::min(grid.tile[a], grid.sides[a] - origin[a]);
    return sides;
}

std::string gzip_tile_problem(std::span<const std::uint8_t> stream, std::uint64_t limit) {
    z_stream z{};
    // A gzip member only, as CFITSIO inflates it.
    if (inflateInit2(&z, 15 + 16) != Z_OK) return "cannot inflate";
    std::array<std::uint8_t, 16384> out;
    std::uint64_t total = 0;
    std::size_t fed = 0;
    std::string problem;
    for (;;) {
        if (z.avail_in == 0 && fed < stream.size()) {
            const std::size_t part = std::min<std::size_t>(stream.size() - fed, 1u << 30);
            z.next_in = const_cast<Bytef*>(stream.data() + fed);
            z.avail_in = static_cast<uInt>(part);
            fed += part;
        }
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        const int code = inflate(&z, Z_NO_FLUSH);
        total += out.size() - z.avail_out;
        if (total > limit) {
            problem = "inflates beyond its size";
            break;
        }
        if (code == Z_STREAM_END) break;
        if (code == Z_BUF_ERROR && z.avail_in == 0 && fed == stream.size()) {
            problem = "cut short";
            break;
        }
        if (code != Z_OK) {
            problem = "corrupt";
            break;
        }
    }
    inflateEnd(&z);
    return problem;
}

namespace {

// Reads a stream bit by bit, the first bit the highest of its byte, and says when a read
// would go past its end.
class BitWalk {
  public:
    explicit BitWalk(std::span<const std::uint8_t> s) : stream_(s), bits_(s.size() * 8) {}
    bool skip(std::uint64_t n) {
        if (n > bits_ - at_) return false;
        at_ += n;
        return true;
    }
    std::optional<std::uint32_t> read(int n) {
        if (static_cast<std::uint64_t>(n) > bits_ - at_) return std::nullopt;
        std::uint32_t v = 0;
        for (int k = 0; k < n; ++k, ++at_)
            v = (v << 1) | ((stream_[at_ / 8] >> (7 - at_ % 8)) & 1u);
        return v;
    }
    // Past a run of 0 bits and the 1 that ends it.
    bool skip_unary() {
        while (at_ < bits_) {
            if (at_ % 8 == 0 && stream_[at_ / 8] == 0) {
                at_ += 8;
                continue;
            }
            if ((stream_[at_ / 8] >> (7 - at_ % 8)) & 1u) {
                ++at_;
                return true;
            }
            ++at_;
        }
        return false;
    }

  private:
    std::span<const std::uint8_t> stream_;
    std::uint64_t bits_;
    std::uint64_t at_ = 0;
};

}  // namespace

std::string rice_tile_problem(std::span<const std::uint8_t> stream, std::int64_t samples, int block,
                              int bytes) {
    if (block < 1) return "Rice block size below 1";
    if (bytes != 1 && bytes != 2) bytes = 4;
    // The code's width and its value for a block stored raw, by the sample's size.
    const int code_bits = bytes == 1 ? 3 : bytes == 2 ? 4 : 5;
    const std::uint32_t raw = bytes == 1 ? 6 : bytes == 2 ? 14 : 25;
    const char* const short_stream = "Rice stream cut short";
    BitWalk walk(stream);
    // The first sample as it is, then each block's code; a code of 0 repeats the last
    // sample, `raw` + 1 stores the block's differences whole, others split each into a
    // run of zeros, a 1 and (code - 1) low bits.
    if (samples > 0 && !walk.skip(8u * static_cast<unsigned>(bytes))) return short_stream;
    for (std::int64_t i = 0; i < samples; i += block) {
        const std::int64_t count = std::min<std::int64_t>(block, samples - i);
        const std::optional<std::uint32_t> code = walk.read(code_bits);
        if (!code) return short_stream;
        if (*code == 0) continue;
        if (*code - 1 == raw) {
            if (!walk.skip(static_cast<std::uint64_t>(count) * 8u * static_cast<unsigned>(bytes)))
                return short_stream;
            continue;
        }
        for (std::int64_t k = 0; k < count; ++k)
            if (!walk.skip_unary() || !walk.skip(*code - 1)) return short_stream;
    }
    return {};
}

std::string plio_tile_problem(std::span<const std::int16_t> words) {
    // The header: word 2 the list's length when above 0, the first instruction then word 3;
    // else the length in words 3 and 4 (low and high 15 bits), the first after word 1's
    // count. Words are counted from 0 here.
    const char* const beyond = "PLIO line list reads beyond its end";
    const auto n = static_cast<std::int64_t>(words.size());
    if (n < 3) return beyond;
    std::int64_t length = words[2];
    std::int64_t first = 3;
    if (length <= 0) {
        if (n < 5) return beyond;
        length = (static_cast<std::int64_t>(words[4]) << 15) + words[3];
        first = words[1];
    }
    if (length <= 0) return {};  // an empty list, read no further
    if (first < 0 || length > n) return beyond;
    // An instruction of code 1 (word / 4096, as C divides) takes the next word as well.
    for (std::int64_t at = first; at < length; ++at) {
        if (words[static_cast<std::size_t>(at)] / 4096 != 1) continue;
        if (++at >= n) return beyond;
    }
    return {};
}

}  // namespace trakora
