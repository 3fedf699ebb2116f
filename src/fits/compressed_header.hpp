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

// Why CFITSIO must not read the header whose cards are `cards`, or "" when it may: a card
// it reads as a number (BITPIX, NAXISn, PCOUNT, BZERO, ZBITPIX, ZTILEn, ZVALn, TNULLn,
// ...) whose value is no number as it reads one. CFITSIO 4.2 writes past its message
// buffer when such a value is long.
std::string number_cards_problem(const std::vector<std::string>& cards);

// Why CFITSIO must not be handed the compressed extension whose cards are `cards`, or ""
// when it may: sizes and tiles CFITSIO divides by (ZNAXIS 1 to 3, ZNAXISn and ZTILEn of
// at least 1), a Rice block size (ZVAL1) of at least 1 and byte count (ZVAL2) of 1, 2, 4
// or 8, each read as
// CFITSIO reads it, a table or compression card given twice, and number_cards_problem's. CFITSIO
// itself stops with a division by zero on some of these.
std::string compressed_header_problem(const std::vector<std::string>& cards);

}  // namespace trakora
