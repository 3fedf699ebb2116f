// SPDX-License-Identifier: MIT
// Where the alignment stands as a session of drifting stars goes through its phases, and
// what the session does when the headers say the mount slewed or flipped.
#include "session/alignment_step.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "session/assistant_handlers.hpp"
#include "session/where_to_point.hpp"

namespace trakora {
namespace {

// `count` images 0.25 min apart of a star drifting up the image (north up, 1.5″/px) by
// `arcmin` of the error its hour angle measures, at latitude 50 and declination 10.
void drift(DriftAssistant& a, double arcmin, int count = 25) {
    const double start = a.images.empty() ? 0 : a.images.back().minutes + 0.25;
    for (int k = 0; k < count; ++k) {
        const double minutes = start + 0.25 * k;
        ImageMeasurement m;
        m.file = "drift_" + std::to_string(a.images.size()) + ".FIT";
        m.keywords =
            read_observing_keywords({{"SCALE", "1.5"}, {"SITELAT", "50"}, {"OBJCTDEC", "10"}});
        m.time = ObservationTime{1.8e9 + 60 * minutes, TimeSource::date_obs};
        m.star = StarMeasurement{};
        m.star->x = 300 + 0.01 * (k % 3);
        m.star->y = 200 - 0.175 * arcmin * (minutes - start) + 0.02 * ((k % 2) ? 1 : -1);
        m.star->snr = 80;
        add_drift_image(a, m);
    }
}

// A new star at hour angle `ha` (typed for it), as after a slew.
void new_star(DriftAssistant& a, double ha) {
    a.slew_for_next = true;
    if (!a.segment_requested) a.segment_requested = SegmentReason::slew;
    type_drift_input(a, DriftInput::ha, ha);
}

void knob_turned(DriftAssistant& a, Knob knob) {
    a.adjusting = KnobAdjusting{};
    a.adjusting->adjust.knob = knob;
    start_drift_segment(a);
}

struct StepRow {
    const char* name;
    bool north_known;
    std::function<void(DriftAssistant&)> night;
    AlignmentPhase phase;
    StepAction action;
    AnswerShown show;
    bool knob_allowed;
    NextPhase next;  // the star "where to point" names
};

TEST(AlignmentStep, FollowsTheRoundThroughItsPhases) {
    const StepRow rows[] = {
        {"nothing_yet", true, [](DriftAssistant&) {}, AlignmentPhase::measure_azimuth,
         StepAction::pick_meridian_star, AnswerShown::progress, false, NextPhase::azimuth},
        {"first_images", true, [](DriftAssistant& a) { drift(a, 3, 2); },
         AlignmentPhase::measure_azimuth, StepAction::wait, AnswerShown::progress, false,
         NextPhase::azimuth},
        {"azimuth_known", true, [](DriftAssistant& a) { drift(a, 3); },
         AlignmentPhase::turn_azimuth, StepAction::turn_azimuth_knob, AnswerShown::error, true,
         NextPhase::altitude},
        {"azimuth_on_an_assumed_north", false, [](DriftAssistant& a) { drift(a, 3); },
         AlignmentPhase::measure_azimuth, StepAction::give_orientation, AnswerShown::error, false,
         NextPhase::azimuth},
        {"azimuth_fine_as_it_is", true, [](DriftAssistant& a) { drift(a, 0.1); },
         AlignmentPhase::measure_altitude, StepAction::slew_altitude_star, AnswerShown::error,
         false, NextPhase::altitude},
        {"turning_azimuth", true,
         [](DriftAssistant& a) {
             drift(a, 3);
             a.adjusting = KnobAdjusting{};
         },
         AlignmentPhase::turn_azimuth, StepAction::turn_azimuth_knob, AnswerShown::error, false,
         NextPhase::altitude},
        {"target_reached", true,
         [](DriftAssistant& a) {
             drift(a, 3);
             a.adjusting = KnobAdjusting{};
             a.adjusting->reached = true;
         },
         AlignmentPhase::turn_azimuth, StepAction::target_reached, AnswerShown::error, false,
         NextPhase::altitude},
        {"after_the_azimuth_knob", true,
         [](DriftAssistant& a) {
             drift(a, 3);
             knob_turned(a, Knob::azimuth);
             drift(a, 0.1, 8);
         },
         AlignmentPhase::measure_altitude, StepAction::slew_altitude_star, AnswerShown::error,
         false, NextPhase::altitude},
        {"altitude_known", true,
         [](DriftAssistant& a) {
             drift(a, 3);
             knob_turned(a, Knob::azimuth);
             new_star(a, -6);
             drift(a, 3);
         },
         AlignmentPhase::turn_altitude, StepAction::turn_altitude_knob, AnswerShown::error, true,
         NextPhase::azimuth},
        {"after_the_altitude_knob", true,
         [](DriftAssistant& a) {
             drift(a, 3);
             knob_turned(a, Knob::azimuth);
             new_star(a, -6);
             drift(a, 3);
             knob_turned(a, Knob::altitude);
             drift(a, 0.1, 8);
         },
         AlignmentPhase::check_both, StepAction::slew_check_star, AnswerShown::error, false,
         NextPhase::azimuth},
        {"both_within_a_minute", true,
         [](DriftAssistant& a) {
             drift(a, 0.05);
             new_star(a, -6);
             drift(a, 0.05);
         },
         AlignmentPhase::aligned, StepAction::done, AnswerShown::error, false, NextPhase::aligned},
        {"three_images_into_a_new_segment", true,
         [](DriftAssistant& a) {
             drift(a, 3);
             start_drift_segment(a, SegmentReason::by_hand);
             drift(a, 38, 3);
         },
         AlignmentPhase::measure_azimuth, StepAction::wait, AnswerShown::progress, false,
         NextPhase::azimuth},
    };
    for (const StepRow& row : rows) {
        SCOPED_TRACE(row.name);
        DriftAssistant a;
        a.typed.ha_hours = 0;
        if (row.north_known) a.typed.angle_source = AngleSource::typed;
        row.night(a);
        const AlignmentStep step = alignment_step(a);
        EXPECT_STREQ(alignment_phase_name(step.phase), alignment_phase_name(row.phase));
        EXPECT_STREQ(step_action_name(step.action), step_action_name(row.action));
        EXPECT_EQ(step.show, row.show);
        EXPECT_EQ(step.knob_allowed, row.knob_allowed);
        EXPECT_EQ(step.direction_known, row.north_known);
        EXPECT_EQ(where_to_point(a, 0.0, 1.8e9).next, row.next);
    }
}

// A 64 x 64 image with one star at (32, 32), measured by the session as a tick would.
struct StarImage {
    std::vector<std::int32_t> pixels = std::vector<std::int32_t>(64 * 64, 1000);
    StarImage() {
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                pixels[static_cast<std::size_t>(y * 64 + x)] += static_cast<std::int32_t>(
                    20000 * std::exp(-((x - 32) * (x - 32) + (y - 32) * (y - 32)) / 4.5));
    }
    MeasuredPlane plane() const { return {{pixels.data(), 64, 64, 64}, {}, 64, 64}; }
    static ImageMeasurement at(int k, const HeaderValues& header) {
        ImageMeasurement m;
        m.file = "drift_" + std::to_string(k) + ".FIT";
        m.keywords = read_observing_keywords(header);
        m.time = ObservationTime{1.8e9 + 30.0 * k, TimeSource::date_obs};
        m.found = {32, 32};
        return m;
    }
};

// What the headers tell against the session's last image, with or without a knob being
// turned: a slew starts the new star's segment at once and ends the turn; a pick on the star
// the slew's segment follows goes on with it; a few arcminutes or no pointing are no slew.
TEST(AlignmentStep, ASlewStartsTheNewStarsSegmentAndEndsATurn) {
    const HeaderValues before = {{"RA", "150"}, {"DEC", "20"}, {"PIERSIDE", "WEST"}};
    struct Row {
        const char* name;
        bool turning;
        HeaderValues after;
        bool pick_after;
        std::size_t segments;
        SegmentReason last;
        bool still_turning;
    };
    const Row rows[] = {
        {"tracking", false, before, false, 1, SegmentReason::start, false},
        {"three_arcminutes",
         false,
         {{"RA", "150"}, {"DEC", "20.05"}},
         false,
         1,
         SegmentReason::start,
         false},
        {"no_pointing_told", false, {}, false, 1, SegmentReason::start, false},
        {"slew", false, {{"RA", "160"}, {"DEC", "20"}}, false, 2, SegmentReason::slew, false},
        {"slew_then_the_pick",
         false,
         {{"RA", "160"}, {"DEC", "20"}},
         true,
         2,
         SegmentReason::slew,
         false},
        {"meridian_flip", false, {{"PIERSIDE", "EAST"}}, false, 2, SegmentReason::pier_side, false},
        {"turning", true, before, false, 1, SegmentReason::start, true},
        {"slew_while_turning",
         true,
         {{"RA", "160"}, {"DEC", "20"}},
         false,
         2,
         SegmentReason::knob_turned,
         false},
    };
    const StarImage image;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        DriftAssistant a;
        start_drift_star(a, image.plane(), StarImage::at(0, before));
        for (int k = 1; k < 4; ++k)
            update_drift_assistant(a, image.plane(), StarImage::at(k, before));
        if (row.turning) {
            a.adjusting = KnobAdjusting{};
            a.adjusting->star = a.adjusting->anchor = {32, 32};
        }
        update_drift_assistant(a, image.plane(), StarImage::at(4, row.after));
        if (row.pick_after) start_drift_star(a, image.plane(), StarImage::at(5, row.after));
        EXPECT_EQ(a.segments.size(), row.segments);
        EXPECT_STREQ(segment_reason_name(a.segments.back().reason), segment_reason_name(row.last));
        EXPECT_EQ(a.adjusting.has_value(), row.still_turning);
        EXPECT_FALSE(same_star_note(a).has_value());
    }
}

}  // namespace
}  // namespace trakora
