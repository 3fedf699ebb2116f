// SPDX-License-Identifier: MIT
#include "analysis/polar_error.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/periodic_motion.hpp"
#include "analysis/refraction.hpp"

namespace trakora {
namespace {

constexpr double kEnoughSeArcmin = 1;
constexpr double kEnoughSeFraction = 0.1;
constexpr double kEnoughMinutes = 3;
// The sidereal rate on the sky at the equator, arcseconds per minute.
constexpr double kSiderealArcsecPerMin = 360.0 * 3600 / kSiderealDayMinutes;
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

// The line of the star's RA motion from the fit's residuals: its principal direction,
// when the motion along it stands well above the seeing. Returns north's angle on the
// side of `near` for that line and its standard error, degrees.
struct RefinedAngle {
    double north_deg = 0;
    double se_deg = 0;
    bool periodic = false;  // a periodic motion along the line tells that it is the RA line
};

// A periodic motion along the line counts when periodic_motion finds it (its amplitude
// three times the scatter left about it: white noise alone does that over n >= 8 images
// with a chance under 61 trial periods x e^(-9n/4), 1e-6) and its amplitude stands three
// times above the centroid's pixel-phase error along the line: a star gliding over whole
// pixels draws a steady sawtooth along its drift, which is no RA line.
constexpr double kAbovePixelPhase = 3;

bool periodic_along(const DriftFit& fit, double ex, double ey) {
    std::vector<double> along(fit.used_minutes.size());
    for (std::size_t i = 0; i < along.size(); ++i)
        along[i] = ex * fit.residual_x[i] + ey * fit.residual_y[i];
    const auto p = periodic_motion(fit.used_minutes, along);
    const double phase = std::abs(ex) * fit.pixel_phase_x_px + std::abs(ey) * fit.pixel_phase_y_px;
    return p && p->peak_to_peak / 2 >= kAbovePixelPhase * phase;
}
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
    return RefinedAngle{deg, se / kRadPerDeg, periodic_along(fit, ex, ey)};
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

// What the summary takes over as it stands: the fit's counts and pixel rates, the
// geometry's values and notes, and what the fit left out.
DriftSummary summary_start(const DriftFit& fit, const Geometry& g) {
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
    return s;
}

// Whether the fit gives a rate at all; the reason noted when it does not.
bool fit_has_rate(const DriftFit& fit, std::vector<DriftNote>& notes) {
    if (fit.used < 2) {
        notes.push_back({NoteCode::too_few_images, {}, {}});
        return false;
    }
    if (!fit.x.rate_per_min || !fit.y.rate_per_min) {
        notes.push_back({NoteCode::times_do_not_spread, {}, {}});
        return false;
    }
    return true;
}

// The orientation the answer reads the fit by and how well it is known: the standard
// error is unknown for a coarse or assumed orientation, and such an answer is never enough.
struct OrientationInUse {
    Orientation orientation;
    AngleSource source = AngleSource::assumed;
    std::optional<double> se_deg;
};

// A coarse or assumed orientation turned to the RA line the star's own motion draws,
// when that lies near it.
void refine_by_motion(const DriftFit& fit, OrientationInUse& o, std::vector<DriftNote>& notes) {
    const auto motion = angle_from_motion(fit, o.orientation);
    if (!motion) return;
    if (!motion->periodic) {
        notes.push_back(
            {NoteCode::motion_not_periodic, {}, {motion->north_deg, o.orientation.north_deg}});
        return;
    }
    if (angle_apart_deg(motion->north_deg, o.orientation.north_deg) <= kRefineWithinDeg) {
        notes.push_back({NoteCode::angle_refined,
                         {},
                         {motion->north_deg, motion->se_deg, o.orientation.north_deg}});
        o.orientation.north_deg = motion->north_deg;
        o.se_deg = motion->se_deg;
        if (o.source == AngleSource::coarse && motion->se_deg <= kRefinedKnownDeg)
            o.source = AngleSource::refined;
    } else {
        notes.push_back(
            {NoteCode::angle_not_refined, {}, {motion->north_deg, o.orientation.north_deg}});
    }
}

// The jump says which way north lies, the RA line the motion draws says it more sharply
// when the drive's errors stand well above the seeing: both, weighted, when they agree.
void sharpen_by_motion(const DriftFit& fit, OrientationInUse& o, std::vector<DriftNote>& notes) {
    const auto motion = angle_from_motion(fit, o.orientation);
    if (!motion || !motion->periodic) return;
    const double se = *o.se_deg;
    const double apart = std::remainder(motion->north_deg - o.orientation.north_deg, 360.0);
    if (!(std::abs(apart) <= kAgreeingSe * std::hypot(se, motion->se_deg) && motion->se_deg > 0))
        return;
    const double wc = 1 / (se * se);
    const double wm = 1 / (motion->se_deg * motion->se_deg);
    const double from = o.orientation.north_deg;
    o.orientation.north_deg = std::fmod(from + apart * wm / (wc + wm) + 360.0, 360.0);
    o.se_deg = 1 / std::sqrt(wc + wm);
    notes.push_back({NoteCode::angle_sharpened, {}, {o.orientation.north_deg, *o.se_deg, from}});
}

// The geometry's orientation, or the RA line the star's own motion draws when the
// orientation was only coarse or assumed; written into the summary.
OrientationInUse use_orientation(const DriftFit& fit, const Geometry& g, DriftSummary& s) {
    OrientationInUse o{g.orientation, g.angle_source, std::nullopt};
    if (angle_known(o.source)) o.se_deg = g.angle_se_deg.value_or(0.0);
    if (!angle_known(o.source))
        refine_by_motion(fit, o, s.notes);
    else if (o.source == AngleSource::calibration && o.se_deg && *o.se_deg > 0)
        sharpen_by_motion(fit, o, s.notes);
    s.angle_deg = o.orientation.north_deg;
    s.angle_se_deg = o.se_deg;
    s.angle_source = o.source;
    s.mirror = o.orientation.mirror;
    return o;
}

// The centroid's pixel-phase error along north, pixels.
double pixel_phase_north_px(const DriftFit& fit, const Orientation& o) {
    const ScreenDirections d = screen_directions(o);
    return std::abs(d.north_x) * fit.pixel_phase_x_px + std::abs(d.north_y) * fit.pixel_phase_y_px;
}

// The north rate's standard error, arcsec/min: the fit's, widened for residuals that
// follow one another and for what the orientation's uncertainty lets of the RA motion
// (`ra_rate`, arcsec/min) into north.
double north_rate_se(const DriftFit& fit, const AxisFit& north, const OrientationInUse& o,
                     double scale, double ra_rate) {
    double se = *north.rate_se_per_min * scale;
    // Residuals that follow one another (the drive's periodic error) carry less news than
    // their count says.
    if (fit.spread.n >= kCorrelationImages) {
        const ScreenDirections d = screen_directions(o.orientation);
        if (const auto rho = projected_autocorrelation(fit, d.north_x, d.north_y); rho && *rho > 0)
            se *= std::sqrt((1 + std::min(*rho, 0.95)) / (1 - std::min(*rho, 0.95)));
    }
    if (o.se_deg && *o.se_deg > 0) se = std::hypot(se, std::abs(ra_rate) * *o.se_deg * kRadPerDeg);
    // The centroid's pixel-phase error is not noise: at worst it moves the two ends of the
    // fit by its peak each way.
    const double phase = pixel_phase_north_px(fit, o.orientation);
    if (phase > 0 && fit.elapsed_minutes > 0)
        se = std::hypot(se, 2 * phase / fit.elapsed_minutes * scale);
    return se;
}

// The rates on the sky: north with its standard error, along RA with the drive rate it
// shows, and the seeing. False without a plate scale.
bool read_rates(const DriftFit& fit, const Geometry& g, const OrientationInUse& o,
                DriftSummary& s) {
    const AxisFit north = north_fit(fit, o.orientation);
    const AxisFit along_ra = east_fit(fit, o.orientation);
    s.r2 = north.r2;
    if (!g.scale_arcsec_per_px) return false;
    const double scale = *g.scale_arcsec_per_px;
    s.north_arcsec_per_min = *north.rate_per_min * scale;
    s.ra_rate_arcsec_per_min = *along_ra.rate_per_min * scale;
    if (g.dec_deg && std::cos(*g.dec_deg * kRadPerDeg) > 1e-3)
        s.drive_rate_permille = *s.ra_rate_arcsec_per_min /
                                (kSiderealArcsecPerMin * std::cos(*g.dec_deg * kRadPerDeg)) * 1000;
    if (north.rate_se_per_min)
        s.north_se_arcsec_per_min = north_rate_se(fit, north, o, scale, *s.ra_rate_arcsec_per_min);
    if (const double phase = pixel_phase_north_px(fit, o.orientation); phase > 0)
        s.notes.push_back({NoteCode::pixel_steps, {}, {phase}});
    if (north.residual_rms) s.seeing_arcsec = *north.residual_rms * scale;
    return true;
}

// The north rate with the air's own north drift taken off, at hour angle `ha`; the star's
// altitude and the air in use written into the summary.
double north_without_air(double ha, const Geometry& g, DriftSummary& s) {
    double north = *s.north_arcsec_per_min;
    if (!g.dec_deg || !g.lat_deg) return north;
    const StarPlace place = star_place(ha, *g.dec_deg, *g.lat_deg);
    s.altitude_deg = place.altitude_deg;
    if (!g.air) return north;
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
    return north;
}

// The measured component's standard error in its two parts, arcminutes: the fit's falls
// with time, the models' does not.
struct ComponentSe {
    double fit_arcmin = 0;
    double model_arcmin = 0;
};

// The measured component of the axis's error from the north rate: which one, how large,
// its standard error, which way the axis is off and the azimuth knob's turn.
std::optional<ComponentSe> read_error(const DriftFit& fit, const Geometry& g, DriftSummary& s) {
    // The fit's rate belongs to the mean time of its images.
    const double ha = hour_angle_after(*g.ha_hours, fit.mean_minutes);
    const double hemisphere = g.lat_deg && *g.lat_deg < 0 ? -1 : 1;
    const ComponentReading reading = read_component(ha);
    s.component = reading.component;
    const bool azimuth = reading.read_as == Component::azimuth;
    const double north = north_without_air(ha, g, s);
    double component = hemisphere * north / (kArcsecPerMinPerArcmin * reading.weight);
    // The refracted pole lies above the true one: an axis aimed at it is that much high.
    if (g.air && g.target == PoleTarget::refracted && !azimuth && g.lat_deg)
        component -= refracted_pole_raise_arcmin(*g.lat_deg, *g.air);
    s.error_arcmin = std::abs(component);
    std::optional<ComponentSe> se;
    if (s.north_se_arcsec_per_min) {
        const double per_arcmin = kArcsecPerMinPerArcmin * std::abs(reading.weight);
        se = ComponentSe{*s.north_se_arcsec_per_min / per_arcmin,
                         answer_se(0, north, s.refraction_arcsec_per_min.value_or(0)) / per_arcmin};
        s.error_se_arcmin = std::hypot(se->fit_arcmin, se->model_arcmin);
    }
    s.direction = azimuth ? (component > 0 ? ErrorDirection::west : ErrorDirection::east)
                          : (component > 0 ? ErrorDirection::high : ErrorDirection::low);
    if (azimuth && g.lat_deg && std::abs(std::cos(*g.lat_deg * kRadPerDeg)) > 1e-3)
        s.knob_arcmin = *s.error_arcmin / std::cos(*g.lat_deg * kRadPerDeg);
    if (reading.component == Component::mixed)
        s.notes.push_back({NoteCode::mixed_component,
                           {azimuth ? "altitude" : "azimuth"},
                           {std::min(std::abs(ha), 12 - std::abs(ha))}});
    return se;
}

// The minutes still needed to bring the standard error `error_se` under `target` after
// `minutes`: with images at a steady pace the slope's standard error falls as time^-3/2,
// the models' part stays. None when the models' part alone is too large.
std::optional<double> minutes_needed(double minutes, double error_se, double target,
                                     const ComponentSe& se) {
    double total = minutes;
    if (error_se >= target) {
        const double fit_target =
            std::sqrt(std::max(0.0, target * target - se.model_arcmin * se.model_arcmin));
        total = fit_target > 0 ? minutes * std::pow(se.fit_arcmin / fit_target, 2.0 / 3.0)
                               : std::numeric_limits<double>::infinity();
    }
    total = std::max(total, kEnoughMinutes);
    const double needed = std::max(0.0, total - minutes);
    if (!std::isfinite(needed)) return std::nullopt;
    return needed;
}

// Enough: a standard error under 1' or a tenth of the error, from three minutes on, with
// an orientation known; else the minutes still needed.
void judge_enough(const std::optional<ComponentSe>& se, AngleSource source, DriftSummary& s) {
    if (!se) {
        s.enough = false;
        s.notes.push_back({NoteCode::no_standard_error, {}, {}});
        return;
    }
    const double target = std::max(kEnoughSeArcmin, kEnoughSeFraction * *s.error_arcmin);
    s.enough = *s.error_se_arcmin < target && s.minutes >= kEnoughMinutes;
    if (*s.enough && !angle_known(source)) {
        // The motion tells the RA line, not which way along it north lies; more time
        // does not tell it.
        s.enough = false;
        s.notes.push_back({NoteCode::angle_not_known, {}, {}});
        return;
    }
    if (*s.enough)
        s.minutes_needed = 0;
    else if (s.minutes > 0)
        s.minutes_needed = minutes_needed(s.minutes, *s.error_se_arcmin, target, *se);
}

}  // namespace

double answer_se(double fit_se, double north, double refraction) {
    return std::sqrt(fit_se * fit_se + std::pow(kModelShare * north, 2) +
                     std::pow(kAirShare * refraction, 2));
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

DriftSummary drift_summary(const DriftFit& fit, const Geometry& g) {
    DriftSummary s = summary_start(fit, g);
    if (!fit_has_rate(fit, s.notes)) return s;
    const OrientationInUse orientation = use_orientation(fit, g, s);
    if (!read_rates(fit, g, orientation, s)) return s;
    if (!g.ha_hours) return s;
    const std::optional<ComponentSe> se = read_error(fit, g, s);
    judge_enough(se, orientation.source, s);
    return s;
}

}  // namespace trakora
