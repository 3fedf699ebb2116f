// SPDX-License-Identifier: MIT
#include "analysis/polar_error.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "fits/observation_time.hpp"

namespace trakora {
namespace {

constexpr double kRadPerDeg = std::numbers::pi / 180;
constexpr double kSiderealPerSolar = 1.00273790935;
constexpr double kEnoughSeArcmin = 1;
constexpr double kEnoughSeFraction = 0.1;
constexpr double kEnoughMinutes = 3;

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// A whole value field as a number; FITS writers may use D for the exponent.
std::optional<double> plain_number(std::string_view text) {
    std::string t(trimmed(text));
    if (!t.empty() && t.front() == '+') t.erase(0, 1);
    for (char& c : t)
        if (c == 'D' || c == 'd') c = 'E';
    double value = 0;
    const char* end = t.data() + t.size();
    const auto [ptr, ec] = std::from_chars(t.data(), end, value);
    if (ec != std::errc{} || ptr != end || t.empty() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// The first of `keywords` the header holds, with its name.
std::optional<std::pair<std::string, std::string>> first_of(
    const HeaderValues& h, std::initializer_list<const char*> keywords) {
    for (const char* k : keywords)
        if (auto v = header_value(h, k)) return std::pair<std::string, std::string>{k, *v};
    return std::nullopt;
}

std::optional<double> positive(std::optional<double> v) { return v && *v > 0 ? v : std::nullopt; }

void resolve_scale(const PolarInputs& in, const HeaderValues& h, Geometry& g) {
    if (in.scale_arcsec_per_px) {
        g.scale_arcsec_per_px = in.scale_arcsec_per_px;
        return;
    }
    const auto px = header_value(h, "XPIXSZ"), fl = header_value(h, "FOCALLEN");
    const auto pixel_um = px ? positive(plain_number(*px)) : std::nullopt;
    const auto focal_mm = fl ? positive(plain_number(*fl)) : std::nullopt;
    if (pixel_um && focal_mm) {
        g.scale_arcsec_per_px = 206.265 * *pixel_um / *focal_mm;
        g.notes.push_back("Plate scale " + fixed(*g.scale_arcsec_per_px, 3) +
                          " arcsec/px from XPIXSZ and FOCALLEN.");
        return;
    }
    if (const auto s = first_of(h, {"SCALE", "PIXSCALE"})) {
        if (const auto v = positive(plain_number(s->second))) {
            g.scale_arcsec_per_px = v;
            g.notes.push_back("Plate scale " + fixed(*v, 3) + " arcsec/px from " + s->first + ".");
            return;
        }
    }
    g.notes.push_back(
        "No plate scale (--scale, XPIXSZ with FOCALLEN, SCALE or PIXSCALE): rates stay in "
        "pixels and the error is unknown.");
}

}  // namespace

const char* component_name(Component component) {
    switch (component) {
        case Component::azimuth:
            return "azimuth";
        case Component::altitude:
            return "altitude";
        case Component::mixed:
            return "mixed";
    }
    return "mixed";
}

const char* direction_name(ErrorDirection direction) {
    switch (direction) {
        case ErrorDirection::east:
            return "east";
        case ErrorDirection::west:
            return "west";
        case ErrorDirection::high:
            return "high";
        case ErrorDirection::low:
            return "low";
    }
    return "east";
}

std::optional<double> parse_sexagesimal(std::string_view text, bool* sexagesimal) {
    text = trimmed(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::vector<std::string_view> parts;
    std::size_t i = 0;
    bool separated = false;
    while (i < text.size()) {
        const auto is_separator = [](char c) {
            return c == ' ' || c == ':' || c == 'h' || c == 'm' || c == 's' || c == 'd';
        };
        if (is_separator(text[i])) {
            separated = true;
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < text.size() && !is_separator(text[i])) ++i;
        parts.push_back(text.substr(start, i - start));
    }
    if (parts.empty() || parts.size() > 3) return std::nullopt;
    double value = 0, unit = 1;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (parts[k].front() == '+' || parts[k].front() == '-') return std::nullopt;
        const auto v = plain_number(parts[k]);
        if (!v || *v < 0 || (k > 0 && *v >= 60)) return std::nullopt;
        value += *v / unit;
        unit *= 60;
    }
    if (sexagesimal) *sexagesimal = separated;
    return negative ? -value : value;
}

std::optional<double> parse_degrees(std::string_view text, double limit) {
    const auto v = parse_sexagesimal(text);
    if (!v || std::abs(*v) > limit) return std::nullopt;
    return v;
}

std::optional<double> parse_right_ascension_hours(std::string_view text) {
    bool sexagesimal = false;
    const auto v = parse_sexagesimal(text, &sexagesimal);
    if (!v) return std::nullopt;
    const double hours = sexagesimal ? *v : *v / 15;
    if (hours < 0 || hours >= 24) return std::nullopt;
    return hours;
}

double wrapped_hours(double hours) {
    double h = std::fmod(hours, 24.0);
    if (h <= -12) h += 24;
    if (h > 12) h -= 24;
    return h;
}

SkyRate sky_rate(double rate_x_px, double rate_y_px, double scale, const Orientation& o) {
    const SkyComponents c = sky_components(rate_x_px, rate_y_px, o);
    return {scale * c.north, scale * c.east};
}

const AxisFit& north_axis_fit(const DriftFit& fit, const Orientation& o) {
    const ScreenDirections d = screen_directions(o);
    return std::abs(d.north_y) >= std::abs(d.north_x) ? fit.y : fit.x;
}

Component measured_component(double ha_hours) {
    const double h = std::abs(wrapped_hours(ha_hours));
    const double from_meridian = std::min(h, 12 - h);  // upper or lower culmination
    if (from_meridian <= 2) return Component::azimuth;
    if (from_meridian >= 4) return Component::altitude;
    return Component::mixed;
}

Geometry resolve_geometry(const PolarInputs& in, const HeaderValues& h,
                          std::optional<double> first_image_unix_s) {
    Geometry g;
    g.orientation = in.orientation;
    resolve_scale(in, h, g);

    // Pointing: a capture program without a mount writes zeros for both.
    const auto ra_card = first_of(h, {"OBJCTRA", "RA"});
    const auto dec_card = first_of(h, {"OBJCTDEC", "DEC"});
    // Plain values beside the flags: GCC's uninitialised-use analysis trips over optionals
    // that are reset on one path.
    bool have_ra = false, have_dec = false;
    double ra = 0, dec = 0;
    if (ra_card) {
        const auto v = parse_right_ascension_hours(ra_card->second);
        have_ra = v.has_value();
        ra = v.value_or(0);
        if (!have_ra)
            g.notes.push_back(ra_card->first + " '" + ra_card->second +
                              "' is not a right ascension.");
    }
    if (dec_card) {
        const auto v = parse_degrees(dec_card->second);
        have_dec = v.has_value();
        dec = v.value_or(0);
        if (!have_dec)
            g.notes.push_back(dec_card->first + " '" + dec_card->second +
                              "' is not a declination.");
    }
    if (have_ra && have_dec && ra == 0 && dec == 0) {
        g.notes.push_back("The header's pointing is a placeholder (00 00 00); it was ignored.");
        have_ra = have_dec = false;
    }

    if (in.dec_deg) {
        g.dec_deg = in.dec_deg;
    } else if (have_dec) {
        g.dec_deg = dec;
        g.notes.push_back("Declination from " + dec_card->first + ".");
    }

    if (in.lat_deg) {
        g.lat_deg = in.lat_deg;
    } else if (const auto lat = header_value(h, "SITELAT")) {
        g.lat_deg = parse_degrees(*lat);
        g.notes.push_back(g.lat_deg ? "Latitude from SITELAT."
                                    : "SITELAT '" + *lat + "' is not a latitude.");
    }
    if (!g.lat_deg)
        g.notes.push_back("No latitude (--lat or SITELAT): the northern hemisphere is assumed.");

    if (in.ha_hours) {
        g.ha_hours = wrapped_hours(*in.ha_hours);
    } else {
        const auto lon_text = header_value(h, "SITELONG");
        const auto lon = lon_text ? parse_degrees(*lon_text, 360) : std::nullopt;
        if (have_ra && lon && first_image_unix_s) {
            const double lst = greenwich_sidereal_hours(*first_image_unix_s) + *lon / 15;
            g.ha_hours = wrapped_hours(lst - ra);
            g.notes.push_back("Hour angle from " + ra_card->first +
                              ", SITELONG and the observation time.");
        } else {
            std::string missing;
            if (!have_ra) missing += " the right ascension";
            if (!lon) missing += missing.empty() ? " SITELONG" : ", SITELONG";
            if (!first_image_unix_s) missing += missing.empty() ? " the time" : ", the time";
            g.notes.push_back(
                "No hour angle (--ha, or the right ascension with SITELONG and the "
                "observation time; missing:" +
                missing + "): the error is unknown.");
        }
    }
    return g;
}

DriftSummary drift_summary(const DriftFit& fit, const Geometry& g) {
    DriftSummary s;
    s.images = fit.images;
    s.used = fit.used;
    s.minutes = fit.elapsed_minutes;
    s.rate_x_px_per_min = fit.x.rate_per_min;
    s.rate_y_px_per_min = fit.y.rate_per_min;
    s.scale_arcsec_per_px = g.scale_arcsec_per_px;
    s.dec_deg = g.dec_deg;
    s.ha_hours = g.ha_hours;
    s.lat_deg = g.lat_deg;
    s.notes = g.notes;

    if (fit.flagged > 0)
        s.notes.push_back(std::to_string(fit.flagged) +
                          " flagged measurement(s) left out of the fit.");
    if (fit.outliers > 0)
        s.notes.push_back(std::to_string(fit.outliers) +
                          " outlier(s) beyond 4 times the residual RMS left out of the fit.");
    if (fit.used < 2) {
        s.notes.push_back("Fewer than two usable images: no drift rate yet.");
        return s;
    }
    if (!fit.x.rate_per_min || !fit.y.rate_per_min) {
        s.notes.push_back("The images' times do not spread: no drift rate.");
        return s;
    }

    const AxisFit& axis_fit = north_axis_fit(fit, g.orientation);
    s.r2 = axis_fit.r2;
    if (!g.scale_arcsec_per_px) return s;
    const double scale = *g.scale_arcsec_per_px;
    s.north_arcsec_per_min =
        sky_rate(*fit.x.rate_per_min, *fit.y.rate_per_min, scale, g.orientation).north;
    if (axis_fit.rate_se_per_min) s.north_se_arcsec_per_min = *axis_fit.rate_se_per_min * scale;
    if (axis_fit.residual_rms) s.seeing_arcsec = *axis_fit.residual_rms * scale;
    if (!g.ha_hours) return s;

    // The fit's rate belongs to the mean time of its images.
    const double ha = wrapped_hours(*g.ha_hours + fit.mean_minutes * kSiderealPerSolar / 60);
    const double h = ha * 15 * kRadPerDeg;
    const double hemisphere = g.lat_deg && *g.lat_deg < 0 ? -1 : 1;
    const Component axis = measured_component(ha);
    s.component = axis;
    const bool azimuth = std::abs(std::cos(h)) >= std::abs(std::sin(h));
    const double weight = azimuth ? std::cos(h) : -std::sin(h);
    const double component =
        hemisphere * *s.north_arcsec_per_min / (kArcsecPerMinPerArcmin * weight);
    s.error_arcmin = std::abs(component);
    if (s.north_se_arcsec_per_min)
        s.error_se_arcmin =
            *s.north_se_arcsec_per_min / (kArcsecPerMinPerArcmin * std::abs(weight));
    s.direction = azimuth ? (component > 0 ? ErrorDirection::west : ErrorDirection::east)
                          : (component > 0 ? ErrorDirection::high : ErrorDirection::low);
    if (azimuth && g.lat_deg && std::abs(std::cos(*g.lat_deg * kRadPerDeg)) > 1e-3)
        s.knob_arcmin = *s.error_arcmin / std::cos(*g.lat_deg * kRadPerDeg);
    if (axis == Component::mixed)
        s.notes.push_back(std::string("This star, ") +
                          fixed(std::min(std::abs(ha), 12 - std::abs(ha)), 1) +
                          " h from the meridian, measures azimuth and altitude together; the "
                          "figure assumes the " +
                          (azimuth ? "altitude" : "azimuth") +
                          " error is zero. A star within 2 h of the meridian measures azimuth, "
                          "one 4 to 8 h from it altitude.");

    if (!s.error_se_arcmin) {
        s.enough = false;
        s.notes.push_back("Too few images for a standard error.");
        return s;
    }
    const double target = std::max(kEnoughSeArcmin, kEnoughSeFraction * *s.error_arcmin);
    s.enough = *s.error_se_arcmin < target && s.minutes >= kEnoughMinutes;
    if (*s.enough) {
        s.minutes_needed = 0;
    } else if (s.minutes > 0) {
        // With images at a steady pace the slope's standard error falls as time^-3/2.
        double total = s.minutes;
        if (*s.error_se_arcmin >= target)
            total = s.minutes * std::pow(*s.error_se_arcmin / target, 2.0 / 3.0);
        total = std::max(total, kEnoughMinutes);
        s.minutes_needed = std::max(0.0, total - s.minutes);
        if (!std::isfinite(*s.minutes_needed)) s.minutes_needed.reset();
    }
    return s;
}

}  // namespace trakora
