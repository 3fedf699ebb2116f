// SPDX-License-Identifier: MIT
#include "fits/observing_keywords.hpp"

#include <array>
#include <string_view>

#include "fits/keyword_text.hpp"

namespace trakora {
namespace {

enum class Kind { positive, non_negative, celsius, right_ascension, latitude, longitude, year };

std::optional<double> read_as(Kind kind, std::string_view text) {
    std::optional<double> v;
    switch (kind) {
        case Kind::positive:
            v = keyword_number(text);
            return v && *v > 0 ? v : std::nullopt;
        case Kind::non_negative:
            v = keyword_number(text);
            return v && *v >= 0 ? v : std::nullopt;
        case Kind::celsius:
            v = keyword_number(text);
            return v && *v > -273.15 ? v : std::nullopt;
        case Kind::right_ascension:
            return parse_right_ascension_hours(text);
        case Kind::latitude:
            return parse_degrees(text, 90);
        case Kind::longitude:
            return parse_degrees(text, 360);
        case Kind::year:
            // Julian or Besselian, as the FITS writers mark it; precession needs the year.
            if (!text.empty() && (text.front() == 'J' || text.front() == 'B'))
                text.remove_prefix(1);
            v = keyword_number(text);
            return v && *v >= 1800 && *v <= 2200 ? v : std::nullopt;
    }
    return std::nullopt;
}

struct Alias {
    KeywordValue ObservingKeywords::*field;
    Kind kind;
    std::array<std::string_view, 2> names;  // in the order they are tried; "" for none
};

// Every numeric observing keyword: one row each, so a plate solution's keywords can be
// added as rows of their own.
constexpr std::array kAliases = {
    Alias{&ObservingKeywords::pixel_um, Kind::positive, {"XPIXSZ", ""}},
    Alias{&ObservingKeywords::focal_mm, Kind::positive, {"FOCALLEN", ""}},
    Alias{&ObservingKeywords::scale_arcsec_per_px, Kind::positive, {"SCALE", "PIXSCALE"}},
    Alias{&ObservingKeywords::ra_hours, Kind::right_ascension, {"OBJCTRA", "RA"}},
    Alias{&ObservingKeywords::dec_deg, Kind::latitude, {"OBJCTDEC", "DEC"}},
    Alias{&ObservingKeywords::equinox_year, Kind::year, {"EQUINOX", "EPOCH"}},
    Alias{&ObservingKeywords::lat_deg, Kind::latitude, {"SITELAT", ""}},
    Alias{&ObservingKeywords::lon_deg, Kind::longitude, {"SITELONG", ""}},
    Alias{&ObservingKeywords::exposure_s, Kind::non_negative, {"EXPTIME", "EXPOSURE"}},
    Alias{&ObservingKeywords::temperature_c, Kind::celsius, {"AMBTEMP", ""}},
    Alias{&ObservingKeywords::pressure_hpa, Kind::positive, {"PRESSURE", ""}},
};

KeywordValue read_alias(const HeaderValues& header, const Alias& alias) {
    KeywordValue k;
    for (const std::string_view name : alias.names) {
        if (name.empty()) continue;
        if (const auto text = header_value(header, name)) {
            k.keyword = std::string(name);
            k.text = *text;
            k.value = read_as(alias.kind, *text);
            k.state = k.value ? KeywordState::read : KeywordState::unreadable;
            break;
        }
    }
    return k;
}

}  // namespace

ObservingKeywords read_observing_keywords(const HeaderValues& header) {
    ObservingKeywords k;
    for (const Alias& alias : kAliases) k.*alias.field = read_alias(header, alias);
    k.pointing_placeholder = k.ra_hours.value == 0.0 && k.dec_deg.value == 0.0;
    k.time = observation_time(header, std::nullopt);
    k.pier_side = header_value(header, "PIERSIDE").value_or("");
    return k;
}

std::string keyword_names(KeywordValue ObservingKeywords::*field) {
    std::string names;
    for (const Alias& alias : kAliases) {
        if (alias.field != field) continue;
        for (const std::string_view name : alias.names) {
            if (name.empty()) continue;
            if (!names.empty()) names += " or ";
            names += name;
        }
    }
    return names;
}

}  // namespace trakora
