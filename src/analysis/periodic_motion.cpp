// SPDX-License-Identifier: MIT
#include "analysis/periodic_motion.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace trakora {
namespace {

constexpr int kTrialPeriods = 60;
constexpr double kSpanPeriods = 1.5;
constexpr double kStandsOut = 3;

// The sums of the normal equations of v against c + a sin + b cos at one frequency.
struct Sums {
    double n = 0, s = 0, c = 0, ss = 0, cc = 0, sc = 0, v = 0, vs = 0, vc = 0;
};

struct SineFit {
    double amplitude = 0;
    double scatter = 0;  // RMS left about the sine
};

SineFit solve(const Sums& u, double vv) {
    double m[3][3] = {{u.n, u.s, u.c}, {u.s, u.ss, u.sc}, {u.c, u.sc, u.cc}};
    double r[3] = {u.v, u.vs, u.vc};
    const double rhs[3] = {r[0], r[1], r[2]};
    for (int col = 0; col < 3; ++col) {
        if (std::abs(m[col][col]) < 1e-12) return {};
        for (int row = col + 1; row < 3; ++row) {
            const double f = m[row][col] / m[col][col];
            for (int k = col; k < 3; ++k) m[row][k] -= f * m[col][k];
            r[row] -= f * r[col];
        }
    }
    double x[3] = {};
    for (int col = 2; col >= 0; --col) {
        double sum = r[col];
        for (int k = col + 1; k < 3; ++k) sum -= m[col][k] * x[k];
        x[col] = sum / m[col][col];
    }
    // Least squares leave the sum of squares less the fitted part.
    const double left = std::max(vv - (x[0] * rhs[0] + x[1] * rhs[1] + x[2] * rhs[2]), 0.0);
    return {std::hypot(x[1], x[2]), std::sqrt(left / u.n)};
}

}  // namespace

std::optional<PeriodicMotion> periodic_motion(std::span<const double> minutes,
                                              std::span<const double> values) {
    const std::size_t n = std::min(minutes.size(), values.size());
    if (n < 8) return std::nullopt;
    const double t0 = minutes[0];
    const double span = minutes[n - 1] - t0;
    const double shortest = 4 * span / static_cast<double>(n - 1);
    const double longest = span / kSpanPeriods;
    if (!std::isfinite(span) || !(longest > shortest)) return std::nullopt;
    // Trial frequencies evenly spread: each sample's phasor steps from one to the next by
    // a fixed rotation, so only two pairs of sines and cosines are taken per sample.
    const double w0 = 2 * std::numbers::pi / longest;
    const double dw = (2 * std::numbers::pi / shortest - w0) / kTrialPeriods;
    std::array<Sums, kTrialPeriods + 1> sums{};
    double vv = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = minutes[i] - t0, v = values[i];
        if (!std::isfinite(t) || !std::isfinite(v)) return std::nullopt;
        vv += v * v;
        std::complex<double> z = std::polar(1.0, w0 * t);
        const std::complex<double> step = std::polar(1.0, dw * t);
        for (Sums& u : sums) {
            const double c = z.real(), s = z.imag();
            u.n += 1, u.s += s, u.c += c, u.ss += s * s, u.cc += c * c, u.sc += s * c;
            u.v += v, u.vs += v * s, u.vc += v * c;
            z *= step;
        }
    }
    std::optional<PeriodicMotion> best;
    double best_amplitude = 0;
    int best_k = -1;
    for (int k = 0; k <= kTrialPeriods; ++k) {
        const SineFit fit = solve(sums[static_cast<std::size_t>(k)], vv);
        if (fit.amplitude > best_amplitude && fit.amplitude >= kStandsOut * fit.scatter) {
            best_amplitude = fit.amplitude;
            best_k = k;
            best = PeriodicMotion{2 * fit.amplitude, 2 * std::numbers::pi / (w0 + dw * k)};
        }
    }
    // Strongest at the longest period tried: the motion's own period may be longer than
    // the series can show, so neither it nor the amplitude is known.
    if (best_k == 0) return std::nullopt;
    return best;
}

}  // namespace trakora
