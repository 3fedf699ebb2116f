// SPDX-License-Identifier: MIT
// The drift plot: the star's row over the series, re-centred on the latest measurement
// and scaled so the largest deviation from it fills most of the height.
#include <cmath>

#include "core/handlers.hpp"
#include "core/series.hpp"

namespace trakora {

inline constexpr std::uint32_t kCentreLineColour = rgb(0, 255, 0);
inline constexpr std::uint32_t kPointColour = rgb(255, 0, 255);

void draw_drift_plot(State& s, View& v, int i) { show_drift_plot(s, v, i, row_change_text(s, i)); }

void show_drift_plot(State& s, View& v, int i, const std::string& row_change) {
    const auto y = [&](int k) { return s.measurements[k][1]; };

    double hi = -65000, lo = 65000;
    for (int k = 1; k <= i; ++k) {
        if (y(k) > hi) hi = y(k);
        if (y(k) < lo) lo = y(k);
    }
    const double a = hi - y(i);
    const double b = y(i) - lo;
    double deviation = a > b ? a : b;
    if (deviation == 0) deviation = 100;
    const double height = std::floor(2.2 * deviation + 0.5);

    // With no previous measurement (the series starts at slot 1 when the star was not
    // picked) there is no change to show.
    v.set_drift_label(row_change);

    const int width = slots_in_use(s);
    v.set_drift_plot_scale(static_cast<float>(width), static_cast<float>(height));
    const double mid = std::floor(height / 2 + 0.5);
    v.draw_drift_line(0, static_cast<float>(mid), static_cast<float>(width),
                      static_cast<float>(mid), kCentreLineColour);
    for (int k = 1; k <= i; ++k) {
        if (y(k) == kEmptySlot) continue;
        const double py = std::floor(y(k) - y(i) + height / 2 + 0.5);
        v.draw_drift_point(static_cast<float>(k), static_cast<float>(py), kPointColour);
    }
}

}  // namespace trakora
