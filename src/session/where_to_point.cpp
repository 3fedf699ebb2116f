// SPDX-License-Identifier: MIT
#include "session/where_to_point.hpp"

#include <cmath>

namespace trakora {
namespace {

NextPhase next_phase(const DriftAssistant& a) {
    if (const std::optional<CombinedError> c = combined_now(a)) {
        const auto within = [](double value, double se, double ses) {
            return std::abs(value) + ses * se < kAlignedArcmin;
        };
        const auto both = [&](double ses) {
            return within(c->azimuth_arcmin, c->azimuth_se_arcmin, ses) &&
                   within(c->altitude_arcmin, c->altitude_se_arcmin, ses);
        };
        if (both(2)) return NextPhase::aligned;
        if (both(0)) return NextPhase::nearly_aligned;
        return NextPhase::both_known;
    }
    for (std::size_t k = a.segments.size(); k-- > 0;) {
        const DriftSummary& s = a.segments[k].summary;
        if (s.component == Component::azimuth && s.error_arcmin) return NextPhase::altitude;
        if (a.segments[k].reason == SegmentReason::knob_turned) break;
    }
    return NextPhase::azimuth;
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
