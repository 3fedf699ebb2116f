// SPDX-License-Identifier: MIT
#include "fits/read_fits.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "fits/image_layout.hpp"
#include "fits/read_only_file.hpp"
#include "fits/sample_decoding.hpp"

namespace trakora {
namespace {

// One read block: large enough to take the whole header scan (500 cards) at once and
// to keep the number of reads of a full-size image small, small enough to stay in the
// cache between the read and the conversion. A multiple of 4, so no sample straddles
// two blocks.
constexpr std::size_t kReadBlockBytes = 128 * 1024;
static_assert(kReadBlockBytes % 4 == 0 && kReadBlockBytes >= kMaxHeaderCards * kCardBytes);
using ReadBlock = std::array<unsigned char, kReadBlockBytes>;

// Keeps the cards up to and including the first END and reads the keywords from them;
// a keyword given twice takes its last value.
void keep_cards(FitsHeader& h, const HeaderWalk& walk) {
    h.end_card = static_cast<int>(walk.found_end ? walk.cards : walk.cards + 1);
    read_header_keywords(h);
}

// Decodes the samples in file order into the image buffer: plane, then row, then
// column. Returns false when the file ends before the last sample.
bool read_pixels(const ReadOnlyFile& file, const DataLayout& layout, ReadBlock& block,
                 ImageBuffer& image, PixelRange& range) {
    const SampleDecoder decoder(layout.format);
    const std::size_t sample_bytes = static_cast<std::size_t>(bytes_per_sample(layout.format.kind));
    const std::size_t row = static_cast<std::size_t>(layout.width);
    std::uint64_t left = layout.samples();
    std::uint64_t offset = layout.offset;
    std::size_t x = 0;
    int y = 0;
    int p = 0;
    while (left > 0) {
        std::size_t in_block =
            static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size() / sample_bytes));
        const std::size_t bytes = in_block * sample_bytes;
        if (file.read_at(block.data(), bytes, offset) != bytes) return false;
        offset += bytes;
        left -= in_block;
        const unsigned char* in = block.data();
        while (in_block > 0) {
            const std::size_t run = std::min(in_block, row - x);
            decoder.decode(in, run, image.row(y, p) + x, range);
            in += run * sample_bytes;
            in_block -= run;
            x += run;
            if (x == row) {
                x = 0;
                if (++y == layout.height) {
                    y = 0;
                    ++p;
                }
            }
        }
    }
    return true;
}

// A single-plane float image's samples once more, onto the values plane, row by row.
// Returns false when the file ends before the last sample.
bool read_values(const ReadOnlyFile& file, const DataLayout& layout, ReadBlock& block,
                 ImageBuffer& values, FloatRange& range) {
    const std::size_t row_bytes = static_cast<std::size_t>(layout.width) * 4;
    const std::size_t rows_per_read = std::max<std::size_t>(1, block.size() / row_bytes);
    std::uint64_t offset = layout.offset;
    for (int y = 0; y < layout.height;) {
        const int rows = static_cast<int>(
            std::min<std::size_t>(rows_per_read, static_cast<std::size_t>(layout.height - y)));
        const std::size_t bytes = static_cast<std::size_t>(rows) * row_bytes;
        if (file.read_at(block.data(), bytes, offset) != bytes) return false;
        offset += bytes;
        for (int r = 0; r < rows; ++r, ++y) {
            store_big_endian_values(block.data() + static_cast<std::size_t>(r) * row_bytes,
                                    static_cast<std::size_t>(layout.width), values.row(y, 0),
                                    range);
        }
    }
    return true;
}

// Whether a float image is read again for its values: a single plane whose rounded
// samples stay within +-1000 (see measured_from_values); other images never pay for it.
bool wants_values(const DataLayout& layout, const PixelRange& range) {
    return layout.format.kind == SampleKind::Float32 && layout.planes == 1 && range.min >= -1000 &&
           range.max <= 1000 && range.min <= range.max;
}

}  // namespace

FitsRead rejected_read(FitsRead read, std::string reason, bool incomplete) {
    read.reason = std::move(reason);
    read.range = PixelRange{};
    read.incomplete = incomplete;
    return read;
}

FitsRead read_fits(const std::filesystem::path& path, ImageBuffer& image, ImageBuffer* values) {
    FitsRead result;
    const auto reject = [&](std::string_view reason) {
        const bool incomplete = result.incomplete;  // as set before the rejection
        return rejected_read(std::move(result), std::string(reason), incomplete);
    };

    // A file that cannot be opened, measured or read as far as its length says (one the
    // capture software still holds, a folder): nothing of an earlier file's header may
    // pass for this one's, so the header is that of a file without cards.
    const auto reject_unreadable = [&] {
        result.header = FitsHeader{};
        return reject("open error");
    };

    const ReadOnlyFile file(path);
    const std::optional<std::uint64_t> size =
        file.is_open() ? file.regular_file_size() : std::nullopt;
    if (!size) return reject_unreadable();
    result.file_size = *size;

    ReadBlock block;
    FitsHeader& h = result.header;
    const HeaderWalk walk =
        walk_header_cards(file, *size, block, [&](std::string_view card) { h.cards.append(card); });
    if (!walk.read) return reject_unreadable();
    keep_cards(h, walk);
    // A longer header cannot be held, and what follows its first 500 cards is unknown.
    if (!walk.found_end && *size / kCardBytes > kMaxHeaderCards) return reject("END error");

    // A rejection from here on may be one of a file still being written: it ends before
    // its samples, or its header has no END yet and stops inside a block.
    const bool header_unfinished = !walk.found_end && *size % kBlockBytes != 0;
    const auto reject_short = [&](std::string_view reason, bool cut_short) {
        result.incomplete = cut_short || header_unfinished;
        return reject(reason);
    };
    if (std::string error = header_error(h); !error.empty()) return reject_short(error, false);

    const DataLayout layout = data_layout(h);
    if (layout.samples() > 0 && layout.end() > *size) return reject_short("data size error", true);

    if (!read_pixels(file, layout, block, image, result.range))
        return reject_short("data size error", true);
    FloatRange value_range;
    if (values != nullptr && wants_values(layout, result.range) &&
        read_values(file, layout, block, *values, value_range))
        result.values = value_range;
    return result;
}

}  // namespace trakora
