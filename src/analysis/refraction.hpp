// SPDX-License-Identifier: MIT
// The star's place in the local sky and what the air does to it: altitude and
// parallactic angle from hour angle, declination and latitude, Saemundsson's refraction
// scaled for pressure and temperature, the north drift that refraction alone gives a
// tracked star, and the sidereal time that turns a time into an hour angle. ERFA does
// the astronomy.
//
// Usage:
//   const Air air{.temperature_c = 4, .pressure_hpa = 990};
//   double raise = refraction_arcmin(star_place(-3.9, 0, 50).altitude_deg, air);
//   double drift = refraction_north_drift_arcsec_per_min(-3.9, 0, 50, air);  // "/min
//
// Hour angles in hours, west positive; declination and latitude in degrees, north
// positive; altitudes true (unrefracted), in degrees.
#pragma once

namespace trakora {

struct StarPlace {
    double altitude_deg = 0;  // true, above the horizon
    double azimuth_deg = 0;   // from north through east, 0 to 360
    // At the star, from the direction to the north celestial pole to that of the zenith,
    // positive when the star is west of the meridian (-180 to 180).
    double parallactic_deg = 0;
};

StarPlace star_place(double ha_hours, double dec_deg, double lat_deg);

// The air: the defaults stand for a night of unknown weather.
struct Air {
    double temperature_c = 10;
    double pressure_hpa = 1010;
};

// How far the air lifts a star at true altitude `altitude_deg`, arcminutes:
// Saemundsson's 1.02 cot(h + 10.3 / (h + 5.11)) times (P / 1010) (283 / (273 + T)).
// A tenth of an arcsecond below zero at the zenith, as the formula has it; below a degree
// under the horizon it keeps its value there.
double refraction_arcmin(double altitude_deg, const Air& air);

// The lift's component toward the north celestial pole, arcminutes: R cos q.
double refraction_north_arcmin(double ha_hours, double dec_deg, double lat_deg, const Air& air);

// How fast that component changes as the tracked star moves with the sky, arcseconds
// per minute of time: the north drift that refraction alone gives it at this hour angle.
// Negative (south) while the star rises, positive while it sets, near zero on the
// meridian.
double refraction_north_drift_arcsec_per_min(double ha_hours, double dec_deg, double lat_deg,
                                             const Air& air);

// How far above the true pole the refracted pole lies, arcminutes: R(|lat|).
double refracted_pole_raise_arcmin(double lat_deg, const Air& air);

// Greenwich mean sidereal time, hours 0..24, at a UTC time in seconds since 1970, by the
// IAU 2006 expression (UT1 taken as UTC, TT as UTC + 69.184 s).
double greenwich_sidereal_hours_erfa(double unix_s);

}  // namespace trakora
