// SPDX-License-Identifier: MIT
// What one image's header says, made once per new header and read by everyone after: the
// cards as read, their keyword values, the observing keywords and the plate reading. The
// timer reads the same file again and again while the camera is slower than it; the
// header's facts (the plate solution above all) are then handed on, not made anew.
//
// Usage:
//   facts = header_facts(read.header.cards, facts);   // the same facts for the same cards
//   facts->keywords.dec_deg.value; plate_reading(*facts).solution;
#pragma once

#include <memory>
#include <optional>
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
    // The plate reading, made by plate_reading the first time a measurement asks for it:
    // wcslib's header parser sees the headers of measured images only, not every file
    // the reader meets.
    mutable std::optional<PlateReading> plate;
};

// The header's plate reading, made once.
const PlateReading& plate_reading(const HeaderFacts& facts);

// The facts of `cards`: `known` itself when it was made of the same cards, else new ones.
std::shared_ptr<const HeaderFacts> header_facts(std::string_view cards,
                                                std::shared_ptr<const HeaderFacts> known);

}  // namespace trakora
