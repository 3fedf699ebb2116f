// SPDX-License-Identifier: MIT
// The calibration move at a segment's start: the jump gives north's angle and takes the
// images before it out of the fit; no jump, two, or a star lost early are noted instead.
#include "analysis/calibration_jump.hpp"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace trakora {
namespace {

struct JumpCase {
    const char* name;
    std::vector<std::size_t> jumps;    // images the star jumps 20 px left before
    std::vector<std::size_t> flagged;  // images the star measurement did not trust
    bool typed;                        // north's angle typed (30 degrees)
    NoteCode note;
    std::size_t flagged_after;
    double north_deg;
};

class CalibrationJumps : public ::testing::TestWithParam<JumpCase> {};

// Twelve images a minute apart, the star drifting half a pixel down each; a move north
// jumping it left means north is 90 degrees (right on the screen).
TEST_P(CalibrationJumps, GiveNorthOrSayWhyNot) {
    const JumpCase& c = GetParam();
    std::vector<DriftSample> points;
    double x = 100;
    for (std::size_t k = 0; k < 12; ++k) {
        for (const std::size_t j : c.jumps) x -= j == k ? 20 : 0;
        points.push_back({static_cast<double>(k), x, 50 + 0.5 * static_cast<double>(k), false});
    }
    for (const std::size_t k : c.flagged) points[k].flagged = true;
    Geometry g;
    g.orientation.north_deg = 30;
    g.angle_source = c.typed ? AngleSource::typed : AngleSource::assumed;
    apply_calibration(CalibrationMove::north, points, g);
    ASSERT_FALSE(g.notes.empty());
    EXPECT_EQ(g.notes.back().code, c.note);
    std::size_t flagged = 0;
    for (const DriftSample& p : points) flagged += p.flagged ? 1 : 0;
    EXPECT_EQ(flagged, c.flagged_after);
    EXPECT_NEAR(g.orientation.north_deg, c.north_deg, 1e-9);
    const bool found = c.note == NoteCode::calibration_found && !c.typed;
    EXPECT_EQ(g.angle_source == AngleSource::calibration, found);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CalibrationJumps,
    ::testing::Values(
        JumpCase{"found", {3}, {}, false, NoteCode::calibration_found, 3, 90},
        JumpCase{"a_typed_angle_stands", {3}, {}, true, NoteCode::calibration_found, 3, 30},
        JumpCase{"missing", {}, {}, false, NoteCode::calibration_missing, 0, 30},
        JumpCase{"twice", {3, 6}, {}, false, NoteCode::calibration_twice, 0, 30},
        JumpCase{"lost", {}, {1, 2, 3, 4, 5, 6, 7, 8}, false, NoteCode::calibration_lost, 8, 30}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace trakora
