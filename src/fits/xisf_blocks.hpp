// SPDX-License-Identifier: MIT
// XISF data blocks: how a block is compressed (`compression="codec:size"`, or
// `"codec+sh:size:item"` with byte shuffling), its decompression by zlib, LZ4 (a raw
// block, lz4 and lz4hc alike) and Zstandard, and byte shuffling both ways.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace trakora {

enum class BlockCodec { zlib, lz4, zstd };

struct BlockCompression {
    BlockCodec codec = BlockCodec::zlib;
    std::uint64_t size = 0;     // bytes once decompressed
    std::size_t item_size = 0;  // bytes of an item shuffled; 0 when not shuffled
};

// The compression an attribute names ("zlib:1024", "lz4hc+sh:2048:2"), or nothing for a
// codec or a number this reader does not know.
std::optional<BlockCompression> block_compression(std::string_view attribute);

// The attribute text for `compression` ("zstd+sh:2048:2").
std::string block_compression_text(const BlockCompression& compression);

// Decompresses `stored` into `out`, which must come out exactly `compression.size` bytes
// long, and undoes the shuffling. Returns why it could not, or nothing.
std::optional<std::string> decompress_block(std::span<const unsigned char> stored,
                                            const BlockCompression& compression,
                                            std::vector<unsigned char>& out);

// Compresses `data` (shuffling it first when `item_size` is above 1), for the writer.
std::vector<unsigned char> compress_block(std::span<const unsigned char> data, BlockCodec codec,
                                          std::size_t item_size);

// Byte shuffling: the first byte of every item, then the second of every item, and so on;
// the bytes after the last whole item stay where they are.
std::vector<unsigned char> shuffled_bytes(std::span<const unsigned char> data,
                                          std::size_t item_size);
std::vector<unsigned char> unshuffled_bytes(std::span<const unsigned char> data,
                                            std::size_t item_size);

}  // namespace trakora
