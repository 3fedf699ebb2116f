// SPDX-License-Identifier: MIT
// Fuzzes the plate reading with the input's bytes as header cards laid end to end (the
// last one padded with blanks), as a measured image's header reaches it. Besides the
// sanitizers, a solution's numbers must be finite and its scale positive.
#include <cmath>
#include <cstdint>
#include <string>

#include "fits/header_cards.hpp"
#include "fits/plate_solution.hpp"
#include "scratch_folder.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace trakora;
    std::string cards(reinterpret_cast<const char*>(data), size);
    cards.resize((size + kCardBytes - 1) / kCardBytes * kCardBytes, ' ');
    const PlateReading reading = plate_solution(cards);
    if (const auto& s = reading.solution) {
        if (!(s->north_deg >= 0 && s->north_deg < 360) || !std::isfinite(s->ra_deg) ||
            !std::isfinite(s->dec_deg) || !(s->scale_arcsec_per_px > 0) ||
            !std::isfinite(s->scale_arcsec_per_px))
            fuzz::fail("a solution with numbers that are no finite angle or scale");
    }
    return 0;
}
