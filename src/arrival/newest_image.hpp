// SPDX-License-Identifier: MIT
// The pieces of newest-image detection, for the program and for tools that order a
// whole folder by observation time.
#pragma once

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "arrival/name_rule.hpp"
#include "fits/file_names.hpp"
#include "fits/header_cards.hpp"
#include "fits/read_only_file.hpp"

namespace trakora {

// The candidates of `folder` in ascending byte order of their names: regular files (links
// followed) whose names the rule takes, hidden names (leading ".") left out. Empty when
// the folder cannot be read.
std::vector<std::string> list_candidates(const std::string& folder,
                                         NameRule rule = NameRule::specified);

// The order of images: a DATE-OBS card is later than another when its 80 characters are
// greater, byte by byte; among equal cards the name first in byte order comes first.
inline bool is_later_card(const char* card, const char* than) {
    return std::memcmp(card, than, kCardBytes) > 0;
}

struct HeaderScan {
    bool readable = false;  // every card up to END (or the last whole card) was read
    bool has_date = false;  // a DATE-OBS card was met before END
    std::array<char, kCardBytes> best_card{};  // the greatest DATE-OBS card, all 80 characters
};

// Reads the header cards of `name` in the open `folder` up to the first card starting
// with "END" (or the last whole 80-byte card, card 500 at most) and keeps the greatest
// DATE-OBS card. A tile-compressed file's (.fz) compressed extension and an XISF file's
// header are read too, as walk_image_header reads them.
// A file that cannot be opened or read is reported as not readable. `last_card` receives
// the last card read.
HeaderScan scan_header_dates(const ReadOnlyFile& folder, const char* name, std::string& last_card);

// The name of the file in `folder` whose greatest DATE-OBS card is the greatest of all
// candidates (names the rule takes, by default those ending in "Fit", "FIT", "FTS" or
// "Fts"; regular files, not hidden), compared byte by byte; the first in byte order of the
// name wins a tie. Empty when no file qualifies or the folder cannot be read.
std::string newest_fits_name(const std::string& folder, std::string& last_card,
                             NameRule rule = NameRule::specified);

// A candidate with its greatest DATE-OBS card.
struct DatedImage {
    std::string name;
    std::array<char, kCardBytes> date_card;
};

// Every candidate of `folder` that could be the newest image (readable, with a DATE-OBS
// card), oldest first by the order above: the order in which a night's images became
// the newest as they arrived.
std::vector<DatedImage> images_in_date_order(const std::string& folder, NameRule rule);

}  // namespace trakora
