// SPDX-License-Identifier: MIT
#include "analysis/pointing_move.hpp"

#include <algorithm>
#include <cmath>

#include "base/sky_time.hpp"

namespace trakora {
namespace {

struct SkyPlace {
    double ra_deg = 0;
    double dec_deg = 0;
};

std::optional<SkyPlace> header_place(const ObservingKeywords& k) {
    if (k.pointing_placeholder || !k.ra_hours.value || !k.dec_deg.value) return std::nullopt;
    return SkyPlace{*k.ra_hours.value * 15, *k.dec_deg.value};
}

// The angle between two places on the sphere, by the haversine (exact for small ones).
double separation_arcmin(SkyPlace a, SkyPlace b) {
    const double d1 = a.dec_deg * kRadPerDeg, d2 = b.dec_deg * kRadPerDeg;
    const double dra = (a.ra_deg - b.ra_deg) * kRadPerDeg;
    const double h = std::pow(std::sin((d2 - d1) / 2), 2) +
                     std::cos(d1) * std::cos(d2) * std::pow(std::sin(dra / 2), 2);
    return 2 * std::asin(std::min(1.0, std::sqrt(h))) / kRadPerArcmin;
}

}  // namespace

std::optional<PointingMove> pointing_move(const ObservingKeywords& before,
                                          const PlateReading& before_plate,
                                          const ObservingKeywords& now,
                                          const PlateReading& now_plate) {
    if (before_plate.solution && now_plate.solution) {
        const PlateSolution &a = *before_plate.solution, &b = *now_plate.solution;
        return PointingMove{separation_arcmin({a.ra_deg, a.dec_deg}, {b.ra_deg, b.dec_deg}),
                            PointingSource::plate};
    }
    const std::optional<SkyPlace> a = header_place(before), b = header_place(now);
    if (!a || !b) return std::nullopt;
    return PointingMove{separation_arcmin(*a, *b), PointingSource::header};
}

}  // namespace trakora
