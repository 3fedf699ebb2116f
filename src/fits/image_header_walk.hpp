// SPDX-License-Identifier: MIT
// The header cards of an image file of any format the program reads, walked as
// walk_header_cards walks a FITS file's: a FITS file's primary header; a tile-compressed
// file's empty primary header and then its first extension's, which holds the compressed
// image's cards; an XISF file's header as the cards xisf_cards makes of it, kept in
// `made_cards` so that the cards visited stay valid as long as it does.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "fits/file_names.hpp"
#include "fits/header_cards.hpp"
#include "fits/read_only_file.hpp"
#include "fits/xisf_reader.hpp"

namespace trakora {

template <class Visit>
HeaderWalk walk_image_header(const ReadOnlyFile& file, std::uint64_t size, ImageFormat format,
                             std::span<unsigned char> buffer, std::string& made_cards,
                             Visit&& visit) {
    switch (format) {
        case ImageFormat::fits:
            break;
        case ImageFormat::compressed_fits: {
            // The extension follows the primary header's last block when the primary
            // holds no data (NAXIS = 0), as in every tile-compressed file.
            bool empty_primary = false;
            HeaderWalk primary = walk_header_cards(file, size, buffer, [&](std::string_view card) {
                if (has_keyword(card, "NAXIS   ")) empty_primary = card_number(card) == 0;
                visit(card);
            });
            if (!primary.read || !primary.found_end || !empty_primary) return primary;
            const std::uint64_t start =
                (primary.cards + kCardsPerBlock - 1) / kCardsPerBlock * kBlockBytes;
            HeaderWalk extension = walk_header_cards_at(file, size, start, buffer, visit);
            extension.cards += primary.cards;
            return extension;
        }
        case ImageFormat::xisf: {
            HeaderWalk walk;
            std::optional<std::string> cards = xisf_header_cards(file, size);
            if (!cards) return walk;
            made_cards = std::move(*cards);
            for (std::size_t at = 0; at + kCardBytes <= made_cards.size(); at += kCardBytes) {
                const std::string_view card = std::string_view(made_cards).substr(at, kCardBytes);
                ++walk.cards;
                visit(card);
                walk.found_end = is_end_card(card);
            }
            walk.read = true;
            return walk;
        }
    }
    return walk_header_cards(file, size, buffer, std::forward<Visit>(visit));
}

}  // namespace trakora
