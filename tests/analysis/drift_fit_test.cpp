// SPDX-License-Identifier: MIT
// The drift fit on worked series: rates, what is left out and why, segments, and the
// series that give no line at all.
#include "analysis/drift_fit.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace trakora {
namespace {

// x = 10 + 0.5 t, y = 20 - t at t = 0, 1, ..., n-1 minutes, with +-0.1 px of alternating
// jitter on both axes when `jitter`.
std::vector<DriftSample> line(int n, bool jitter = false) {
    std::vector<DriftSample> s;
    for (int k = 0; k < n; ++k) {
        const double j = jitter ? (k % 2 ? 0.1 : -0.1) : 0;
        s.push_back({double(k), 10 + 0.5 * k + j, 20 - 1.0 * k - j, false});
    }
    return s;
}

template <typename Edit>
std::vector<DriftSample> edited(std::vector<DriftSample> s, Edit edit) {
    edit(s);
    return s;
}

struct FitRow {
    const char* name;
    std::vector<DriftSample> samples;
    std::size_t from;
    std::optional<double> rate_x, rate_y;
    std::size_t used, flagged, outliers;
    bool has_se;
    friend void PrintTo(const FitRow& r, std::ostream* os) { *os << r.name; }
};

class DriftFits : public ::testing::TestWithParam<FitRow> {};

TEST_P(DriftFits, RatesAndExclusions) {
    const FitRow& row = GetParam();
    // A segment's samples: those from `from` on.
    const std::span<const DriftSample> segment =
        std::span<const DriftSample>(row.samples).subspan(std::min(row.from, row.samples.size()));
    const DriftFit fit = fit_drift(segment);
    EXPECT_EQ(fit.used, row.used);
    EXPECT_EQ(fit.flagged, row.flagged);
    EXPECT_EQ(fit.outliers, row.outliers);
    EXPECT_EQ(fit.excluded.size(), segment.size());
    ASSERT_EQ(fit.x.rate_per_min.has_value(), row.rate_x.has_value());
    ASSERT_EQ(fit.y.rate_per_min.has_value(), row.rate_y.has_value());
    EXPECT_EQ(fit.y.rate_se_per_min.has_value(), row.has_se);
    if (row.rate_x) {
        EXPECT_NEAR(*fit.x.rate_per_min, *row.rate_x, 0.02);
    }
    if (row.rate_y) {
        EXPECT_NEAR(*fit.y.rate_per_min, *row.rate_y, 0.02);
    }
    for (const AxisFit* a : {&fit.x, &fit.y})
        for (const auto& v : {a->rate_per_min, a->rate_se_per_min, a->r2, a->residual_rms})
            EXPECT_TRUE(std::isfinite(v.value_or(0)));
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Series, DriftFits,
    ::testing::Values(
        FitRow{"straight_line", line(10), 0, 0.5, -1.0, 10, 0, 0, true},
        FitRow{"flagged_left_out",
               edited(line(10),
                      [](auto& s) {
                          s[4] = {4, 99, -99, true};
                      }),
               0, 0.5, -1.0, 9, 1, 0, true},
        FitRow{"outlier_left_out", edited(line(12, true), [](auto& s) { s[6].y += 4; }), 0, 0.5,
               -1.0, 11, 0, 1, true},
        FitRow{"not_a_number_is_flagged", edited(line(10), [](auto& s) { s[2].x = kNaN; }), 0, 0.5,
               -1.0, 9, 1, 0, true},
        FitRow{"segment_after_a_knob_turn",
               edited(line(10),
                      [](auto& s) {
                          for (int k = 0; k < 4; ++k) s[k].y = 50 + 3.0 * k;
                      }),
               4, 0.5, -1.0, 6, 0, 0, true},
        FitRow{"segment_past_the_end", line(5), 9, std::nullopt, std::nullopt, 0, 0, 0, false},
        FitRow{"one_image", line(1), 0, std::nullopt, std::nullopt, 1, 0, 0, false},
        FitRow{"two_images_no_standard_error", line(2), 0, 0.5, -1.0, 2, 0, 0, false},
        FitRow{"all_at_the_same_time",
               edited(line(6),
                      [](auto& s) {
                          for (auto& p : s) p.minutes = 3;
                      }),
               0, std::nullopt, std::nullopt, 6, 0, 0, false},
        FitRow{"all_flagged",
               edited(line(6),
                      [](auto& s) {
                          for (auto& p : s) p.flagged = true;
                      }),
               0, std::nullopt, std::nullopt, 0, 6, 0, false}),
    [](const auto& row_info) { return std::string(row_info.param.name); });

TEST(DriftFit, FiguresOfAWorkedSeries) {
    // y residuals alternate -0.1, +0.1 about the line: RMS 0.1, R^2 just below 1.
    const DriftFit fit = fit_drift(line(10, true));
    EXPECT_NEAR(*fit.y.residual_rms, 0.1, 0.01);
    EXPECT_GT(*fit.y.r2, 0.99);
    EXPECT_LT(*fit.y.r2, 1.0);
    EXPECT_NEAR(*fit.y.rate_se_per_min, 0.0119, 0.001);
    EXPECT_EQ(fit.elapsed_minutes, 9);
    EXPECT_EQ(fit.mean_minutes, 4.5);
    EXPECT_EQ(fit.origin_minutes, 0);
}

// A projection's line is the line of the projected samples: along an image axis that
// axis's own fit to the last bit, at any other angle the fit of ux x + uy y.
TEST(DriftFit, ProjectionsAreTheFitOfTheProjectedSamples) {
    const std::vector<DriftSample> s = line(12, true);
    const DriftFit fit = fit_drift(s);
    const AxisFit up = projected_fit(fit, 0, -1);
    EXPECT_EQ(up.rate_per_min, -*fit.y.rate_per_min);
    EXPECT_EQ(up.rate_se_per_min, fit.y.rate_se_per_min);
    EXPECT_EQ(up.r2, fit.y.r2);
    EXPECT_EQ(up.residual_rms, fit.y.residual_rms);

    const double ux = std::sin(0.6), uy = -std::cos(0.6);
    std::vector<DriftSample> turned;
    for (const DriftSample& d : s) turned.push_back({d.minutes, ux * d.x + uy * d.y, 0, false});
    const AxisFit direct = fit_drift(turned).x, projected = projected_fit(fit, ux, uy);
    EXPECT_NEAR(*projected.rate_per_min, *direct.rate_per_min, 1e-12);
    EXPECT_NEAR(*projected.rate_se_per_min, *direct.rate_se_per_min, 1e-12);
    EXPECT_NEAR(*projected.r2, *direct.r2, 1e-12);
    EXPECT_NEAR(*projected.residual_rms, *direct.residual_rms, 1e-12);
    // Alternating jitter: residuals that change sign image by image.
    EXPECT_LT(*projected_autocorrelation(fit, ux, uy), -0.5);
}

}  // namespace
}  // namespace trakora
