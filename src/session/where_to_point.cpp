// SPDX-License-Identifier: MIT
#include "session/where_to_point.hpp"

#include <cmath>

#include "session/alignment_step.hpp"

namespace trakora {
namespace {

// The star of the phase the alignment is in: the azimuth star until its knob is turned or
// it is found fine, then the altitude star, then the meridian again to check both.
NextPhase next_phase(const DriftAssistant& a) {
    const AlignmentStep step = alignment_step(a);
    if (step.phase == AlignmentPhase::aligned) return NextPhase::aligned;
    const std::optional<CombinedError> c = combined_now(a);
    if (c && std::abs(c->azimuth_arcmin) < kAlignedArcmin &&
        std::abs(c->altitude_arcmin) < kAlignedArcmin)
        return NextPhase::nearly_aligned;
    switch (step.phase) {
        case AlignmentPhase::turn_azimuth:
            return c ? NextPhase::both_known : NextPhase::altitude;
        case AlignmentPhase::measure_altitude:
            return NextPhase::altitude;
        case AlignmentPhase::turn_altitude:
            return c ? NextPhase::both_known : NextPhase::azimuth;
        default:
            return NextPhase::azimuth;
    }
}

// The newest header the assistant saw: the latest measured image's, else the session's.
const ObservingKeywords* newest_keywords(const DriftAssistant& a) {
    if (a.latest) return &a.latest->keywords;
    if (!a.images.empty()) return &a.images.back().measurement.keywords;
    return nullptr;
}

}  // namespace

WhereToPoint where_to_point(const DriftAssistant& a, std::optional<double> typed_lon_deg,
                            double unix_s) {
    WhereToPoint w;
    w.next = next_phase(a);
    const ObservingKeywords* header = newest_keywords(a);
    w.lat_deg = drift_input_value(a, DriftInput::lat).value;
    if (!w.lat_deg && header) w.lat_deg = header->lat_deg.value;
    if (header && header->lon_deg.value) {
        w.lon_deg = header->lon_deg.value;
    } else if (typed_lon_deg && std::isfinite(*typed_lon_deg)) {
        w.lon_deg = typed_lon_deg;
        w.lon_typed = true;
    }
    if (w.lat_deg && w.lon_deg && std::isfinite(unix_s))
        w.plan = sky_plan(*w.lat_deg, local_sidereal_hours(unix_s, *w.lon_deg));
    return w;
}

}  // namespace trakora
