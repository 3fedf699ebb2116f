// SPDX-License-Identifier: MIT
// The session's star on a new image: the tracker stays on it when the whole-pixel search
// went to a field star, finds it after a jump within reach or where a turn of a knob left
// it, and follows it along the knob's line while the knob is turned.
#include "analysis/star_tracker.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "test_image.hpp"

namespace trakora {
namespace {

using testing_support::TestImage;

// A field star eight times as bright as the session's: never a star like it.
constexpr Position kFieldStar{150, 60};
constexpr Position kNone{-1, -1};  // no clean star
// Where the star was last, and where the whole-pixel search stayed.
constexpr Position kLast{60, 120};
const KnobLine kLine{kLast, {320, 120}};

struct TrackCase {
    const char* name;
    Position star;   // the session's star on this image
    Position last;   // where the tracker had it
    Position found;  // where the whole-pixel search went
    Position want;
    bool clean_last = true;
    std::optional<Position> turned_to = std::nullopt;
    std::optional<KnobLine> turning = std::nullopt;  // set: the search while a knob is turned
};

const std::vector<TrackCase> kCases = {
    {"stays_off_a_field_star", {134, 72}, {133, 71}, kFieldStar, {134, 72}},
    {"no_clean_last_star", {134, 72}, {133, 71}, kFieldStar, kFieldStar, false},
    {"finds_a_jump_within_60_px", {90, 160}, kLast, kLast, {90, 160}},
    {"a_jump_passes_a_brighter_field_star", {120, 150}, {120, 100}, kFieldStar, {120, 150}},
    {"not_beyond", {160, 210}, kLast, kLast, kNone},
    {"looks_where_a_turn_left_it", {305, 196}, kLast, kLast, {305, 196}, true, Position{300, 200}},
    {"follows_the_knob_line", {240, 124}, kLast, kLast, {240, 124}, true, {}, kLine},
    {"a_little_beyond_the_target", {365, 118}, kLast, kLast, {365, 118}, true, {}, kLine},
    {"not_off_the_knob_line", {240, 200}, kLast, kLast, kNone, true, {}, kLine},
};

class StarTracking : public ::testing::TestWithParam<TrackCase> {};

TEST_P(StarTracking, FindsTheSessionsStar) {
    const TrackCase& c = GetParam();
    TestImage image(400, 260);
    const auto star = [](int x, int y, Position at, double peak) {
        return peak * std::exp(-((x - at.x) * (x - at.x) + (y - at.y) * (y - at.y)) / 4.5);
    };
    image.fill(0, [&](int x, int y) {
        return static_cast<std::int32_t>(200 + ((x * 7 + y * 13) % 11) - 5 +
                                         star(x, y, c.star, 3000) + star(x, y, kFieldStar, 24000));
    });
    const StarLevels levels{65535, 65535};
    StarTracker t{c.last, 0, c.turned_to, c.turning, {}, {}};
    if (c.clean_last) t.last_snr = measure_star(image.plane(), c.star, levels).snr;
    const std::optional<StarMeasurement> got =
        c.turning ? follow_turned_star(t, image.plane(), levels, c.found)
                  : track_star(t, image.plane(), levels, c.found);
    if (c.want.x < 0) {
        EXPECT_TRUE(!got || got->flags != 0);
        return;
    }
    ASSERT_TRUE(got);
    EXPECT_EQ(got->flags, 0u);
    EXPECT_NEAR(got->x, c.want.x, 0.1);
    EXPECT_NEAR(got->y, c.want.y, 0.1);
}

INSTANTIATE_TEST_SUITE_P(Cases, StarTracking, ::testing::ValuesIn(kCases),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace trakora
