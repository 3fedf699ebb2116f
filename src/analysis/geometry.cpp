// SPDX-License-Identifier: MIT
#include "analysis/geometry.hpp"

#include <erfa.h>

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

// The header's pointing, each value unset when the header has none.
struct Pointing {
    std::optional<double> ra_hours, dec_deg;
};

// A mean place of `equinox_year` (a Julian epoch; 2000 is J2000) as the sky shows it at
// `unix_s`: its declination, and the right ascension that the mean sidereal time of
// observation_time (greenwich_sidereal_hours) turns into the star's hour angle.
//
// The apparent place, not the mean place of date (eraPmat06 alone): the hour angle is
// the star's as it stands in the sky, and the mean place of date misses it by the
// nutation and the annual aberration, some 20 arcseconds, more near the pole. eraAtci13
// takes the place, as an ICRS one, to the CIRS place of date (precession-nutation,
// aberration, light deflection) to milliarcseconds; its right ascension counts from the
// CIO, the Earth rotation angle's origin, so it is moved by mean sidereal time less the
// rotation angle to count from the mean equinox. The hour angle then agrees with ERFA's
// observed one (eraAtco13 without refraction) to a fraction of an arcsecond. An equinox
// other than 2000 is first taken back to the ICRS with the transposed eraPmat06 matrix of
// its epoch (at 2000 only the frame bias, 23 mas); a Besselian one is read as the Julian
// year, within about an arcsecond of FK4. UT1 is taken as UTC, TT as UTC + 69.184 s, as
// greenwich_sidereal_hours_erfa does.
Pointing apparent_pointing(double ra_hours, double dec_deg, double equinox_year, double unix_s) {
    constexpr double kUnixEpochJd = 2440587.5;
    const double days = unix_s / 86400;
    const double tt_days = days + 69.184 / 86400;
    double epoch1 = 0, epoch2 = 0, rbp[3][3], written[3], icrs[3];
    eraEpj2jd(equinox_year, &epoch1, &epoch2);
    eraPmat06(epoch1, epoch2, rbp);
    eraS2c(ra_hours * kRadPerHour, dec_deg * kRadPerDeg, written);
    eraTrxp(rbp, written, icrs);
    double rc = 0, dc = 0, ri = 0, di = 0, eo = 0;
    eraC2s(icrs, &rc, &dc);
    eraAtci13(rc, dc, 0, 0, 0, 0, kUnixEpochJd, tt_days, &ri, &di, &eo);
    const double to_equinox =
        eraGmst06(kUnixEpochJd, days, kUnixEpochJd, tt_days) - eraEra00(kUnixEpochJd, days);
    return {eraAnp(ri + to_equinox) / kRadPerHour, di / kRadPerDeg};
}

// The header's pointing as of the first image's date: precessed from the equinox it names
// when it names one and the time is known, else as written (of date). Left as written,
// without a note, when the typed values leave it unused.
Pointing pointing_of_date(const PolarInputs& in, const ObservingKeywords& k, bool have_ra,
                          bool have_dec, std::optional<double> first_image_unix_s, Geometry& g) {
    const Pointing written{have_ra ? k.ra_hours.value : std::nullopt,
                           have_dec ? k.dec_deg.value : std::nullopt};
    if (in.dec_deg && in.ha_hours) return written;
    if (unreadable(k.equinox_year) && (have_ra || have_dec)) {
        g.notes.push_back(unreadable_note(NoteCode::pointing_of_date, k.equinox_year));
        return written;
    }
    if (!k.equinox_year.value || !have_ra || !have_dec || !first_image_unix_s) return written;
    g.notes.push_back({NoteCode::pointing_precessed,
                       {k.ra_hours.keyword, k.dec_deg.keyword, k.equinox_year.keyword},
                       {*k.equinox_year.value}});
    return apparent_pointing(*written.ra_hours, *written.dec_deg, *k.equinox_year.value,
                             *first_image_unix_s);
}

// The hour angle: typed, else from the right ascension of date, the site's longitude and
// the first image's time.
void resolve_hour_angle(const PolarInputs& in, const ObservingKeywords& k,
                        std::optional<double> ra_hours, std::optional<double> first_image_unix_s,
                        Geometry& g) {
    const bool have_ra = ra_hours.has_value();
    if (in.ha_hours) {
        g.ha_hours = wrapped_hours(*in.ha_hours);
    } else if (have_ra && k.lon_deg.value && first_image_unix_s) {
        const double lst = greenwich_sidereal_hours(*first_image_unix_s) + *k.lon_deg.value / 15;
        g.ha_hours = wrapped_hours(lst - *ra_hours);
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
    const Pointing pointing = pointing_of_date(in, k, have_ra, have_dec, first_image_unix_s, g);

    if (in.dec_deg) {
        g.dec_deg = in.dec_deg;
    } else if (pointing.dec_deg) {
        g.dec_deg = pointing.dec_deg;
        g.notes.push_back({NoteCode::declination_from, {k.dec_deg.keyword}, {}});
    }
    resolve_latitude(in, k, g);
    resolve_hour_angle(in, k, pointing.ra_hours, first_image_unix_s, g);
    return g;
}

}  // namespace trakora
