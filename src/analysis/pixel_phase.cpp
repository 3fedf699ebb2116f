// SPDX-License-Identifier: MIT
#include "analysis/pixel_phase.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace trakora {
namespace {

constexpr std::size_t kMinSamples = 8;
// The pixel phase is told from a drift's own slow motions (the drive's periodic error,
// whose periods span many images) only when the star crosses pixels quickly: a pixel in
// four images or less, eight pixels in all. A slower crossing leaves its steps as a slow
// wobble in the residuals, which the fit's standard error already widens for.
constexpr double kMinPixelsCrossed = 8;
constexpr double kMinPixelsPerSample = 0.25;
constexpr double kStandsOut = 4;

// v less its least-squares line in t.
std::vector<double> without_line(std::span<const double> t, std::vector<double> v) {
    const double n = static_cast<double>(t.size());
    double mt = 0, mv = 0;
    for (std::size_t i = 0; i < t.size(); ++i) mt += t[i] / n, mv += v[i] / n;
    double stt = 0, stv = 0;
    for (std::size_t i = 0; i < t.size(); ++i)
        stt += (t[i] - mt) * (t[i] - mt), stv += (t[i] - mt) * (v[i] - mv);
    const double slope = stt > 0 ? stv / stt : 0;
    for (std::size_t i = 0; i < t.size(); ++i) v[i] -= mv + slope * (t[i] - mt);
    return v;
}

}  // namespace

double pixel_phase_px(std::span<const double> minutes, std::span<const double> fitted,
                      std::span<const double> residuals) {
    const std::size_t n = std::min({minutes.size(), fitted.size(), residuals.size()});
    if (n < kMinSamples) return 0;
    const auto [lo, hi] =
        std::minmax_element(fitted.begin(), fitted.begin() + static_cast<long>(n));
    const double crossed = *hi - *lo;
    if (!(crossed >= kMinPixelsCrossed) ||
        !(crossed >= kMinPixelsPerSample * static_cast<double>(n - 1)))
        return 0;
    std::vector<double> s(n), c(n);
    for (std::size_t i = 0; i < n; ++i) {
        s[i] = std::sin(2 * std::numbers::pi * fitted[i]);
        c[i] = std::cos(2 * std::numbers::pi * fitted[i]);
    }
    const std::span<const double> t = minutes.first(n);
    s = without_line(t, std::move(s));
    c = without_line(t, std::move(c));
    double ss = 0, cc = 0, sc = 0, rs = 0, rc = 0, rr = 0;
    for (std::size_t i = 0; i < n; ++i) {
        ss += s[i] * s[i], cc += c[i] * c[i], sc += s[i] * c[i];
        rs += residuals[i] * s[i], rc += residuals[i] * c[i], rr += residuals[i] * residuals[i];
    }
    const double det = ss * cc - sc * sc;
    if (!(det > 1e-9 * (ss * cc)) || !(det > 0)) return 0;
    const double a = (cc * rs - sc * rc) / det, b = (ss * rc - sc * rs) / det;
    const double left = std::max(rr - (a * rs + b * rc), 0.0) / static_cast<double>(n - 4);
    // The amplitude's standard error, each coefficient's taken alike.
    const double se = std::sqrt(left * (ss + cc) / (2 * det));
    const double amplitude = std::hypot(a, b);
    if (!(amplitude > kStandsOut * se)) return 0;
    return amplitude * std::numbers::pi / 2;
}

}  // namespace trakora
