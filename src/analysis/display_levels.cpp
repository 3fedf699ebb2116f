// SPDX-License-Identifier: MIT
#include "analysis/display_levels.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "analysis/monotone_steps.hpp"
#include "base/rounding.hpp"

namespace trakora {

namespace {

constexpr int kLastBin = kHistogramBins - 1;  // bin widths between the minimum and the maximum
constexpr int kBins = kHistogramBins;
constexpr double kThresholdFraction = 0.1;

constexpr std::int64_t kMaxTableSpan = std::int64_t{1} << 16;

// Several partial histograms filled in turn keep consecutive equal pixels (the sky
// background) from waiting on each other's increment.
constexpr int kPartials = 4;
using PartialCounts = std::array<std::array<std::uint32_t, kBins>, kPartials>;

// The bin of a pixel `offset` above the minimum, as the histogram defines it: bins are
// span / 300 wide and centred on their levels, so bins 0 and 300 are half as wide.
int bin_of_offset(std::int64_t offset, double bin_width) {
    return static_cast<int>(round_half_up(static_cast<double>(offset) / bin_width));
}

// first[k] is the smallest offset in bin k or above; first[kBins] = span + 1.
using BinStarts = std::array<std::int64_t, kBins + 1>;

BinStarts bin_starts(std::int64_t span, double bin_width) {
    BinStarts first{};
    first[0] = 0;
    for (int k = 1; k <= kLastBin; ++k) {
        first[static_cast<std::size_t>(k)] =
            first_reaching([bin_width](std::int64_t q) { return bin_of_offset(q, bin_width); }, k,
                           first[static_cast<std::size_t>(k - 1)], span);
    }
    first[kBins] = span + 1;
    return first;
}

// bin_of maps an offset 0..span above the minimum to its bin.
template <class BinOf>
void count_bins(const PlaneView& plane, std::int32_t minimum, std::int64_t span,
                const BinOf& bin_of, PartialCounts& counts) {
    const auto limit = static_cast<std::uint32_t>(span);
    const auto base = static_cast<std::uint32_t>(minimum);
    // Unsigned wrap-around sends values below the minimum above the limit too.
    auto add = [&](std::int32_t p, std::array<std::uint32_t, kBins>& c) {
        const std::uint32_t q = static_cast<std::uint32_t>(p) - base;
        if (q <= limit) ++c[bin_of(q)];
    };
    const int width = plane.width;
    for (int y = 0; y < plane.height; ++y) {
        const std::int32_t* row = plane.pixels + y * plane.stride;
        int x = 0;
        for (; x + kPartials <= width; x += kPartials) {
            add(row[x], counts[0]);
            add(row[x + 1], counts[1]);
            add(row[x + 2], counts[2]);
            add(row[x + 3], counts[3]);
        }
        for (; x < width; ++x) add(row[x], counts[0]);
    }
}

// The pixel value at the centre of bin i.
std::int32_t level_of_bin(int i, std::int32_t minimum, std::int32_t maximum) {
    const double span = static_cast<double>(std::int64_t{maximum} - minimum);
    return static_cast<std::int32_t>(
        round_half_up(static_cast<double>(i) / kLastBin * span + minimum));
}

}  // namespace

DisplayHistogram display_histogram(const PlaneView& plane, PixelRange range) {
    DisplayHistogram h{};
    // A flat image has no bin width, and a minimum above the maximum (a read that stored
    // nothing) has no values between them. Pixels outside the range (values an earlier
    // image left where the reader wrote nothing) have no bin.
    if (range.max <= range.min || plane.width <= 0 || plane.height <= 0) return h;

    const std::int32_t minimum = range.min;
    const std::int64_t span = std::int64_t{range.max} - range.min;
    const double bin_width = static_cast<double>(span) / kLastBin;
    const BinStarts first = bin_starts(span, bin_width);

    PartialCounts counts{};
    if (span < kMaxTableSpan) {
        // Up to 16-bit spans a table with the bin of every value is the cheapest lookup.
        std::vector<std::uint16_t> table(static_cast<std::size_t>(span) + 1);
        for (int k = 0; k <= kLastBin; ++k) {
            std::fill(table.begin() + first[static_cast<std::size_t>(k)],
                      table.begin() + first[static_cast<std::size_t>(k) + 1],
                      static_cast<std::uint16_t>(k));
        }
        const std::uint16_t* bins = table.data();
        count_bins(
            plane, minimum, span, [bins](std::uint32_t q) { return bins[q]; }, counts);
    } else {
        count_bins(plane, minimum, span, StepCells(first, kLastBin, span), counts);
    }
    for (const auto& partial : counts) {
        for (int k = 0; k < kBins; ++k)
            h[static_cast<std::size_t>(k)] += partial[static_cast<std::size_t>(k)];
    }
    return h;
}

DisplayLevels choose_display_levels(const PlaneView& plane, PixelRange pixels,
                                    DisplayLevels current) {
    DisplayLevels levels = current;
    // Without a histogram the background bin is 0 and the levels stay as they were.
    const DisplayHistogram h = display_histogram(plane, pixels);

    // The background bin is the most populated one, the lowest among equals.
    std::int64_t peak = 0;
    int mode = 0;
    for (int i = 0; i < kBins; ++i) {
        if (h[static_cast<std::size_t>(i)] > peak) {
            peak = h[static_cast<std::size_t>(i)];
            mode = i;
        }
    }

    // Smoothed over five bins; the two bins at each end stay 0, so a background at the
    // ends of the histogram gives a threshold of 0 that nothing falls below.
    std::array<double, kBins> smooth{};
    for (int i = 2; i <= kLastBin - 2; ++i) {
        double squares = 0;
        for (int j = i - 2; j <= i + 2; ++j) {
            const auto c = static_cast<double>(h[static_cast<std::size_t>(j)]);
            squares += c * c;
        }
        smooth[static_cast<std::size_t>(i)] = std::sqrt(squares) / 5;
    }
    const double threshold = kThresholdFraction * smooth[static_cast<std::size_t>(mode)];

    for (int i = mode; i >= 0; --i) {
        if (smooth[static_cast<std::size_t>(i)] < threshold) {
            levels.low = level_of_bin(i, pixels.min, pixels.max);
            break;
        }
    }
    for (int i = mode; i <= kLastBin; ++i) {
        if (smooth[static_cast<std::size_t>(i)] < threshold) {
            // Levels of a full 32-bit span can lie further apart than a 32-bit range holds.
            const std::int64_t range =
                std::int64_t{level_of_bin(i, pixels.min, pixels.max)} - levels.low;
            levels.range = static_cast<std::int32_t>(
                std::clamp<std::int64_t>(range, std::numeric_limits<std::int32_t>::min(),
                                         std::numeric_limits<std::int32_t>::max()));
            break;
        }
    }
    if (levels.range <= 0) levels.range = 1;
    return levels;
}

}  // namespace trakora
