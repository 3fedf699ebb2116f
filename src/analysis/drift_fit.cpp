// SPDX-License-Identifier: MIT
#include "analysis/drift_fit.hpp"

#include <algorithm>
#include <cmath>

#include "analysis/pixel_phase.hpp"

namespace trakora {
namespace {

constexpr double kOutlierRms = 4;

// The line and the sample count and means it was fitted over.
struct Line {
    double slope = 0, intercept = 0;
    double n = 0, mean_t = 0, mean_v = 0;
    bool defined = false;
};

// Ordinary least squares of v against t over the chosen samples; t relative to t0 keeps
// the sums well-conditioned for clock times far from zero.
template <typename Value>
Line fit_line(std::span<const DriftSample> s, const std::vector<bool>& use, double t0,
              Value value) {
    double n = 0, st = 0, sv = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!use[i]) continue;
        n += 1;
        st += s[i].minutes - t0;
        sv += value(s[i]);
    }
    Line line;
    if (n < 2) return line;
    const double mt = st / n, mv = sv / n;
    line.n = n, line.mean_t = mt, line.mean_v = mv;
    double stt = 0, stv = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!use[i]) continue;
        const double dt = s[i].minutes - t0 - mt;
        stt += dt * dt;
        stv += dt * (value(s[i]) - mv);
    }
    if (!(stt > 1e-18)) return line;
    line.slope = stv / stt;
    line.intercept = mv - line.slope * mt;
    line.defined = std::isfinite(line.slope) && std::isfinite(line.intercept);
    return line;
}

template <typename Value>
double residual_rms(std::span<const DriftSample> s, const std::vector<bool>& use, double t0,
                    const Line& line, Value value) {
    double sum = 0, n = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!use[i]) continue;
        const double r = value(s[i]) - (line.intercept + line.slope * (s[i].minutes - t0));
        sum += r * r;
        n += 1;
    }
    return n > 0 ? std::sqrt(sum / n) : 0;
}

template <typename Value>
AxisFit axis_fit(std::span<const DriftSample> s, const std::vector<bool>& use, double t0,
                 Value value) {
    AxisFit fit;
    const Line line = fit_line(s, use, t0, value);
    if (!line.defined) return fit;
    const double n = line.n, mt = line.mean_t, mv = line.mean_v;
    double stt = 0, ssr = 0, sst = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!use[i]) continue;
        const double dt = s[i].minutes - t0;
        const double r = value(s[i]) - (line.intercept + line.slope * dt);
        stt += (dt - mt) * (dt - mt);
        ssr += r * r;
        sst += (value(s[i]) - mv) * (value(s[i]) - mv);
    }
    fit.rate_per_min = line.slope;
    fit.intercept = line.intercept;
    fit.residual_rms = std::sqrt(ssr / n);
    if (n > 2) fit.rate_se_per_min = std::sqrt(ssr / (n - 2) / stt);
    if (sst > 0) fit.r2 = std::clamp(1 - ssr / sst, 0.0, 1.0);
    return fit;
}

double x_of(const DriftSample& s) { return s.x; }
double y_of(const DriftSample& s) { return s.y; }

// The sums the projections are read from, over the used samples in order, with the same
// arithmetic as axis_fit so that an image axis's projection reproduces it.
FitSpread spread_of(std::span<const DriftSample> s, const std::vector<bool>& use, double t0,
                    const DriftFit& fit) {
    FitSpread f;
    double sx = 0, sy = 0, st = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!use[i]) continue;
        f.n += 1;
        st += s[i].minutes - t0;
        sx += s[i].x;
        sy += s[i].y;
    }
    const double mt = st / f.n, mx = sx / f.n, my = sy / f.n;
    const double bx = *fit.x.rate_per_min, ax = *fit.x.intercept;
    const double by = *fit.y.rate_per_min, ay = *fit.y.intercept;
    bool have_before = false;
    double before_x = 0, before_y = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!use[i]) continue;
        const double dt = s[i].minutes - t0;
        const double rx = s[i].x - (ax + bx * dt), ry = s[i].y - (ay + by * dt);
        f.stt += (dt - mt) * (dt - mt);
        f.rxx += rx * rx;
        f.ryy += ry * ry;
        f.rxy += rx * ry;
        const double vx = s[i].x - mx, vy = s[i].y - my;
        f.txx += vx * vx;
        f.tyy += vy * vy;
        f.txy += vx * vy;
        if (have_before) {
            f.lxx += before_x * rx;
            f.lyy += before_y * ry;
            f.lxy += before_x * ry;
            f.lyx += before_y * rx;
        }
        have_before = true;
        before_x = rx, before_y = ry;
    }
    return f;
}

// The used samples' residuals and the pixel-phase error along each axis.
void add_residuals(DriftFit& fit, std::span<const DriftSample> s, const std::vector<bool>& use) {
    std::vector<double> fitted_x, fitted_y;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!use[i]) continue;
        const double dt = s[i].minutes - fit.origin_minutes;
        const double fx = *fit.x.intercept + *fit.x.rate_per_min * dt;
        const double fy = *fit.y.intercept + *fit.y.rate_per_min * dt;
        fit.used_minutes.push_back(dt);
        fit.residual_x.push_back(s[i].x - fx);
        fit.residual_y.push_back(s[i].y - fy);
        fitted_x.push_back(fx);
        fitted_y.push_back(fy);
    }
    fit.pixel_phase_x_px = pixel_phase_px(fit.used_minutes, fitted_x, fit.residual_x);
    fit.pixel_phase_y_px = pixel_phase_px(fit.used_minutes, fitted_y, fit.residual_y);
}

}  // namespace

