// SPDX-License-Identifier: MIT
// From a drift fit in pixels to the polar axis's error: plate scale, pointing and site
// from the command line or the header, the image's orientation, then which component of
// the error the star measures, how large it is, which way the axis is off and whether
// the measurement is good enough.
//
// Usage:
//   PolarInputs in{.scale_arcsec_per_px = std::nullopt, .orientation = {0, false}};
//   Geometry g = resolve_geometry(in, header_values(cards), first_image_unix_s);
//   DriftFit fit = fit_drift(samples, from);
//   DriftSummary s = drift_summary(fit, g);        // every field nullopt when unknown
//
// The physics, to first order: an axis off the pole by A toward the west (azimuth) and E
// upward (altitude) makes a tracked star drift north at w (A cos H - E sin H), H the hour
// angle west positive, w = 2 pi per sidereal day (0.2625"/min per arcminute), whatever
// the star's declination. The southern hemisphere reverses the sign.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/drift_fit.hpp"
#include "base/orientation.hpp"
#include "fits/header_values.hpp"

namespace trakora {

// North drift, arcseconds per minute, for one arcminute of error along the measured
// component: 60 x 2 pi / sidereal day in minutes.
inline constexpr double kArcsecPerMinPerArcmin = 0.26251616491;

// What the user gave; anything absent is taken from the header.
struct PolarInputs {
    std::optional<double> scale_arcsec_per_px;
    std::optional<double> dec_deg;
    std::optional<double> ha_hours;  // at the segment's first image, west positive
    std::optional<double> lat_deg;
    Orientation orientation;
};

struct Geometry {
    std::optional<double> scale_arcsec_per_px;
    std::optional<double> dec_deg;
    std::optional<double> ha_hours;  // at the segment's first image
    std::optional<double> lat_deg;
    Orientation orientation;
    std::vector<std::string> notes;  // where each value came from, or why it is missing
};

// Resolves each value: the user's, else the header's (plate scale from XPIXSZ and
// FOCALLEN, else SCALE or PIXSCALE; declination from OBJCTDEC or DEC; hour angle from
// OBJCTRA or RA, SITELONG and the first image's time; latitude from SITELAT).
Geometry resolve_geometry(const PolarInputs& inputs, const HeaderValues& first_image_header,
                          std::optional<double> first_image_unix_s);

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
    std::vector<std::string> notes;
};

DriftSummary drift_summary(const DriftFit& fit, const Geometry& geometry);

// ---- small pieces, each usable alone --------------------------------------------------

const char* component_name(Component component);       // "azimuth", "altitude", "mixed"
const char* direction_name(ErrorDirection direction);  // "east", "west", "high", "low"

// "+dd mm ss.s", "dd:mm:ss", "-00 30" (sign on the whole value) or plain "12.5".
// `sexagesimal` tells which form it was.
std::optional<double> parse_sexagesimal(std::string_view text, bool* sexagesimal = nullptr);
// Declination or latitude in degrees: sexagesimal degrees or plain degrees, |v| <= 90.
std::optional<double> parse_degrees(std::string_view text, double limit = 90);
// Right ascension in hours: sexagesimal means hours, a plain number means degrees.
std::optional<double> parse_right_ascension_hours(std::string_view text);

// An hour angle brought into (-12, 12].
double wrapped_hours(double hours);

// Pixel rates (rows counted downward) to sky rates in arcseconds per minute.
struct SkyRate {
    double north = 0;
    double east = 0;
};
SkyRate sky_rate(double rate_x_px, double rate_y_px, double scale, const Orientation& o);

// The fit of the image axis nearer to north: its quality figures stand for the north
// drift's.
const AxisFit& north_axis_fit(const DriftFit& fit, const Orientation& o);

// Which component a star at hour angle `ha_hours` measures: azimuth within 2 h of the
// meridian (upper or lower), altitude 4 to 8 h from it, mixed between.
Component measured_component(double ha_hours);

}  // namespace trakora
