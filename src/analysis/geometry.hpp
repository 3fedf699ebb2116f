// SPDX-License-Identifier: MIT
// What a drift is read against: plate scale, pointing, site, the image's orientation and
// the air, each the user's typed value or else the first image's observing keywords and
// plate solution, with a note on where each came from or why it is missing. This is the
// only code that reads the observing keywords and the plate reading for the answer; the
// physics (analysis/polar_error.hpp) works on the resolved numbers.
//
// Usage:
//   PolarInputs in{.scale_arcsec_per_px = std::nullopt, .orientation = {0, false}};
//   Geometry g = resolve_geometry(in, read_observing_keywords(header), first_image_unix_s);
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/drift_notes.hpp"
#include "analysis/refraction.hpp"
#include "base/orientation.hpp"
#include "fits/observing_keywords.hpp"
#include "fits/plate_solution.hpp"

namespace trakora {

// Where the image's orientation came from. Typed (an exact angle), the header's plate
// solution, a calibration move, and a coarse one refined to 2 degrees by the star's RA
// motion count as known; a coarse one (up, down, left, right) or the assumed default do not.
enum class AngleSource { typed, header, calibration, refined, coarse, assumed };
const char* angle_source_name(AngleSource source);  // "typed", "header", ...
bool angle_known(AngleSource source);

// Which pole the answer aims at: the true one, or the refracted one the air shows.
enum class PoleTarget { true_pole, refracted };
const char* pole_target_name(PoleTarget target);  // "true", "refracted"

// A calibration move of the hand controller: where the telescope went.
enum class CalibrationMove { north, south, east, west };
std::optional<CalibrationMove> calibration_named(std::string_view name);  // "north", ...
const char* calibration_name(CalibrationMove move);

// North's angle from the star's jump (dx, dy pixels on the screen) across a calibration
// move: the star moves the opposite way to the telescope. `mirror` as the image is.
double angle_from_move(CalibrationMove move, double dx, double dy, bool mirror);

// What the user gave; anything absent is taken from the header.
struct PolarInputs {
    std::optional<double> scale_arcsec_per_px;
    std::optional<double> dec_deg;
    std::optional<double> ha_hours;  // at the segment's first image, west positive
    std::optional<double> lat_deg;
    Orientation orientation;
    AngleSource angle_source = AngleSource::assumed;  // typed, coarse or assumed here
    // The air: refraction is taken off the drift unless `refraction` is false; the
    // temperature and pressure the header's, else typed, else 10 degrees C and 1010 hPa
    // (see air_temperature).
    bool refraction = false;
    std::optional<double> temperature_c = std::nullopt;
    std::optional<double> pressure_hpa = std::nullopt;
    PoleTarget target = PoleTarget::true_pole;
    // A calibration move made at the start of each segment, the session finds its jump.
    std::optional<CalibrationMove> calibration = std::nullopt;
};

// Where a value of the air in use came from: a sensor's reading in the header is the
// night's own and stands; the typed one serves a header without it (or with one out of
// range); else the standard air.
enum class AirSource { header, typed, standard };
struct AirValue {
    double value = 0;
    AirSource source = AirSource::standard;
};
inline constexpr double kColdestAir = -60, kWarmestAir = 50;             // degrees C
inline constexpr double kLowestPressure = 500, kHighestPressure = 1100;  // hPa
AirValue air_temperature(std::optional<double> typed, const KeywordValue& header);
AirValue air_pressure(std::optional<double> typed, const KeywordValue& header);

struct Geometry {
    std::optional<double> scale_arcsec_per_px;
    std::optional<double> dec_deg;
    std::optional<double> ha_hours;  // at the segment's first image
    std::optional<double> lat_deg;
    Orientation orientation;
    AngleSource angle_source = AngleSource::assumed;
    std::optional<double> angle_se_deg;  // a calibration move's
    std::optional<Air> air;              // set when refraction is taken off
    PoleTarget target = PoleTarget::true_pole;
    std::vector<DriftNote> notes;  // where each value came from, or why it is missing
};

// Resolves each value: the user's, else the first image's keywords (plate scale from
// pixel size and focal length, else the header's scale; the declination; the hour angle
// from the right ascension, the site's longitude and the first image's time; the
// latitude). A placeholder pointing counts as none; a keyword present but unreadable is
// named with its text in the notes.
// An exact typed angle stands; else the first image's plate solution gives the angle,
// the mirror and (unless typed) the plate scale; else the typed coarse or assumed one.
Geometry resolve_geometry(const PolarInputs& inputs, const ObservingKeywords& first_image,
                          std::optional<double> first_image_unix_s,
                          const PlateReading& first_plate = {});

}  // namespace trakora
