// SPDX-License-Identifier: MIT
#include "fits/header_facts.hpp"

#include <utility>

namespace trakora {

std::shared_ptr<const HeaderFacts> header_facts(std::string_view cards,
                                                std::shared_ptr<const HeaderFacts> known) {
    if (known && known->cards == cards) return known;
    auto facts = std::make_shared<HeaderFacts>();
    facts->cards.assign(cards);
    facts->values = header_values(cards);
    facts->keywords = read_observing_keywords(facts->values);
    return facts;
}

const PlateReading& plate_reading(const HeaderFacts& facts) {
    if (!facts.plate) facts.plate = plate_solution(facts.cards);
    return *facts.plate;
}

}  // namespace trakora
