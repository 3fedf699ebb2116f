// SPDX-License-Identifier: MIT
#include "analysis/polar_error.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "fits/observation_time.hpp"

namespace trakora {
namespace {

constexpr double kRadPerDeg = std::numbers::pi / 180;
constexpr double kSiderealPerSolar = 1.00273790935;
constexpr double kEnoughSeArcmin = 1;
constexpr double kEnoughSeFraction = 0.1;
constexpr double kEnoughMinutes = 3;
// The sidereal rate on the sky at the equator, arcseconds per minute.
constexpr double kSiderealArcsecPerMin = 360.0 * 3600 / 1436.0681637;
// The star's RA motion tells the orientation when it stands this far above the seeing
// (the variances along and across its line), from this many images on.
constexpr double kRefineVarianceRatio = 10;
constexpr double kRefineImages = 8;
constexpr double kRefineWithinDeg = 45;
constexpr double kRefinedKnownDeg = 2;
// A calibration move's angle and the motion's agree when they lie within this many of
// their joint standard errors.
constexpr double kAgreeingSe = 3;
// Correlated residuals widen the slope's standard error, once there are enough of them
// to tell their correlation.
constexpr double kCorrelationImages = 10;
constexpr double kAltitudeNoteDeg = 30;

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

// The line of the star's RA motion from the fit's residuals: its principal direction,
// when the motion along it stands well above the seeing. Returns north's angle on the
// side of `near` for that line and its standard error, degrees.
struct RefinedAngle {
    double north_deg = 0;
    double se_deg = 0;
};
std::optional<RefinedAngle> angle_from_motion(const DriftFit& fit, const Orientation& near) {
    const FitSpread& s = fit.spread;
    if (s.n < kRefineImages) return std::nullopt;
    const double half_trace = (s.rxx + s.ryy) / 2;
    const double half_gap = std::hypot((s.rxx - s.ryy) / 2, s.rxy);
    const double major = half_trace + half_gap, minor = half_trace - half_gap;
    if (!(minor > 0) || major < kRefineVarianceRatio * minor) return std::nullopt;
    const double phi = 0.5 * std::atan2(2 * s.rxy, s.rxx - s.ryy);  // the RA line
    const double ex = std::cos(phi), ey = std::sin(phi);
    // North a quarter turn clockwise from east on the screen, or counterclockwise mirrored.
    double nx = near.mirror ? ey : -ey, ny = near.mirror ? -ex : ex;
    const ScreenDirections coarse = screen_directions(near);
    if (nx * coarse.north_x + ny * coarse.north_y < 0) nx = -nx, ny = -ny;
    double deg = std::atan2(nx, -ny) / kRadPerDeg;
    if (deg < 0) deg += 360;
    const double se = std::sqrt(major * minor / ((s.n - 1) * (major - minor) * (major - minor)));
    if (!std::isfinite(deg) || !std::isfinite(se)) return std::nullopt;
    return RefinedAngle{deg, se / kRadPerDeg};
}

// Beyond the fit's own uncertainty, what the answer is sure of: against the exact turning
// of the sky, the mount and the air the first-order reading of the drift holds to better
// than one part in a hundred of the rate (the centroids' own small biases included); the
// air's drift as far as the formula and the weather are known, one part in twenty.
constexpr double kModelShare = 0.01;
constexpr double kAirShare = 0.05;

double angle_apart_deg(double a, double b) {
    const double d = std::fmod(std::abs(a - b), 360.0);
    return std::min(d, 360 - d);
}

}  // namespace

double answer_se(double fit_se, double north, double refraction) {
    return std::sqrt(fit_se * fit_se + std::pow(kModelShare * north, 2) +
                     std::pow(kAirShare * refraction, 2));
}

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

AxisFit north_fit(const DriftFit& fit, const Orientation& o) {
    const ScreenDirections d = screen_directions(o);
    return projected_fit(fit, d.north_x, d.north_y);
}

AxisFit east_fit(const DriftFit& fit, const Orientation& o) {
    const ScreenDirections d = screen_directions(o);
    return projected_fit(fit, d.east_x, d.east_y);
}

ComponentReading read_component(double ha_hours) {
    const double wrapped = std::abs(wrapped_hours(ha_hours));
    const double from_meridian = std::min(wrapped, 12 - wrapped);  // upper or lower culmination
    ComponentReading r;
    r.component = from_meridian <= 2   ? Component::azimuth
                  : from_meridian >= 4 ? Component::altitude
                                       : Component::mixed;
    const double h = wrapped_hours(ha_hours) * 15 * kRadPerDeg;
    const bool azimuth = std::abs(std::cos(h)) >= std::abs(std::sin(h));
    r.read_as = azimuth ? Component::azimuth : Component::altitude;
    r.weight = azimuth ? std::cos(h) : -std::sin(h);
    return r;
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
    if (in.refraction) {
        Air air;
        air.temperature_c = air_temperature(in.temperature_c, k.temperature_c).value;
        air.pressure_hpa = air_pressure(in.pressure_hpa, k.pressure_hpa).value;
        note_air(k.temperature_c, kColdestAir, kWarmestAir, g);
        note_air(k.pressure_hpa, kLowestPressure, kHighestPressure, g);
        g.air = air;
    }

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

    // The orientation: the geometry's, or the RA line the star's own motion draws when
    // the orientation was only coarse or assumed.
    Orientation orientation = g.orientation;
    AngleSource source = g.angle_source;
    // Unknown for a coarse or assumed orientation: such an answer is never enough.
    std::optional<double> angle_se;
    if (angle_known(source)) angle_se = g.angle_se_deg.value_or(0.0);
    if (!angle_known(source)) {
        if (const auto motion = angle_from_motion(fit, orientation)) {
            if (angle_apart_deg(motion->north_deg, orientation.north_deg) <= kRefineWithinDeg) {
                s.notes.push_back({NoteCode::angle_refined,
                                   {},
                                   {motion->north_deg, motion->se_deg, orientation.north_deg}});
                orientation.north_deg = motion->north_deg;
                angle_se = motion->se_deg;
                if (source == AngleSource::coarse && motion->se_deg <= kRefinedKnownDeg)
                    source = AngleSource::refined;
            } else {
                s.notes.push_back(
                    {NoteCode::angle_not_refined, {}, {motion->north_deg, orientation.north_deg}});
            }
        }
    } else if (source == AngleSource::calibration && angle_se && *angle_se > 0) {
        // The jump says which way north lies, the RA line the motion draws says it more
        // sharply when the drive's errors stand well above the seeing: both, weighted.
        if (const auto motion = angle_from_motion(fit, orientation)) {
            const double apart = std::remainder(motion->north_deg - orientation.north_deg, 360.0);
            if (std::abs(apart) <= kAgreeingSe * std::hypot(*angle_se, motion->se_deg) &&
                motion->se_deg > 0) {
                const double wc = 1 / (*angle_se * *angle_se);
                const double wm = 1 / (motion->se_deg * motion->se_deg);
                const double from = orientation.north_deg;
                orientation.north_deg = std::fmod(from + apart * wm / (wc + wm) + 360.0, 360.0);
                angle_se = 1 / std::sqrt(wc + wm);
                s.notes.push_back(
                    {NoteCode::angle_sharpened, {}, {orientation.north_deg, *angle_se, from}});
            }
        }
    }
    s.angle_deg = orientation.north_deg;
    s.angle_se_deg = angle_se;
    s.angle_source = source;
    s.mirror = orientation.mirror;

    const AxisFit axis_fit = north_fit(fit, orientation);
    const AxisFit along_ra = east_fit(fit, orientation);
    s.r2 = axis_fit.r2;
    if (!g.scale_arcsec_per_px) return s;
    const double scale = *g.scale_arcsec_per_px;
    s.north_arcsec_per_min = *axis_fit.rate_per_min * scale;
    s.ra_rate_arcsec_per_min = *along_ra.rate_per_min * scale;
    if (g.dec_deg && std::cos(*g.dec_deg * kRadPerDeg) > 1e-3)
        s.drive_rate_permille = *s.ra_rate_arcsec_per_min /
                                (kSiderealArcsecPerMin * std::cos(*g.dec_deg * kRadPerDeg)) * 1000;
    if (axis_fit.rate_se_per_min) {
        double se = *axis_fit.rate_se_per_min * scale;
        // Residuals that follow one another (the drive's periodic error) carry less news
        // than their count says.
        if (fit.spread.n >= kCorrelationImages) {
            const ScreenDirections d = screen_directions(orientation);
            if (const auto rho = projected_autocorrelation(fit, d.north_x, d.north_y);
                rho && *rho > 0)
                se *= std::sqrt((1 + std::min(*rho, 0.95)) / (1 - std::min(*rho, 0.95)));
        }
        // What the orientation's uncertainty lets of the RA motion into north.
        if (angle_se && *angle_se > 0)
            se = std::hypot(se, std::abs(*s.ra_rate_arcsec_per_min) * *angle_se * kRadPerDeg);
        s.north_se_arcsec_per_min = se;
    }
    if (axis_fit.residual_rms) s.seeing_arcsec = *axis_fit.residual_rms * scale;
    if (!g.ha_hours) return s;

    // The fit's rate belongs to the mean time of its images.
    const double ha = wrapped_hours(*g.ha_hours + fit.mean_minutes * kSiderealPerSolar / 60);
    const double hemisphere = g.lat_deg && *g.lat_deg < 0 ? -1 : 1;
    const ComponentReading reading = read_component(ha);
    const Component axis = reading.component;
    s.component = axis;
    const bool azimuth = reading.read_as == Component::azimuth;
    const double weight = reading.weight;
    // The air's own north drift comes off before the geometry.
    double north = *s.north_arcsec_per_min;
    if (g.dec_deg && g.lat_deg) {
        const StarPlace place = star_place(ha, *g.dec_deg, *g.lat_deg);
        s.altitude_deg = place.altitude_deg;
        if (g.air) {
            s.temperature_c = g.air->temperature_c;
            s.pressure_hpa = g.air->pressure_hpa;
            s.target = g.target;
            s.refraction_arcsec_per_min =
                refraction_north_drift_arcsec_per_min(ha, *g.dec_deg, *g.lat_deg, *g.air);
            north -= *s.refraction_arcsec_per_min;
            if (place.altitude_deg < kAltitudeNoteDeg)
                s.notes.push_back(
                    {NoteCode::refraction_share,
                     {},
                     {place.altitude_deg, *s.refraction_arcsec_per_min, *s.north_arcsec_per_min}});
        }
    }
    double component = hemisphere * north / (kArcsecPerMinPerArcmin * weight);
    // The refracted pole lies above the true one: an axis aimed at it is that much high.
    if (g.air && g.target == PoleTarget::refracted && !azimuth && g.lat_deg)
        component -= refracted_pole_raise_arcmin(*g.lat_deg, *g.air);
    s.error_arcmin = std::abs(component);
    // The fit's part of the standard error falls with time, the models' part does not.
    std::optional<double> fit_se_arcmin, model_se_arcmin;
    if (s.north_se_arcsec_per_min) {
        const double per_arcmin = kArcsecPerMinPerArcmin * std::abs(weight);
        fit_se_arcmin = *s.north_se_arcsec_per_min / per_arcmin;
        model_se_arcmin = answer_se(0, north, s.refraction_arcsec_per_min.value_or(0)) / per_arcmin;
        s.error_se_arcmin = std::hypot(*fit_se_arcmin, *model_se_arcmin);
    }
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
    if (*s.enough && !angle_known(source)) {
        // The motion tells the RA line, not which way along it north lies; more time
        // does not tell it.
        s.enough = false;
        s.notes.push_back({NoteCode::angle_not_known, {}, {}});
        return s;
    }
    if (*s.enough) {
        s.minutes_needed = 0;
    } else if (s.minutes > 0) {
        // With images at a steady pace the slope's standard error falls as time^-3/2; the
        // models' part stays.
        double total = s.minutes;
        if (*s.error_se_arcmin >= target) {
            const double fit_target =
                std::sqrt(std::max(0.0, target * target - *model_se_arcmin * *model_se_arcmin));
            total = fit_target > 0 ? s.minutes * std::pow(*fit_se_arcmin / fit_target, 2.0 / 3.0)
                                   : std::numeric_limits<double>::infinity();
        }
        total = std::max(total, kEnoughMinutes);
        s.minutes_needed = std::max(0.0, total - s.minutes);
        if (!std::isfinite(*s.minutes_needed)) s.minutes_needed.reset();
    }
    return s;
}

}  // namespace trakora
