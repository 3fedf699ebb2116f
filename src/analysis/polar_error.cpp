// SPDX-License-Identifier: MIT
#include "analysis/polar_error.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "fits/observation_time.hpp"

namespace trakora {
namespace {

constexpr double kRadPerDeg = std::numbers::pi / 180;
constexpr double kSiderealPerSolar = 1.00273790935;
constexpr double kEnoughSeArcmin = 1;
constexpr double kEnoughSeFraction = 0.1;
constexpr double kEnoughMinutes = 3;

// A value present but not of its kind, named with what was written.
DriftNote unreadable_note(NoteCode code, const KeywordValue& k) {
    return {code, {k.keyword, k.text}, {}};
}

bool unreadable(const KeywordValue& k) { return k.state == KeywordState::unreadable; }

void resolve_scale(const PolarInputs& in, const ObservingKeywords& k, Geometry& g) {
    if (in.scale_arcsec_per_px) {
        g.scale_arcsec_per_px = in.scale_arcsec_per_px;
        return;
    }
    if (k.pixel_um.value && k.focal_mm.value) {
        g.scale_arcsec_per_px = 206.265 * *k.pixel_um.value / *k.focal_mm.value;
        g.notes.push_back({NoteCode::scale_from_pixel_size,
                           {k.pixel_um.keyword, k.focal_mm.keyword},
                           {*g.scale_arcsec_per_px}});
        return;
    }
    if (k.scale_arcsec_per_px.value) {
        g.scale_arcsec_per_px = k.scale_arcsec_per_px.value;
        g.notes.push_back({NoteCode::scale_from_keyword,
                           {k.scale_arcsec_per_px.keyword},
                           {*g.scale_arcsec_per_px}});
        return;
    }
    for (const KeywordValue* v : {&k.pixel_um, &k.focal_mm, &k.scale_arcsec_per_px})
        if (unreadable(*v)) g.notes.push_back(unreadable_note(NoteCode::unreadable, *v));
    g.notes.push_back(
        {NoteCode::no_scale,
         {keyword_names(&ObservingKeywords::pixel_um), keyword_names(&ObservingKeywords::focal_mm),
          keyword_names(&ObservingKeywords::scale_arcsec_per_px)},
         {}});
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

Geometry resolve_geometry(const PolarInputs& in, const ObservingKeywords& k,
                          std::optional<double> first_image_unix_s) {
    Geometry g;
    g.orientation = in.orientation;
    resolve_scale(in, k, g);

    // Pointing: a capture program without a mount writes zeros for both.
    if (unreadable(k.ra_hours))
        g.notes.push_back(unreadable_note(NoteCode::not_right_ascension, k.ra_hours));
    if (unreadable(k.dec_deg))
        g.notes.push_back(unreadable_note(NoteCode::not_declination, k.dec_deg));
    if (k.pointing_placeholder) g.notes.push_back({NoteCode::pointing_placeholder, {}, {}});
    const bool have_ra = k.ra_hours.value && !k.pointing_placeholder;
    const bool have_dec = k.dec_deg.value && !k.pointing_placeholder;

    if (in.dec_deg) {
        g.dec_deg = in.dec_deg;
    } else if (have_dec) {
        g.dec_deg = k.dec_deg.value;
        g.notes.push_back({NoteCode::declination_from, {k.dec_deg.keyword}, {}});
    }

    if (in.lat_deg) {
        g.lat_deg = in.lat_deg;
    } else if (k.lat_deg.state != KeywordState::absent) {
        g.lat_deg = k.lat_deg.value;
        g.notes.push_back(g.lat_deg ? DriftNote{NoteCode::latitude_from, {k.lat_deg.keyword}, {}}
                                    : unreadable_note(NoteCode::not_latitude, k.lat_deg));
    }
    if (!g.lat_deg)
        g.notes.push_back(
            {NoteCode::no_latitude, {keyword_names(&ObservingKeywords::lat_deg)}, {}});

    if (in.ha_hours) {
        g.ha_hours = wrapped_hours(*in.ha_hours);
    } else if (have_ra && k.lon_deg.value && first_image_unix_s) {
        const double lst = greenwich_sidereal_hours(*first_image_unix_s) + *k.lon_deg.value / 15;
        g.ha_hours = wrapped_hours(lst - *k.ra_hours.value);
        g.notes.push_back({NoteCode::hour_angle_from, {k.ra_hours.keyword, k.lon_deg.keyword}, {}});
    } else {
        // What is absent is missing; what is present but unreadable is named as such.
        DriftNote note{NoteCode::no_hour_angle, {keyword_names(&ObservingKeywords::lon_deg)}, {}};
        if (unreadable(k.ra_hours))
            note.parts |= kRightAscensionUnreadable;
        else if (!have_ra)
            note.parts |= kRightAscensionMissing;
        if (unreadable(k.lon_deg)) {
            g.notes.push_back(unreadable_note(NoteCode::unreadable, k.lon_deg));
            note.parts |= kLongitudeUnreadable;
        } else if (!k.lon_deg.value) {
            note.parts |= kLongitudeMissing;
        }
        if (!first_image_unix_s) note.parts |= kTimeMissing;
        g.notes.push_back(std::move(note));
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
        s.notes.push_back({NoteCode::flagged_left_out, {}, {static_cast<double>(fit.flagged)}});
    if (fit.outliers > 0)
        s.notes.push_back({NoteCode::outliers_left_out, {}, {static_cast<double>(fit.outliers)}});
    if (fit.used < 2) {
        s.notes.push_back({NoteCode::too_few_images, {}, {}});
        return s;
    }
    if (!fit.x.rate_per_min || !fit.y.rate_per_min) {
        s.notes.push_back({NoteCode::times_do_not_spread, {}, {}});
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
        s.notes.push_back({NoteCode::mixed_component,
                           {azimuth ? "altitude" : "azimuth"},
                           {std::min(std::abs(ha), 12 - std::abs(ha))}});

    if (!s.error_se_arcmin) {
        s.enough = false;
        s.notes.push_back({NoteCode::no_standard_error, {}, {}});
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
