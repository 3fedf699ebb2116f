// SPDX-License-Identifier: MIT
#include "chart/axis_ticks.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace trakora::chart {

namespace {

constexpr double kRoom = 0.04;  // of the data's span, on each side
constexpr int kMaxTicks = 40;

}  // namespace

AxisSpan shown_span(double lo, double hi) {
    const double mid = lo / 2 + hi / 2;
    double half = hi / 2 - lo / 2;
    if (!(half > std::abs(mid) * 1e-12)) {
        half = std::max(1.0, std::abs(mid) * 0.1);
    } else {
        half *= 1 + 2 * kRoom;
    }
    return {mid - half, mid + half};
}

AxisTicks nice_ticks(AxisSpan span, int target) {
    AxisTicks ticks;
    const double width = span.hi - span.lo;
    if (!std::isfinite(width) || !(width > 0)) return ticks;
    const double raw = width / std::max(target, 1);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    const double fraction = raw / power;
    // The nice step nearest the wanted one.
    ticks.step = (fraction < 1.5 ? 1 : fraction < 3 ? 2 : fraction < 7 ? 5 : 10) * power;
    if (!(ticks.step > 0) || !std::isfinite(ticks.step)) return ticks;

    // Counted from an integer multiple, not summed, so rounding cannot creep in.
    const double first = std::ceil(span.lo / ticks.step - 1e-9);
    for (int i = 0; i < kMaxTicks; ++i) {
        const double value = (first + i) * ticks.step;
        if (value > span.hi + ticks.step * 1e-9) break;
        ticks.values.push_back(std::abs(value) < ticks.step * 1e-9 ? 0.0 : value);
    }
    return ticks;
}

std::string tick_label(double value, double step) {
    char text[64];
    if (std::abs(value) <= std::abs(step) * 1e-9) value = 0;  // never "-0"
    if (std::abs(value) >= 1e7 || !(step >= 1e-6 && step <= 1e300)) {
        std::snprintf(text, sizeof text, "%.6g", value);
    } else {
        const int decimals =
            std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 6);
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
    }
    return text;
}

}  // namespace trakora::chart
