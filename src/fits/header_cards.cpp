// SPDX-License-Identifier: MIT
#include "fits/header_cards.hpp"

#include "base/number_text.hpp"

namespace trakora {

double card_number(std::string_view card) { return read_number(card.substr(9, 21)); }

std::string card_string_value(std::string_view card) {
    const std::string_view field =
        trimmed_blanks(card.substr(std::min<std::size_t>(9, card.size())));
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
        return std::string(trimmed_blanks(value));
    }
    std::size_t end = 0;
    while (end < field.size() &&
           !(field[end] == '/' && (end == 0 || field[end - 1] == ' ' || field[end - 1] == '\t')))
        ++end;
    return std::string(trimmed_blanks(field.substr(0, end)));
}

}  // namespace trakora
