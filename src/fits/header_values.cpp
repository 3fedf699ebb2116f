// SPDX-License-Identifier: MIT
#include "fits/header_values.hpp"

#include "fits/header_cards.hpp"

namespace trakora {
namespace {

// Adds the card's keyword and value unless the header has the keyword already; false at END.
bool add_card(HeaderValues& values, std::string_view card) {
    const std::string_view keyword = trimmed_blanks(card.substr(0, 8));
    if (keyword == "END") return false;
    if (card.size() < 9 || card[8] != '=' || keyword.empty()) return true;
    values.emplace(std::string(keyword), card_string_value(card));
    return true;
}

}  // namespace

HeaderValues header_values(std::span<const std::string> cards) {
    HeaderValues values;
    for (const std::string& card : cards)
        if (!add_card(values, card)) break;
    return values;
}

HeaderValues header_values(std::string_view cards) {
    HeaderValues values;
    for (std::size_t at = 0; at + kCardBytes <= cards.size(); at += kCardBytes)
        if (!add_card(values, cards.substr(at, kCardBytes))) break;
    return values;
}

std::optional<std::string> header_value(const HeaderValues& header, std::string_view keyword) {
    const auto it = header.find(keyword);
    if (it == header.end() || it->second.empty()) return std::nullopt;
    return it->second;
}

}  // namespace trakora
