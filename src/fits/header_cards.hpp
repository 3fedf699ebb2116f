// SPDX-License-Identifier: MIT
// FITS header cards: their sizes, and the one scanner that walks them in a file. The
// reader and newest-image detection both read headers through walk_header_cards.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "fits/read_only_file.hpp"

namespace trakora {

inline constexpr std::size_t kCardBytes = 80;
inline constexpr std::size_t kBlockBytes = 2880;  // headers and data come in whole blocks
inline constexpr std::size_t kCardsPerBlock = kBlockBytes / kCardBytes;
// No header longer than this is ever read as an image, so no scan looks past it.
inline constexpr std::size_t kMaxHeaderCards = 500;

inline bool is_end_card(std::string_view card) { return card.starts_with("END"); }

// Whether columns 1-8 of `card` are exactly `keyword` padded with blanks to 8 characters
// ("BITPIX  ").
inline bool has_keyword(std::string_view card, std::string_view padded_keyword) {
    return card.substr(0, 8) == padded_keyword;
}

// `text` without the blanks (spaces and tabs) at either end.
inline std::string_view trimmed_blanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The number in the value field (columns 10-30), by the program's number rule.
double card_number(std::string_view card);

// The value text of a card, from column 10 on: a string value is what stands between
// its quotes, a doubled quote read as one and blanks at either end dropped (an
// unterminated string runs to the card's end); any other value is the field up to a
// comment, trimmed, where a comment starts at a "/" that follows a blank or opens the
// field, so an unquoted "09/12/96" stays whole. The one reading of a card's value for
// every keyword beyond the reader's own.
std::string card_string_value(std::string_view card);

struct HeaderWalk {
    bool read = false;       // every read came back whole
    bool found_end = false;  // an END card was met
    std::size_t cards = 0;   // cards passed to the visitor
};

// Reads the header of `file` (an ordinary file of `size` bytes) that starts at byte
// `start` into `buffer`, as many whole cards at a time as it holds, and calls visit(card)
// for every card in order, up to and including the first END card, else up to the last
// whole card; never beyond card kMaxHeaderCards. A read that comes back short (the file
// shrank, an error) ends the walk with `read` false.
template <class Visit>
HeaderWalk walk_header_cards_at(const ReadOnlyFile& file, std::uint64_t size, std::uint64_t start,
                                std::span<unsigned char> buffer, Visit&& visit) {
    HeaderWalk walk;
    const std::uint64_t length = size > start ? size - start : 0;
    const std::size_t whole_cards =
        static_cast<std::size_t>(std::min<std::uint64_t>(length / kCardBytes, kMaxHeaderCards));
    const std::size_t per_read = buffer.size() / kCardBytes;
    std::size_t done = 0;
    while (done < whole_cards) {
        const std::size_t cards = std::min(whole_cards - done, per_read);
        const std::size_t bytes = cards * kCardBytes;
        if (file.read_at(buffer.data(), bytes, start + done * kCardBytes) != bytes) return walk;
        const std::string_view chunk(reinterpret_cast<const char*>(buffer.data()), bytes);
        for (std::size_t c = 0; c < cards; ++c) {
            const std::string_view card = chunk.substr(c * kCardBytes, kCardBytes);
            ++walk.cards;
            visit(card);
            if (is_end_card(card)) {
                walk.found_end = true;
                walk.read = true;
                return walk;
            }
        }
        done += cards;
    }
    walk.read = true;
    return walk;
}

// The header at the start of the file: the primary header.
template <class Visit>
HeaderWalk walk_header_cards(const ReadOnlyFile& file, std::uint64_t size,
                             std::span<unsigned char> buffer, Visit&& visit) {
    return walk_header_cards_at(file, size, 0, buffer, std::forward<Visit>(visit));
}

}  // namespace trakora
