// SPDX-License-Identifier: MIT
// Where north lies in a plate-solved image, read from the standard FITS WCS of its
// header by wcslib: the CD matrix, else PC with CDELT, else CROTA2 with CDELT.
//
// Usage:
//   auto solved = plate_solution(header.cards);   // FitsHeader::cards, 80 bytes a card
//   if (solved.solution) angle = solved.solution->north_deg;  // else solved.failure
//
// The image's frame is the object window's: x = FITS axis 1 to the right, FITS axis 2
// along the stored rows, down the image as shown (no flip). North's angle runs from the
// image's up toward its right (up 0, right 90, down 180, left 270); mirror means east is
// a quarter turn clockwise from north on the screen instead of counterclockwise.
#pragma once

#include <optional>
#include <string_view>

namespace trakora {

struct PlateSolution {
    double north_deg = 0;  // 0 <= north_deg < 360
    bool mirror = false;
    double scale_arcsec_per_px = 0;
    // Where the plate points: the sky at its reference pixel, degrees.
    double ra_deg = 0;
    double dec_deg = 0;
};

enum class PlateFailure {
    absent,         // no celestial WCS in the header
    not_celestial,  // a WCS, but without a longitude and latitude pair
    singular,       // its matrix cannot be inverted (or wcslib refuses it)
    not_finite,     // a NaN or infinite value in it, or a result that is not finite
};

struct PlateReading {
    std::optional<PlateSolution> solution;
    PlateFailure failure = PlateFailure::absent;  // when there is no solution
};

// Reads the primary WCS of a header given as its cards laid end to end, each
// kCardBytes long (an END card may end them; what follows it is ignored).
PlateReading plate_solution(std::string_view cards);

// "absent", "not celestial", "singular", "not finite".
std::string_view plate_failure_name(PlateFailure failure);

}  // namespace trakora
