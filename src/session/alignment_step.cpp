// SPDX-License-Identifier: MIT
#include "session/alignment_step.hpp"

#include <cmath>

#include "session/drift_adjust.hpp"
#include "session/drift_advice.hpp"
#include "session/where_to_point.hpp"

namespace trakora {
namespace {

// A star whose error is neither surely off nor surely within kAlignedArcmin is measured
// on for this long at most; then its answer is taken as it stands.
constexpr double kLongestMeasureMinutes = 12;

// Both components within kAlignedArcmin at `ses` standard errors.
bool within(const CombinedError& c, Knob knob, double ses) {
    const double value = knob == Knob::azimuth ? c.azimuth_arcmin : c.altitude_arcmin;
    const double se = knob == Knob::azimuth ? c.azimuth_se_arcmin : c.altitude_se_arcmin;
    return std::abs(value) + ses * se < kAlignedArcmin;
}

// A turn takes more away than it may add only when the error stands out of its noise by
// more than half of kAlignedArcmin; closer to the pole, more time tells (a turn on a
// 1.4′ ± 0.6′ answer chases the noise round the pole).
bool worth_turning(double value, double se) {
    return std::abs(value) - 2 * se > kAlignedArcmin / 2;
}

bool worth_turning(const CombinedError& c, Knob knob) {
    return knob == Knob::azimuth ? worth_turning(c.azimuth_arcmin, c.azimuth_se_arcmin)
                                 : worth_turning(c.altitude_arcmin, c.altitude_se_arcmin);
}

AlignmentPhase turn_phase(Knob knob) {
    return knob == Knob::azimuth ? AlignmentPhase::turn_azimuth : AlignmentPhase::turn_altitude;
}

StepAction turn_action(Knob knob) {
    return knob == Knob::azimuth ? StepAction::turn_azimuth_knob : StepAction::turn_altitude_knob;
}

// Offers the turn of `knob` when its move is known.
void offer_turn(AlignmentStep& step, const DriftAssistant& a, Knob knob) {
    step.phase = turn_phase(knob);
    step.action = turn_action(knob);
    step.knob_allowed = drift_adjust_now(a, knob).has_value();
}

}  // namespace

const char* alignment_phase_name(AlignmentPhase phase) {
    switch (phase) {
        case AlignmentPhase::measure_azimuth:
            return "measure_azimuth";
        case AlignmentPhase::turn_azimuth:
            return "turn_azimuth";
        case AlignmentPhase::measure_altitude:
            return "measure_altitude";
        case AlignmentPhase::turn_altitude:
            return "turn_altitude";
        case AlignmentPhase::check_both:
            return "check_both";
        case AlignmentPhase::aligned:
            break;
    }
    return "aligned";
}

const char* step_action_name(StepAction action) {
    switch (action) {
        case StepAction::pick_meridian_star:
            return "pick_meridian_star";
        case StepAction::wait:
            return "wait";
        case StepAction::give_scale:
            return "give_scale";
        case StepAction::give_hour_angle:
            return "give_hour_angle";
        case StepAction::give_orientation:
            return "give_orientation";
        case StepAction::other_star:
            return "other_star";
        case StepAction::turn_azimuth_knob:
            return "turn_azimuth_knob";
        case StepAction::turn_altitude_knob:
            return "turn_altitude_knob";
        case StepAction::target_reached:
            return "target_reached";
        case StepAction::slew_altitude_star:
            return "slew_altitude_star";
        case StepAction::slew_check_star:
            return "slew_check_star";
        case StepAction::done:
            break;
    }
    return "done";
}

bool direction_known(const DriftSummary& s) {
    return s.angle_source && angle_known(*s.angle_source);
}

bool error_may_be_shown(const DriftSummary& s) {
    if (!s.error_arcmin || !s.error_se_arcmin) return false;
    if (s.used < kLeastImagesShown || s.minutes < kLeastMinutesShown) return false;
    return *s.error_se_arcmin < *s.error_arcmin / 2 || *s.error_se_arcmin < 1;
}

AlignmentStep alignment_step(const DriftAssistant& a) {
    AlignmentStep step;
    step.direction_known = angle_known(a.typed.angle_source);
    if (a.segments.empty()) return step;
    const DriftSummary& s = drift_summary_now(a);
    step.direction_known = direction_known(s);
    step.elapsed_min = s.minutes;
    if (s.minutes_needed && std::isfinite(*s.minutes_needed)) step.minutes_to_go = s.minutes_needed;
    if (error_may_be_shown(s)) step.show = AnswerShown::error;
    step.may_be_fine = s.error_arcmin && s.error_se_arcmin &&
                       *s.error_arcmin + 2 * *s.error_se_arcmin < kAlignedArcmin;
    if (a.session_ended) {
        step.action = StepAction::pick_meridian_star;
        return step;
    }
    if (const std::optional<KnobAdjusting>& k = a.adjusting) {
        step.phase = turn_phase(k->adjust.knob);
        step.action = k->reached ? StepAction::target_reached : turn_action(k->adjust.knob);
        return step;
    }

    // After the altitude knob the round checks both; after the azimuth knob it goes on to
    // the altitude star.
    const bool checking = a.knob_turned_last == Knob::altitude;
    const DriftSegment& segment = a.segments.back();
    const bool same_star_after_turn =
        segment.reason == SegmentReason::knob_turned && !segment.slewed && segment.count > 0;
    const bool enough = s.enough.value_or(false);
    const std::optional<Component> component = s.component;
    step.phase = checking                              ? AlignmentPhase::check_both
                 : component == Component::altitude    ? AlignmentPhase::measure_altitude
                 : a.knob_turned_last == Knob::azimuth ? AlignmentPhase::measure_altitude
                                                       : AlignmentPhase::measure_azimuth;
    if (component == Component::azimuth && !checking && a.knob_turned_last != Knob::azimuth)
        step.phase = AlignmentPhase::measure_azimuth;

    // A segment asked for (a knob turned, a new star, by hand) starts with the next image:
    // until then the answer is the old segment's, and nothing is offered on it again.
    if (a.segment_requested) {
        step.action = StepAction::wait;
        return step;
    }

    if (const std::optional<CombinedError> c = combined_now(a)) {
        if (within(*c, Knob::azimuth, 2) && within(*c, Knob::altitude, 2)) {
            step.phase = AlignmentPhase::aligned;
            step.action = StepAction::done;
            return step;
        }
        if (enough && step.direction_known) {
            const std::optional<KnobAdjust> adjust = drift_adjust_now(a);
            if (adjust && worth_turning(*c, adjust->knob) && !within(*c, adjust->knob, 2)) {
                offer_turn(step, a, adjust->knob);
                return step;
            }
        }
    }
    // On the star a knob was just turned for: on to the next one.
    if (same_star_after_turn && a.knob_turned_last) {
        step.action = checking ? StepAction::slew_check_star : StepAction::slew_altitude_star;
        return step;
    }

    const DriftAdvice advice = drift_advice(s);
    switch (advice.kind) {
        case AdviceKind::wait_for_images:
        case AdviceKind::direction_unknown:
            step.action = StepAction::wait;
            return step;
        case AdviceKind::needs_scale:
            step.action = StepAction::give_scale;
            return step;
        case AdviceKind::needs_hour_angle:
            step.action = StepAction::give_hour_angle;
            return step;
        case AdviceKind::mixed_star:
            step.action = StepAction::other_star;
            return step;
        case AdviceKind::within_noise:
        case AdviceKind::turn:
            break;
    }
    // An answer on an assumed north is never enough: ask for north once it would show.
    if (!step.direction_known) {
        step.action =
            step.show == AnswerShown::error ? StepAction::give_orientation : StepAction::wait;
        return step;
    }
    if (!enough) {
        step.action = StepAction::wait;
        return step;
    }
    const Knob knob = component == Component::azimuth ? Knob::azimuth : Knob::altitude;
    if (advice.kind == AdviceKind::turn && !step.may_be_fine && s.error_arcmin &&
        s.error_se_arcmin && worth_turning(*s.error_arcmin, *s.error_se_arcmin)) {
        offer_turn(step, a, knob);
        return step;
    }
    // Neither surely off nor surely within kAlignedArcmin: more time tells, up to a point.
    if (!step.may_be_fine && s.minutes < kLongestMeasureMinutes) {
        step.action = StepAction::wait;
        return step;
    }
    // This component is fine as it is: measure the other.
    step.action =
        knob == Knob::azimuth ? StepAction::slew_altitude_star : StepAction::slew_check_star;
    step.phase =
        knob == Knob::azimuth ? AlignmentPhase::measure_altitude : AlignmentPhase::check_both;
    return step;
}

}  // namespace trakora
