// SPDX-License-Identifier: MIT
// What one image's header says, made once per new header and read by everyone after: the
// cards as read, their keyword values, the observing keywords and the plate reading. The
// timer reads the same file again and again while the camera is slower than it; the
// header's facts (the plate solution above all) are then handed on, not made anew.
//
// Usage:
//   facts = header_facts(read.header.cards, facts);   // the same facts for the same cards
//   facts->keywords.dec_deg.value; facts->plate.solution;
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "fits/header_values.hpp"
#include "fits/observing_keywords.hpp"
#include "fits/plate_solution.hpp"

namespace trakora {

struct HeaderFacts {
    std::string cards;  // the cards read, 80 characters each, up to and including END
    HeaderValues values;
    ObservingKeywords keywords;
    PlateReading plate;
};

// The facts of `cards`: `known` itself when it was made of the same cards, else new ones.
std::shared_ptr<const HeaderFacts> header_facts(std::string_view cards,
                                                std::shared_ptr<const HeaderFacts> known);

}  // namespace trakora
