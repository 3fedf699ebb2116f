// SPDX-License-Identifier: MIT
// Axis ranges and ticks on 1-2-5 steps, for the charts.
#pragma once

#include <string>
#include <vector>

namespace trakora::chart {

struct AxisSpan {
    double lo = 0;
    double hi = 1;
};

// What an axis shows for data from `lo` to `hi` (finite, lo <= hi): a little room on both
// sides, so no point sits on the frame; a single value gets a span around it.
AxisSpan shown_span(double lo, double hi);

struct AxisTicks {
    double step = 1;
    std::vector<double> values;  // the multiples of `step` inside the span, ascending
};

// About `target` ticks (at least 2 wanted) at a step of 1, 2 or 5 times a power of ten.
AxisTicks nice_ticks(AxisSpan span, int target);

// The tick's text with as many decimals as the step needs ("0", "2.5", "-0.02").
std::string tick_label(double value, double step);

}  // namespace trakora::chart
