// SPDX-License-Identifier: MIT
#include "session/drift_advice.hpp"

#include <algorithm>
#include <cmath>

namespace trakora {

namespace {

// Below this many images the fit says nothing worth reading yet.
constexpr std::size_t kFewestImages = 3;

AdviceKind advice_kind(const DriftSummary& s) {
    if (s.used < kFewestImages || !s.north_arcsec_per_min) return AdviceKind::wait_for_images;
    if (!s.scale_arcsec_per_px) return AdviceKind::needs_scale;
    if (!s.component) return AdviceKind::needs_hour_angle;
    if (*s.component == Component::mixed) return AdviceKind::mixed_star;
    if (!s.error_arcmin || !s.direction) return AdviceKind::direction_unknown;
    if (s.error_se_arcmin && *s.error_arcmin < 2 * *s.error_se_arcmin)
        return AdviceKind::within_noise;
    return AdviceKind::turn;
}

}  // namespace

DriftAdvice drift_advice(const DriftSummary& s) {
    DriftAdvice a;
    a.kind = advice_kind(s);
    if (a.kind == AdviceKind::turn) {
        a.direction = s.direction;
        a.turn_arcmin =
            *s.component == Component::azimuth && s.knob_arcmin ? *s.knob_arcmin : *s.error_arcmin;
    }
    if (s.enough && *s.enough) {
        a.progress = ProgressKind::enough;
    } else if (std::any_of(s.notes.begin(), s.notes.end(), [](const DriftNote& n) {
                   return n.code == NoteCode::angle_not_known;
               })) {
        a.progress = ProgressKind::orientation_needed;
    } else if (s.minutes_needed && std::isfinite(*s.minutes_needed)) {
        a.progress = ProgressKind::minutes_left;
        a.minutes_left = std::ceil(*s.minutes_needed);
    }
    return a;
}

}  // namespace trakora
