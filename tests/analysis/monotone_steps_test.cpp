// SPDX-License-Identifier: MIT
#include "analysis/monotone_steps.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace trakora {
namespace {

// The step of an offset by definition: the highest step starting at or before it.
std::uint32_t step_of(const std::vector<std::int64_t>& starts, int steps, std::int64_t q) {
    int k = 0;
    while (k < steps && starts[static_cast<std::size_t>(k) + 1] <= q) ++k;
    return static_cast<std::uint32_t>(k);
}

TEST(FirstReaching, FindsFirstValueAtOrAboveTarget) {
    auto halves = [](std::int64_t v) { return v / 2; };
    EXPECT_EQ(first_reaching(halves, 3, 0, 100), 6);
    EXPECT_EQ(first_reaching(halves, 0, 0, 100), 0);
    EXPECT_EQ(first_reaching(halves, 51, 0, 100), 101);  // none: one past the range
    EXPECT_EQ(first_reaching(halves, 3, 10, 100), 10);   // already reached at the low end
}

// Steps of equal real width, shifted and cut off by the span as the grey window and the
// histogram produce them: empty steps at either end, uneven whole-number widths.
TEST(StepCells, AgreesWithDefinitionAndStaysSmall) {
    std::mt19937_64 rng(99);
    for (int round = 0; round < 400; ++round) {
        const int steps = std::uniform_int_distribution<int>(1, 300)(rng);
        const double width = std::exp2(std::uniform_real_distribution<double>(-3, 24)(rng));
        const double shift = std::uniform_real_distribution<double>(-0.3, 0.3)(rng) * width * steps;
        const std::int64_t span = std::clamp<std::int64_t>(
            std::llround(width * steps * std::uniform_real_distribution<double>(0.5, 1.2)(rng)), 0,
            (std::int64_t{1} << 32) - 1);
        std::vector<std::int64_t> starts(static_cast<std::size_t>(steps) + 2);
        for (int k = 1; k <= steps; ++k) {
            const auto s = static_cast<std::int64_t>(std::ceil((k - 0.5) * width + shift));
            starts[static_cast<std::size_t>(k)] = std::clamp<std::int64_t>(s, 0, span + 1);
        }
        starts[static_cast<std::size_t>(steps) + 1] = span + 1;

        const StepCells cells(starts, steps, span);
        ASSERT_LE(cells.cell_count(), static_cast<std::size_t>(4 * steps + 4))
            << "round " << round << " span " << span << " steps " << steps;
        std::vector<std::int64_t> probes = {0, span};
        for (int k = 1; k <= steps + 1; ++k) {
            for (std::int64_t d = -2; d <= 1; ++d)
                probes.push_back(starts[static_cast<std::size_t>(k)] + d);
        }
        for (int i = 0; i < 200; ++i)
            probes.push_back(std::uniform_int_distribution<std::int64_t>(0, span)(rng));
        for (std::int64_t q : probes) {
            if (q < 0 || q > span) continue;
            ASSERT_EQ(cells(static_cast<std::uint32_t>(q)), step_of(starts, steps, q))
                << "round " << round << " offset " << q << " span " << span << " steps " << steps;
        }
    }
}

TEST(StepCells, EmptyStepsInTheMiddleAreJumpedOver) {
    // Steps 2 and 3 are empty: the step goes from 1 straight to 4 at offset 20.
    const std::vector<std::int64_t> starts = {0, 10, 20, 20, 20, 30, 41};
    const StepCells cells(starts, 5, 40);
    for (std::int64_t q = 0; q <= 40; ++q) {
        EXPECT_EQ(cells(static_cast<std::uint32_t>(q)), step_of(starts, 5, q)) << "offset " << q;
    }
}

}  // namespace
}  // namespace trakora
