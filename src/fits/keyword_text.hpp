// SPDX-License-Identifier: MIT
// How the value text of an observing keyword reads: one number, or an angle written in
// sexagesimal or as plain degrees. The typed inputs of the drift assistant read the same
// forms, so a value copied from a header can be typed as it stands.
//
// Usage:
//   keyword_number(" 3.76D0 ")            // 3.76
//   parse_degrees("+139 41 60.0", 360)     // 139.7: a writer's rounding carries
//   parse_right_ascension_hours("187.5")   // 12.5: a plain number is degrees
#pragma once

#include <optional>
#include <string_view>

namespace trakora {

// A header value that holds one number: blanks at either end are dropped, and D as the
// exponent (as FITS writers use it) reads as E; then the strict reading of
// base/number_text.hpp. nullopt for anything else.
std::optional<double> keyword_number(std::string_view text);

// "+dd mm ss.s", "dd:mm:ss", "12h30m00s", "-00 30" (the sign belongs to the whole value)
// or a plain "12.5". Minutes and seconds lie in 0..60: exactly 60, with nothing but zeros
// after it, is a writer's rounding ("41 60.0") and carries into the unit above; more
// than 60 is not read. `sexagesimal` tells which form it was.
std::optional<double> parse_sexagesimal(std::string_view text, bool* sexagesimal = nullptr);
// Declination or latitude in degrees, or a longitude with limit 360: sexagesimal or
// plain degrees, |v| <= limit.
std::optional<double> parse_degrees(std::string_view text, double limit = 90);
// Right ascension in hours, 0 <= h < 24: sexagesimal means hours, a plain number degrees.
std::optional<double> parse_right_ascension_hours(std::string_view text);

}  // namespace trakora
