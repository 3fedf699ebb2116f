// SPDX-License-Identifier: MIT
// The header of a tile-compressed image as its uncompressed twin carries it, made from
// the compressed extension's own cards: ZBITPIX, ZNAXIS and ZNAXISn become BITPIX, NAXIS
// and NAXISn, the cards that describe the table and its compression go, and every other
// card (BZERO, BSCALE, DATE-OBS, ...) stays as it is.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace trakora {

// The twin's cards from the extension's `cards` (kCardBytes each, END or not), starting
// with SIMPLE and ending with END; no more than kMaxHeaderCards.
std::string uncompressed_image_cards(const std::vector<std::string>& cards);

}  // namespace trakora
