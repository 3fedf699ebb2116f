// SPDX-License-Identifier: MIT
#include "analysis/geometry.hpp"

#include <cmath>
#include <utility>

#include "base/sky_time.hpp"
#include "fits/observation_time.hpp"

namespace trakora {
namespace {

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

void resolve_orientation(const PolarInputs& in, const PlateReading& plate, Geometry& g) {
    g.orientation = in.orientation;
    g.angle_source = in.angle_source;
    if (in.angle_source == AngleSource::typed) return;
    if (plate.solution) {
        g.orientation = {plate.solution->north_deg, plate.solution->mirror};
        g.angle_source = AngleSource::header;
        g.notes.push_back({NoteCode::angle_from_plate,
                           {plate.solution->mirror ? "mirrored" : ""},
                           {plate.solution->north_deg}});
    } else if (plate.failure != PlateFailure::absent) {
        g.notes.push_back(
            {NoteCode::plate_unusable, {std::string(plate_failure_name(plate.failure))}, {}});
    }
}

// A typed value, else the header's within its range (named when outside it), else the
// default.
AirValue air_value(std::optional<double> typed, const KeywordValue& k, double low, double high,
                   double standard) {
    if (k.value && *k.value >= low && *k.value <= high) return {*k.value, AirSource::header};
    if (typed) return {*typed, AirSource::typed};
    return {standard, AirSource::standard};
}

// A header value out of range, or unreadable, is named once.
void note_air(const KeywordValue& k, double low, double high, Geometry& g) {
    const bool in_range = k.value && *k.value >= low && *k.value <= high;
    if (!in_range && (k.value || unreadable(k)))
        g.notes.push_back(unreadable_note(NoteCode::air_out_of_range, k));
}

void resolve_air(const PolarInputs& in, const ObservingKeywords& k, Geometry& g) {
    if (!in.refraction) return;
    Air air;
    air.temperature_c = air_temperature(in.temperature_c, k.temperature_c).value;
    air.pressure_hpa = air_pressure(in.pressure_hpa, k.pressure_hpa).value;
    note_air(k.temperature_c, kColdestAir, kWarmestAir, g);
    note_air(k.pressure_hpa, kLowestPressure, kHighestPressure, g);
    g.air = air;
}

void resolve_latitude(const PolarInputs& in, const ObservingKeywords& k, Geometry& g) {
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
}

// The hour angle: typed, else from the right ascension, the site's longitude and the
// first image's time. `have_ra` when the header's right ascension is a real pointing.
void resolve_hour_angle(const PolarInputs& in, const ObservingKeywords& k, bool have_ra,
                        std::optional<double> first_image_unix_s, Geometry& g) {
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
}

}  // namespace

AirValue air_temperature(std::optional<double> typed, const KeywordValue& header) {
    return air_value(typed, header, kColdestAir, kWarmestAir, 10);
}

AirValue air_pressure(std::optional<double> typed, const KeywordValue& header) {
    return air_value(typed, header, kLowestPressure, kHighestPressure, 1010);
}

const char* angle_source_name(AngleSource source) {
    switch (source) {
        case AngleSource::typed:
            return "typed";
        case AngleSource::header:
            return "header";
        case AngleSource::calibration:
            return "calibration";
        case AngleSource::refined:
            return "refined";
        case AngleSource::coarse:
            return "coarse";
        case AngleSource::assumed:
            break;
    }
    return "assumed";
}

bool angle_known(AngleSource source) {
    return source != AngleSource::coarse && source != AngleSource::assumed;
}

std::optional<CalibrationMove> calibration_named(std::string_view name) {
    if (name == "north") return CalibrationMove::north;
    if (name == "south") return CalibrationMove::south;
    if (name == "east") return CalibrationMove::east;
    if (name == "west") return CalibrationMove::west;
    return std::nullopt;
}

const char* calibration_name(CalibrationMove move) {
    switch (move) {
        case CalibrationMove::north:
            return "north";
        case CalibrationMove::south:
            return "south";
        case CalibrationMove::east:
            return "east";
        case CalibrationMove::west:
            break;
    }
    return "west";
}

double angle_from_move(CalibrationMove move, double dx, double dy, bool mirror) {
    const double length = std::hypot(dx, dy);
    const double ux = dx / length, uy = dy / length;
    // The star went the opposite way to the telescope: toward south for a move north.
    double nx = 0, ny = 0;
    switch (move) {
        case CalibrationMove::north:
            nx = -ux, ny = -uy;
            break;
        case CalibrationMove::south:
            nx = ux, ny = uy;
            break;
        case CalibrationMove::east:
        case CalibrationMove::west: {
            const double s = move == CalibrationMove::west ? 1 : -1;
            const double ex = s * ux, ey = s * uy;
            // East is north a quarter turn counterclockwise on the screen, clockwise mirrored.
            nx = mirror ? ey : -ey;
            ny = mirror ? -ex : ex;
            break;
        }
    }
    double deg = std::atan2(nx, -ny) / kRadPerDeg;
    if (deg < 0) deg += 360;
    return deg;
}

const char* pole_target_name(PoleTarget target) {
    return target == PoleTarget::refracted ? "refracted" : "true";
}

Geometry resolve_geometry(const PolarInputs& in, const ObservingKeywords& k,
                          std::optional<double> first_image_unix_s, const PlateReading& plate) {
    Geometry g;
    resolve_orientation(in, plate, g);
    if (!in.scale_arcsec_per_px && plate.solution &&
        std::isfinite(plate.solution->scale_arcsec_per_px) &&
        plate.solution->scale_arcsec_per_px > 0) {
        g.scale_arcsec_per_px = plate.solution->scale_arcsec_per_px;
    } else {
        resolve_scale(in, k, g);
    }
    g.target = in.target;
    resolve_air(in, k, g);

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
    resolve_latitude(in, k, g);
    resolve_hour_angle(in, k, have_ra, first_image_unix_s, g);
    return g;
}

}  // namespace trakora
