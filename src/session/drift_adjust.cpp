// SPDX-License-Identifier: MIT
#include "session/drift_adjust.hpp"

#include <cmath>

#include "base/sky_time.hpp"

namespace trakora {
namespace {

double signed_error(double error, ErrorDirection direction) {
    return direction == ErrorDirection::east || direction == ErrorDirection::low ? -error : error;
}

}  // namespace

std::optional<KnobAdjust> drift_adjust_now(const DriftAssistant& a, std::optional<Knob> knob) {
    if (a.segments.empty()) return std::nullopt;
    const DriftSegment& segment = a.segments.back();
    const DriftSummary& s = segment.summary;
    const Geometry& g = segment.geometry;
    if (!g.scale_arcsec_per_px || !(*g.scale_arcsec_per_px > 0) || !g.lat_deg || !g.dec_deg ||
        !g.ha_hours || segment.count == 0)
        return std::nullopt;

    KnobAdjust out;
    if (const std::optional<CombinedError> both = combined_now(a)) {
        const double az_turn = std::abs(both->azimuth_knob_arcmin.value_or(0));
        const double alt_turn = std::abs(both->altitude_knob_arcmin);
        out.knob = knob.value_or(az_turn >= alt_turn ? Knob::azimuth : Knob::altitude);
        out.error_arcmin = out.knob == Knob::azimuth ? both->azimuth_arcmin : both->altitude_arcmin;
        // Within a degree of the pole the azimuth knob turns about the axis itself.
        if (out.knob == Knob::azimuth && !both->azimuth_knob_arcmin) return std::nullopt;
    } else {
        if (!s.component || *s.component == Component::mixed || !s.error_arcmin || !s.direction)
            return std::nullopt;
        out.knob = *s.component == Component::azimuth ? Knob::azimuth : Knob::altitude;
        if (knob && *knob != out.knob) return std::nullopt;
        out.error_arcmin = signed_error(*s.error_arcmin, *s.direction);
    }
    if (!std::isfinite(out.error_arcmin)) return std::nullopt;

    // The hour angle of the segment's latest image.
    const double minutes =
        a.images[segment.first + segment.count - 1].minutes - a.images[segment.first].minutes;
    KnobSight sight;
    sight.lat_deg = *g.lat_deg;
    sight.dec_deg = *g.dec_deg;
    sight.ha_hours = hour_angle_after(*g.ha_hours, minutes);
    sight.scale_arcsec_per_px = *g.scale_arcsec_per_px;
    sight.orientation = g.orientation;
    // The orientation the answer used, refined from the star's motion when it was.
    if (s.angle_deg) sight.orientation.north_deg = *s.angle_deg;
    if (s.mirror) sight.orientation.mirror = *s.mirror;
    const ScreenOffset move = knob_target_move(out.knob, out.error_arcmin, sight);
    if (!std::isfinite(move.dx) || !std::isfinite(move.dy)) return std::nullopt;
    out.dx_px = move.dx;
    out.dy_px = move.dy;
    return out;
}

}  // namespace trakora
