// SPDX-License-Identifier: MIT
#include "fits/read_fits.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "fits/number_text.hpp"
#include "fits/read_only_file.hpp"
#include "fits/sample_decoding.hpp"

namespace trakora {
namespace {

constexpr std::size_t kCardBytes = 80;
constexpr int kCardsPerBlock = 36;  // one FITS block of 2880 bytes
constexpr double kMaxSide = kBufferSide;

// One read block: large enough to take the whole header scan (500 cards) at once and
// to keep the number of reads of a full-size image small, small enough to stay in the
// cache between the read and the conversion. A multiple of 4, so no sample straddles
// two blocks.
constexpr std::size_t kReadBlockBytes = 128 * 1024;
static_assert(kReadBlockBytes % 4 == 0 && kReadBlockBytes >= kMaxHeaderCards * kCardBytes);
using ReadBlock = std::array<unsigned char, kReadBlockBytes>;

struct Keyword {
    std::string_view name;  // columns 1-8 exactly
    Number State::*variable;
    Number absent;
};

constexpr std::array<Keyword, 6> kKeywords = {{
    {"BITPIX  ", &State::fits_bitpix, -1},
    {"NAXIS1  ", &State::image_width, -1},
    {"NAXIS2  ", &State::image_height, -1},
    {"NAXIS3  ", &State::image_planes, -1},
    {"BZERO   ", &State::fits_bzero, 0},
    {"BSCALE  ", &State::fits_bscale, 1},
}};

// What the header phase hands to the pixel phase.
struct DataLayout {
    std::uint64_t offset = 0;  // byte where the samples begin
    SampleFormat format;
    int width = 0;   // whole pixels decoded per row
    int height = 0;  // rows decoded per plane
    int planes = 1;  // planes decoded

    std::uint64_t samples() const {
        return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) *
               static_cast<std::uint64_t>(planes);
    }
    std::uint64_t end() const {
        return offset + samples() * static_cast<std::uint64_t>(bytes_per_sample(format.kind));
    }
};

void set_keyword_defaults(State& s) {
    for (const Keyword& k : kKeywords) s.*k.variable = k.absent;
}

// Stores the cards of `header` (whole cards only) in header_cards 1.., up to and
// including the first one beginning with END, and reads the keywords from them. Returns
// whether an END card was found; header_end_card is its number, or one more than the
// number of cards stored.
bool scan_cards(State& s, std::string_view header) {
    const std::size_t cards = std::min<std::size_t>(header.size() / kCardBytes, kMaxHeaderCards);
    std::size_t stored = 0;
    bool found_end = false;
    while (stored < cards && !found_end) {
        const std::string_view card = header.substr(stored * kCardBytes, kCardBytes);
        ++stored;
        s.header_cards[stored].assign(card);
        found_end = card.starts_with("END");
    }
    s.header_end_card = static_cast<Number>(found_end ? stored : stored + 1);

    set_keyword_defaults(s);
    for (std::size_t i = 1; i <= stored; ++i) {
        const std::string_view card = s.header_cards[i];
        for (const Keyword& k : kKeywords) {
            if (card.substr(0, 8) == k.name) s.*k.variable = read_number(card.substr(9, 21));
        }
    }
    return found_end;
}

// The checks on the keywords, in the order the messages take precedence. Returns the
// reason for a rejection, or nothing; leaves fits_bitpix positive once it is present.
std::string header_error(State& s, bool& floating_point) {
    if (s.fits_bitpix == -1) return "BITPIX error";
    floating_point = s.fits_bitpix == -32;
    s.fits_bitpix = std::fabs(s.fits_bitpix);
    if (s.fits_bitpix != 8 && s.fits_bitpix != 16 && s.fits_bitpix != 32) {
        return "BITPIX error : BITPIX =" + signed_number_text(s.fits_bitpix);
    }
    if (s.image_width == -1) return "NAXIS1 error";
    if (s.image_height == -1) return "NAXIS2 error";
    // The image buffer has room for kBufferSide columns and rows, no more.
    if (s.image_width > kMaxSide)
        return "NAXIS1 error : NAXIS1 =" + signed_number_text(s.image_width);
    if (s.image_height > kMaxSide)
        return "NAXIS2 error : NAXIS2 =" + signed_number_text(s.image_height);
    return {};
}

DataLayout data_layout(const State& s, bool floating_point) {
    DataLayout layout;
    const int end_card = static_cast<int>(s.header_end_card);
    const int header_cards = (end_card + kCardsPerBlock - 1) / kCardsPerBlock * kCardsPerBlock;
    layout.offset = static_cast<std::uint64_t>(header_cards) * kCardBytes;
    layout.format.bzero = s.fits_bzero;
    layout.format.bscale = s.fits_bscale;
    if (floating_point) {
        layout.format.kind = SampleKind::Float32;
        layout.planes = s.image_planes == 3 ? 3 : 1;
        layout.format.scaled = layout.planes == 3;
    } else {
        layout.format.kind = s.fits_bitpix == 8    ? SampleKind::UInt8
                             : s.fits_bitpix == 16 ? SampleKind::UInt16
                                                   : SampleKind::Int32;
    }
    layout.width = pixel_extent(s.image_width);
    layout.height = pixel_extent(s.image_height);
    return layout;
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

}  // namespace

std::int16_t read_fits_file(State& s, const std::filesystem::path& path, std::string& message) {
    constexpr std::int16_t kRead = 0;
    constexpr std::int16_t kRejected = -1;
    s.pixel_max = -1;
    s.pixel_min = 2147483647;
    const auto reject = [&](std::string_view reason) {
        message = s.fits_file_name;
        message += reason;
        s.pixel_max = -1;
        s.pixel_min = 2147483647;
        return kRejected;
    };

    // A file that cannot be opened, measured or read as far as its length says (one the
    // capture software still holds, a folder): nothing of an earlier file's header may
    // pass for this one's, so the header values are those of a file without cards.
    const auto reject_unreadable = [&] {
        s.header_end_card = 1;
        set_keyword_defaults(s);
        return reject("open error");
    };

    const ReadOnlyFile file(path);
    const std::optional<std::uint64_t> size =
        file.is_open() ? file.regular_file_size() : std::nullopt;
    if (!size) return reject_unreadable();

    ReadBlock block;
    const std::size_t scan_bytes = static_cast<std::size_t>(
        std::min<std::uint64_t>(*size / kCardBytes, kMaxHeaderCards) * kCardBytes);
    if (file.read_at(block.data(), scan_bytes, 0) != scan_bytes) return reject_unreadable();
    const bool found_end =
        scan_cards(s, std::string_view(reinterpret_cast<const char*>(block.data()), scan_bytes));
    // header_cards ends at slot 500: a longer header cannot be held, and what follows
    // its first 500 cards is unknown.
    if (!found_end && *size / kCardBytes > kMaxHeaderCards) return reject("END error");

    bool floating_point = false;
    if (const std::string error = header_error(s, floating_point); !error.empty())
        return reject(error);

    const DataLayout layout = data_layout(s, floating_point);
    if (layout.samples() > 0 && layout.end() > *size) return reject("data size error");

    PixelRange range;
    if (!read_pixels(file, layout, block, s.image_pixels, range)) return reject("data size error");
    s.pixel_min = range.min;
    s.pixel_max = range.max;
    return kRead;
}

}  // namespace trakora
