// SPDX-License-Identifier: MIT
// The FITS reader: header cards, keyword values and the primary image's samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/image_buffer.hpp"
#include "fits/header_cards.hpp"
#include "fits/sample_decoding.hpp"
#include "fits/sample_values.hpp"

namespace trakora {

// What the reader learnt from a header.
struct FitsHeader {
    std::string cards;  // the cards read, kCardBytes each, up to and including END
    int end_card = 1;   // the number (from 1) of the END card, or one more than the cards read
    // BITPIX as the program keeps it: its magnitude once the card is present, -1 when it
    // is absent; `floating_point` tells a -32 image.
    double bitpix = -1;
    bool floating_point = false;
    double naxis1 = -1;  // -1 when absent, as for NAXIS2 and NAXIS3
    double naxis2 = -1;
    double naxis3 = -1;
    double bzero = 0;
    double bscale = 1;

    std::size_t card_count() const { return cards.size() / kCardBytes; }
    // Card n, counted from 1.
    std::string_view card(std::size_t n) const {
        return std::string_view(cards).substr((n - 1) * kCardBytes, kCardBytes);
    }
};

struct FitsRead {
    FitsHeader header;
    // The smallest and largest sample stored; 2147483647 and -1 when nothing was read.
    PixelRange range;
    std::string reason;  // why the file was rejected; empty when the image was read
    // The file's length in bytes when it was opened; 0 when it could not be measured.
    std::uint64_t file_size = 0;
    // A rejection that a file still being written meets: it ends before the samples its
    // header announces ("data size error"), or its header has no END card yet and the
    // file does not end on a block boundary (whatever the reason then given, save
    // "END error"). The same file may read well once it is complete.
    bool incomplete = false;
    // The float samples' range when a values plane was given and the image is a
    // single-plane float one that may be measured from its values (see
    // fits/sample_values.hpp); nothing otherwise.
    std::optional<FloatRange> values;

    bool ok() const { return reason.empty(); }
};

// `read` rejected for `reason`: nothing of its range stays, as every reader rejects.
FitsRead rejected_read(FitsRead read, std::string reason, bool incomplete = false);

// Reads the FITS file at `path`: its header, and the samples of the primary image into
// `image` (plane by plane, row by row, whole pixels only).
//
// Reasons for a rejection, in the order they are checked: "open error" (the file cannot
// be opened, measured or read, or is no ordinary file; the header is then that of a file
// without cards), "END error" (no END card among the first 500 cards of a longer file),
// "BITPIX error", "BITPIX error : BITPIX = 64", "NAXIS1 error", "NAXIS2 error",
// "NAXIS1 error : NAXIS1 = 4000" and the same for NAXIS2 (more than the buffer's 3073
// columns or rows), "data size error" (the file is shorter than the samples the header
// announces). On a rejection the header holds what was read and `image` is untouched;
// should the file shrink while its samples are read, the read ends with "data size
// error" with part of the buffer already overwritten.
//
// With `values`, a single-plane float image whose rounded samples stay within +-1000 is
// read once more onto plane 0 of `values` (see fits/sample_values.hpp), and `values` of
// the result gives the floats' range; no other image is read twice.
FitsRead read_fits(const std::filesystem::path& path, ImageBuffer& image,
                   ImageBuffer* values = nullptr);

}  // namespace trakora
