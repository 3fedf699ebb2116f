// SPDX-License-Identifier: MIT
#include "fits/header_cards.hpp"

#include "base/number_text.hpp"

namespace trakora {

double card_number(std::string_view card) { return read_number(card.substr(9, 21)); }

std::string card_string_value(std::string_view card) {
    const std::string_view field = card.substr(std::min<std::size_t>(10, card.size()));
    const std::size_t open = field.find('\'');
    std::string_view value;
    if (open != std::string_view::npos) {
        const std::size_t close = field.find('\'', open + 1);
        value = field.substr(open + 1, close == std::string_view::npos ? close : close - open - 1);
    } else {
        value = field.substr(0, field.find('/'));
        while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    }
    while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
    return std::string(value);
}

}  // namespace trakora
