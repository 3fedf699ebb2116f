// SPDX-License-Identifier: MIT
#include "fits/image_layout.hpp"

#include <array>
#include <cmath>
#include <string_view>

#include "base/number_text.hpp"

namespace trakora {
namespace {

constexpr double kMaxSide = kBufferSide;

struct Keyword {
    std::string_view name;  // columns 1-8 exactly
    double FitsHeader::*value;
};

constexpr std::array<Keyword, 6> kKeywords = {{
    {"BITPIX  ", &FitsHeader::bitpix},
    {"NAXIS1  ", &FitsHeader::naxis1},
    {"NAXIS2  ", &FitsHeader::naxis2},
    {"NAXIS3  ", &FitsHeader::naxis3},
    {"BZERO   ", &FitsHeader::bzero},
    {"BSCALE  ", &FitsHeader::bscale},
}};

}  // namespace

void read_header_keywords(FitsHeader& h) {
    for (std::size_t n = 1; n <= h.card_count(); ++n) {
        const std::string_view card = h.card(n);
        for (const Keyword& k : kKeywords) {
            if (has_keyword(card, k.name)) h.*k.value = card_number(card);
        }
    }
}

// The checks on the keywords, in the order the messages take precedence. Returns the
// reason for a rejection, or nothing. Once BITPIX is present the header keeps its
// magnitude, and the sign tells a floating-point image.
std::string header_error(FitsHeader& h) {
    if (h.bitpix == -1) return "BITPIX error";
    h.floating_point = h.bitpix == -32;
    h.bitpix = std::fabs(h.bitpix);
    if (h.bitpix != 8 && h.bitpix != 16 && h.bitpix != 32) {
        return "BITPIX error : BITPIX =" + signed_number_text(h.bitpix);
    }
    if (h.naxis1 == -1) return "NAXIS1 error";
    if (h.naxis2 == -1) return "NAXIS2 error";
    // The image buffer has room for kBufferSide columns and rows, no more.
    if (h.naxis1 > kMaxSide) return "NAXIS1 error : NAXIS1 =" + signed_number_text(h.naxis1);
    if (h.naxis2 > kMaxSide) return "NAXIS2 error : NAXIS2 =" + signed_number_text(h.naxis2);
    return {};
}

DataLayout data_layout(const FitsHeader& h) {
    DataLayout layout;
    const std::size_t end_card = static_cast<std::size_t>(h.end_card);
    const std::size_t header_cards =
        (end_card + kCardsPerBlock - 1) / kCardsPerBlock * kCardsPerBlock;
    layout.offset = static_cast<std::uint64_t>(header_cards) * kCardBytes;
    layout.format.bzero = h.bzero;
    layout.format.bscale = h.bscale;
    if (h.floating_point) {
        layout.format.kind = SampleKind::Float32;
        layout.planes = h.naxis3 == 3 ? 3 : 1;
        layout.format.scaled = layout.planes == 3;
    } else {
        layout.format.kind = h.bitpix == 8    ? SampleKind::UInt8
                             : h.bitpix == 16 ? SampleKind::UInt16
                                              : SampleKind::Int32;
    }
    layout.width = pixel_extent(h.naxis1);
    layout.height = pixel_extent(h.naxis2);
    return layout;
}

}  // namespace trakora
