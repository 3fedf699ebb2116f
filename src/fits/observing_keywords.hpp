// SPDX-License-Identifier: MIT
// The observing keywords of one image: what capture programs write about the optics,
// the pointing, the site, the time, the pier side, the exposure and the air, read once
// from the header through one table of keyword names (docs/fits-keywords.md lists them
// with the programs that write them). A plain value; everything later works on numbers.
//
// Usage:
//   const ObservingKeywords k = read_observing_keywords(header_values(cards));
//   if (k.dec_deg.value) ...                           // read
//   else if (k.dec_deg.state == KeywordState::unreadable)
//       note(k.dec_deg.keyword + " '" + k.dec_deg.text + "' ...");
#pragma once

#include <optional>
#include <string>

#include "fits/header_values.hpp"
#include "fits/observation_time.hpp"

namespace trakora {

enum class KeywordState {
    absent,      // no name of the table stands in the header with a value
    read,        // `value` holds it
    unreadable,  // present, but not a value of its kind; `text` is what was written
};

struct KeywordValue {
    std::optional<double> value;  // set exactly when `state` is read; finite
    std::string keyword;          // the name it was found under, "" when absent
    std::string text;             // the value text as written, "" when absent
    KeywordState state = KeywordState::absent;
};

struct ObservingKeywords {
    KeywordValue pixel_um;             // XPIXSZ, micrometres, binning included, > 0
    KeywordValue focal_mm;             // FOCALLEN, millimetres, > 0
    KeywordValue scale_arcsec_per_px;  // SCALE or PIXSCALE, > 0
    KeywordValue ra_hours;             // OBJCTRA or RA, 0 <= h < 24
    KeywordValue dec_deg;              // OBJCTDEC or DEC, |d| <= 90
    KeywordValue equinox_year;         // EQUINOX or EPOCH, 1800..2200 ('J2000' too)
    KeywordValue lat_deg;              // SITELAT, |l| <= 90
    KeywordValue lon_deg;              // SITELONG, east positive, |l| <= 360
    KeywordValue exposure_s;           // EXPTIME or EXPOSURE, >= 0
    KeywordValue temperature_c;        // AMBTEMP, above -273.15
    KeywordValue pressure_hpa;         // PRESSURE, > 0
    // Both right ascension and declination read as exactly zero: what a capture program
    // without a mount writes. The values stay as read; a pointing it is not.
    bool pointing_placeholder = false;
    std::optional<ObservationTime> time;  // from the header alone (observation_time)
    std::string pier_side;                // PIERSIDE value text, "" when none
};

// Reads every keyword of the table: for each value the first of its names that the
// header holds with a non-blank value, read by its kind.
ObservingKeywords read_observing_keywords(const HeaderValues& header);

// The names the table looks a value up under, for a note on a missing one:
// keyword_names(&ObservingKeywords::scale_arcsec_per_px) is "SCALE or PIXSCALE".
std::string keyword_names(KeywordValue ObservingKeywords::*field);

}  // namespace trakora