DriftFit fit_drift(std::span<const DriftSample> samples) {
    constexpr std::size_t from = 0;
    DriftFit fit;
    fit.excluded.assign(samples.size(), Exclusion::none);
    fit.images = samples.size();
    if (fit.images == 0) return fit;
    fit.origin_minutes = samples[from].minutes;
    const double t0 = fit.origin_minutes;

    std::vector<bool> use(samples.size(), false);
    for (std::size_t i = from; i < samples.size(); ++i) {
        const DriftSample& s = samples[i];
        const bool finite = std::isfinite(s.minutes) && std::isfinite(s.x) && std::isfinite(s.y);
        use[i] = finite && !s.flagged;
        fit.excluded[i] = use[i] ? Exclusion::none : Exclusion::flagged;
    }

    // One round of outlier rejection against the first line.
    const Line lx = fit_line(samples, use, t0, x_of), ly = fit_line(samples, use, t0, y_of);
    if (lx.defined && ly.defined) {
        const double rx = residual_rms(samples, use, t0, lx, x_of);
        const double ry = residual_rms(samples, use, t0, ly, y_of);
        double n = 0;
        for (std::size_t i = from; i < samples.size(); ++i) n += use[i] ? 1 : 0;
        // Against the RMS of the other points: with the point itself in it, no point of a
        // short series could ever stand 4 RMS out.
        const auto beyond = [n](double residual, double rms) {
            const double others = (n * rms * rms - residual * residual) / (n - 1);
            return others > 0 && residual > 1e-6 && residual > kOutlierRms * std::sqrt(others);
        };
        for (std::size_t i = from; i < samples.size(); ++i) {
            if (!use[i]) continue;
            const double dt = samples[i].minutes - t0;
            const double ex = std::abs(samples[i].x - (lx.intercept + lx.slope * dt));
            const double ey = std::abs(samples[i].y - (ly.intercept + ly.slope * dt));
            if (beyond(ex, rx) || beyond(ey, ry)) {
                use[i] = false;
                fit.excluded[i] = Exclusion::outlier;
            }
        }
    }

    double first = 0, last = 0, total = 0;
    bool any = false;
    for (std::size_t i = from; i < samples.size(); ++i) {
        if (fit.excluded[i] == Exclusion::flagged) ++fit.flagged;
        if (fit.excluded[i] == Exclusion::outlier) ++fit.outliers;
        if (!use[i]) continue;
        ++fit.used;
        total += samples[i].minutes - t0;
        first = any ? std::min(first, samples[i].minutes) : samples[i].minutes;
        last = any ? std::max(last, samples[i].minutes) : samples[i].minutes;
        any = true;
    }
    fit.elapsed_minutes = last - first;
    if (fit.used > 0) fit.mean_minutes = total / static_cast<double>(fit.used);
    fit.x = axis_fit(samples, use, t0, x_of);
    fit.y = axis_fit(samples, use, t0, y_of);
    if (fit.x.rate_per_min && fit.y.rate_per_min) {
        fit.spread = spread_of(samples, use, t0, fit);
        add_residuals(fit, samples, use);
    }
    return fit;
}

AxisFit projected_fit(const DriftFit& fit, double ux, double uy) {
    AxisFit p;
    if (!fit.x.rate_per_min || !fit.y.rate_per_min) return p;
    const FitSpread& s = fit.spread;
    // Terms with a zero weight are left out so that an image axis gives its own fit.
    const auto form = [ux, uy](double xx, double yy, double xy) {
        double v = 0;
        if (ux != 0) v += ux * ux * xx;
        if (uy != 0) v += uy * uy * yy;
        if (ux != 0 && uy != 0) v += 2 * ux * uy * xy;
        return std::max(v, 0.0);
    };
    const auto line = [ux, uy](double x, double y) {
        double v = 0;
        if (ux != 0) v += ux * x;
        if (uy != 0) v += uy * y;
        return v;
    };
    const double ssr = form(s.rxx, s.ryy, s.rxy), sst = form(s.txx, s.tyy, s.txy);
    p.rate_per_min = line(*fit.x.rate_per_min, *fit.y.rate_per_min);
    if (fit.x.intercept && fit.y.intercept) p.intercept = line(*fit.x.intercept, *fit.y.intercept);
    if (!(s.n > 0)) return p;
    p.residual_rms = std::sqrt(ssr / s.n);
    if (s.n > 2) p.rate_se_per_min = std::sqrt(ssr / (s.n - 2) / s.stt);
    if (sst > 0) p.r2 = std::clamp(1 - ssr / sst, 0.0, 1.0);
    return p;
}

std::optional<double> projected_autocorrelation(const DriftFit& fit, double ux, double uy) {
    const FitSpread& s = fit.spread;
    if (s.n < 3) return std::nullopt;
    const double ssr = ux * ux * s.rxx + uy * uy * s.ryy + 2 * ux * uy * s.rxy;
    const double lag = ux * ux * s.lxx + uy * uy * s.lyy + ux * uy * (s.lxy + s.lyx);
    if (!(ssr > 0) || !std::isfinite(lag)) return std::nullopt;
    return std::clamp(lag / ssr, -1.0, 1.0);
}

}  // namespace trakora
