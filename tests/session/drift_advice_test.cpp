// SPDX-License-Identifier: MIT
// The drift assistant's advice for summaries of known situations: which case applies,
// the turn it asks for and how far the measurement has come.
#include "session/drift_advice.hpp"

#include <gtest/gtest.h>

namespace trakora {
namespace {

// A finished azimuth measurement: the axis 3.0′ off to the west, ± 0.2′, enough.
DriftSummary azimuth_west() {
    DriftSummary s;
    s.images = s.used = 40;
    s.minutes = 6;
    s.north_arcsec_per_min = 0.79;
    s.north_se_arcsec_per_min = 0.05;
    s.scale_arcsec_per_px = 1.5;
    s.ha_hours = 0.2;
    s.lat_deg = 50;
    s.component = Component::azimuth;
    s.error_arcmin = 3.0;
    s.error_se_arcmin = 0.2;
    s.direction = ErrorDirection::west;
    s.knob_arcmin = 3.1;
    s.enough = true;
    return s;
}

struct AdviceCase {
    const char* name;
    void (*change)(DriftSummary&);
    AdviceKind kind;
    std::optional<ErrorDirection> direction;
    double turn_arcmin;
    ProgressKind progress;
    double minutes_left;
};

const AdviceCase kCases[] = {
    {"azimuth west turns by the knob", [](DriftSummary&) {}, AdviceKind::turn, ErrorDirection::west,
     3.1, ProgressKind::enough, 0},
    {"altitude turns by the error",
     [](DriftSummary& s) {
         s.component = Component::altitude;
         s.direction = ErrorDirection::high;
         s.error_arcmin = 2.44;
     },
     AdviceKind::turn, ErrorDirection::high, 2.44, ProgressKind::enough, 0},
    {"mixed asks for a better star",
     [](DriftSummary& s) {
         s.component = Component::mixed;
         s.direction.reset();
         s.error_arcmin.reset();
     },
     AdviceKind::mixed_star, std::nullopt, 0, ProgressKind::enough, 0},
    {"no plate scale asks for it",
     [](DriftSummary& s) {
         s.scale_arcsec_per_px.reset();
         s.enough.reset();
     },
     AdviceKind::needs_scale, std::nullopt, 0, ProgressKind::measuring, 0},
    {"no hour angle asks for it", [](DriftSummary& s) { s.component.reset(); },
     AdviceKind::needs_hour_angle, std::nullopt, 0, ProgressKind::enough, 0},
    {"no direction yet", [](DriftSummary& s) { s.direction.reset(); },
     AdviceKind::direction_unknown, std::nullopt, 0, ProgressKind::enough, 0},
    {"error within its noise", [](DriftSummary& s) { s.error_arcmin = 0.3; },
     AdviceKind::within_noise, std::nullopt, 0, ProgressKind::enough, 0},
    {"too few images, minutes rounded up",
     [](DriftSummary& s) {
         s.used = 2;
         s.enough = false;
         s.minutes_needed = 2.2;
     },
     AdviceKind::wait_for_images, std::nullopt, 0, ProgressKind::minutes_left, 3},
};

TEST(DriftAdvice, DecidesWhatToDo) {
    for (const AdviceCase& c : kCases) {
        DriftSummary s = azimuth_west();
        c.change(s);
        const DriftAdvice a = drift_advice(s);
        EXPECT_EQ(a.kind, c.kind) << c.name;
        EXPECT_EQ(a.direction, c.direction) << c.name;
        EXPECT_DOUBLE_EQ(a.turn_arcmin, c.turn_arcmin) << c.name;
        EXPECT_EQ(a.progress, c.progress) << c.name;
        EXPECT_DOUBLE_EQ(a.minutes_left, c.minutes_left) << c.name;
    }
}

}  // namespace
}  // namespace trakora
