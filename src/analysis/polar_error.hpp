// SPDX-License-Identifier: MIT
// From a drift fit in pixels to the polar axis's error, on numbers alone: with the
// geometry resolved (analysis/geometry.hpp), the orientation the answer reads the fit by,
// the rates on the sky, which component of the error the star measures, how large it is,
// which way the axis is off and whether the measurement is good enough.
//
// Usage:
//   Geometry g = resolve_geometry(in, read_observing_keywords(header), first_image_unix_s);
//   DriftFit fit = fit_drift(samples, from);
//   DriftSummary s = drift_summary(fit, g);        // every field nullopt when unknown
//
// The physics, to first order: an axis off the pole by A toward the west (azimuth) and E
// upward (altitude) makes a tracked star drift north at w (A cos H - E sin H), H the hour
// angle west positive, w = 2 pi per sidereal day (0.2625"/min per arcminute), whatever
// the star's declination. The southern hemisphere reverses the sign.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "analysis/drift_fit.hpp"
#include "analysis/drift_notes.hpp"
#include "analysis/geometry.hpp"
#include "base/orientation.hpp"
#include "base/sky_time.hpp"

namespace trakora {

// North drift, arcseconds per minute, for one arcminute of error along the measured
// component: 60 x 2 pi / sidereal day in minutes.
inline constexpr double kArcsecPerMinPerArcmin = 0.26251616491;

// The standard error of a north rate (arcsec/min) the answer reads, from the fit's own
// standard error, the rate with the air's drift taken off and that drift: the reading's
// and the air's model uncertainties added in quadrature.
double answer_se(double fit_se, double north, double refraction);

enum class Component { azimuth, altitude, mixed };
enum class ErrorDirection { east, west, high, low };

// Exactly the summary's fields; nullopt where unknown, never NaN.
struct DriftSummary {
    std::size_t images = 0;
    std::size_t used = 0;
    double minutes = 0;
    std::optional<double> rate_x_px_per_min;
    std::optional<double> rate_y_px_per_min;
    std::optional<double> north_arcsec_per_min;  // positive: the star moves north
    std::optional<double> north_se_arcsec_per_min;
    std::optional<double> scale_arcsec_per_px;
    std::optional<double> dec_deg;
    std::optional<double> ha_hours;
    std::optional<double> lat_deg;
    std::optional<Component> component;
    std::optional<double> error_arcmin;  // on the sky, of the measured component, >= 0
    std::optional<double> error_se_arcmin;
    std::optional<ErrorDirection> direction;
    std::optional<double> knob_arcmin;  // azimuth only: the turn of the azimuth knob
    std::optional<double> seeing_arcsec;
    std::optional<double> r2;
    std::optional<bool> enough;
    std::optional<double> minutes_needed;
    // The orientation the answer used and how well it is known.
    std::optional<double> angle_deg;
    std::optional<double> angle_se_deg;
    std::optional<AngleSource> angle_source;
    std::optional<bool> mirror;
    // The mount's tracking: the star's rate along RA (positive east) and what drive-rate
    // error that is, parts per thousand of the sidereal rate.
    std::optional<double> ra_rate_arcsec_per_min;
    std::optional<double> drive_rate_permille;
    std::optional<double> pe_arcsec;  // peak to peak, on the RA axis
    std::optional<double> pe_period_min;
    // The air.
    std::optional<double> altitude_deg;               // the star's mean true altitude
    std::optional<double> refraction_arcsec_per_min;  // the north drift it alone gives
    std::optional<double> temperature_c = std::nullopt;
    std::optional<double> pressure_hpa = std::nullopt;
    std::optional<PoleTarget> target;
    std::vector<DriftNote> notes;
};

DriftSummary drift_summary(const DriftFit& fit, const Geometry& geometry);

// ---- small pieces, each usable alone --------------------------------------------------

const char* component_name(Component component);       // "azimuth", "altitude", "mixed"
const char* direction_name(ErrorDirection direction);  // "east", "west", "high", "low"

// Pixel rates (rows counted downward) to sky rates in arcseconds per minute.
struct SkyRate {
    double north = 0;
    double east = 0;
};
SkyRate sky_rate(double rate_x_px, double rate_y_px, double scale, const Orientation& o);

// The fit of the star's motion toward north, and toward east, in pixels per minute.
AxisFit north_fit(const DriftFit& fit, const Orientation& o);
AxisFit east_fit(const DriftFit& fit, const Orientation& o);

// The one rule for what a star at hour angle `ha_hours` measures of the axis's error,
// read by the answer, its direction, the knob, the chart and the advice alike:
// `component` is azimuth within 2 h of the meridian (upper or lower), altitude 4 to 8 h
// from it, mixed between; its north drift is read as `read_as`, the component of the
// larger weight (azimuth within 3 h of either culmination), whose drift per arcminute is
// `weight` times the standard rate: cos H for azimuth, -sin H for altitude.
struct ComponentReading {
    Component component = Component::azimuth;
    Component read_as = Component::azimuth;
    double weight = 1;
};
ComponentReading read_component(double ha_hours);

}  // namespace trakora
