// SPDX-License-Identifier: MIT
#include "fits/header_values.hpp"

#include "fits/header_cards.hpp"

namespace trakora {
namespace {

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string value_text(std::string_view field) {
    field = trimmed(field);
    if (!field.empty() && field.front() == '\'') {
        std::string value;
        for (std::size_t i = 1; i < field.size(); ++i) {
            if (field[i] != '\'') {
                value += field[i];
            } else if (i + 1 < field.size() && field[i + 1] == '\'') {
                value += '\'';
                ++i;
            } else {
                break;
            }
        }
        return std::string(trimmed(value));
    }
    std::size_t end = 0;
    while (end < field.size() &&
           !(field[end] == '/' && (end == 0 || field[end - 1] == ' ' || field[end - 1] == '\t')))
        ++end;
    return std::string(trimmed(field.substr(0, end)));
}

// Adds the card's keyword and value unless the header has the keyword already; false at END.
bool add_card(HeaderValues& values, std::string_view card) {
    const std::string_view keyword = trimmed(card.substr(0, 8));
    if (keyword == "END") return false;
    if (card.size() < 9 || card[8] != '=' || keyword.empty()) return true;
    values.emplace(std::string(keyword), value_text(card.substr(9)));
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
