// SPDX-License-Identifier: MIT
// Where the alignment stands and the one thing to do now, decided once from the session
// so that every face shows the same: the phase of the round (measure the azimuth star,
// turn the azimuth knob, measure the altitude star, turn the altitude knob, check both,
// aligned), what the user does next, and what may be said of the answer yet. No words:
// the desktop says it through tr(), the files and trakora-cli by the names below.
//
//   const AlignmentStep step = alignment_step(s.assistant);
//   if (step.show == AnswerShown::error) headline(error);   // else progress, or orientation
//   knob_button->setEnabled(step.knob_allowed);
#pragma once

#include <cstddef>
#include <optional>

#include "analysis/polar_error.hpp"
#include "session/drift_assistant.hpp"

namespace trakora {

enum class AlignmentPhase {
    measure_azimuth,   // a star near the meridian measures the azimuth
    turn_azimuth,      // the azimuth knob takes it away
    measure_altitude,  // a star low in the east or west measures the altitude
    turn_altitude,     // the altitude knob takes it away
    check_both,        // after both knobs: measure again
    aligned,           // both within kAlignedArcmin, surely
};

// The one thing to do now.
enum class StepAction {
    pick_meridian_star,  // slew to a star near the meridian (HA about 0, Dec 0 to 20), centre
                         // it and click it
    wait,                // measuring: wait for more images (elapsed, about how long to go)
    give_scale,          // the plate scale is unknown
    give_hour_angle,     // the star's hour angle is unknown
    give_orientation,    // where north lies: type it, plate-solve, or calibrate
    other_star,          // the star mixes both components: pick one nearer the meridian or
                         // lower in the east or west
    turn_azimuth_knob,   // press "turn the azimuth knob" and turn it until the star is there
    turn_altitude_knob,
    target_reached,      // the star is on the target: stop turning, press "New segment"
    slew_altitude_star,  // slew to a star 4 to 8 h east or west, centre it (a new star by
                         // itself)
    slew_check_star,     // both knobs turned: back to a meridian star to check
    done,                // aligned
};

// What may be said of the current answer.
enum class AnswerShown {
    progress,  // too early: elapsed minutes and about how long to go
    error,     // the error, as the headline (error_may_be_shown)
};

struct AlignmentStep {
    AlignmentPhase phase = AlignmentPhase::measure_azimuth;
    StepAction action = StepAction::pick_meridian_star;
    AnswerShown show = AnswerShown::progress;
    // North is typed, solved, calibrated or refined: a direction may be said.
    bool direction_known = false;
    // A knob turn may be offered: the answer is enough, its direction known, a move known.
    bool knob_allowed = false;
    // The error is below kAlignedArcmin even at two standard errors.
    bool may_be_fine = false;
    double elapsed_min = 0;               // the current segment's span
    std::optional<double> minutes_to_go;  // about how long still, when known
};

// "measure_azimuth", "turn_azimuth", ... and "pick_meridian_star", "wait", ...
const char* alignment_phase_name(AlignmentPhase phase);
const char* step_action_name(StepAction action);

// Whether the summary's orientation is known well enough to say a direction.
bool direction_known(const DriftSummary& summary);

// A fit of fewer images, or over less time, says nothing yet: its standard error is
// itself too uncertain to judge the error by (three images can give 38′ ± 5′ on a
// tracked star).
inline constexpr std::size_t kLeastImagesShown = 8;
inline constexpr double kLeastMinutesShown = 1;

// The error may be the headline: the fit spans kLeastImagesShown images and
// kLeastMinutesShown, and its standard error is below half of it or below 1′.
bool error_may_be_shown(const DriftSummary& summary);

AlignmentStep alignment_step(const DriftAssistant& a);

}  // namespace trakora
