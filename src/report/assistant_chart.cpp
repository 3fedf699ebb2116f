// SPDX-License-Identifier: MIT
#include "report/assistant_chart.hpp"

#include <cmath>
#include <cstdio>

#include "chart/drift_chart_files.hpp"
#include "report/chart_text.hpp"

namespace trakora::report {
namespace {

// North component of a displacement (pixels, rows downward) in the chart's unit.
double north_of(double dx, double dy, double unit, const Orientation& o) {
    return sky_rate(dx, dy, unit, o).north;
}

// The plate scale the chart's drift is measured with: the latest segment's.
std::optional<double> chart_scale(const DriftAssistant& a) {
    return a.segments.empty() ? std::nullopt : a.segments.back().geometry.scale_arcsec_per_px;
}

}  // namespace

DriftChartCaption drift_chart_caption(const DriftSummary& s, bool scale_known, bool any_images) {
    using Title = DriftChartCaption::Title;
    DriftChartCaption c;
    if (s.error_arcmin)
        c.title = Title::error;
    else if (s.north_arcsec_per_min)
        c.title = Title::north_drift;
    else if (s.rate_x_px_per_min && s.rate_y_px_per_min)
        c.title = Title::measuring_in_pixels;
    // Two decimals when the standard error would show as 0.0.
    if (s.error_se_arcmin && *s.error_se_arcmin < 0.1) c.decimals = 2;
    c.arcsec = scale_known;
    c.air_removed = s.refraction_arcsec_per_min.has_value();
    c.counted = any_images;
    if (s.enough && *s.enough)
        c.progress = DriftChartCaption::Progress::enough;
    else if (s.minutes_needed)
        c.progress = DriftChartCaption::Progress::minutes_left;
    return c;
}

DriftChartCaption assistant_chart_caption(const DriftAssistant& a) {
    return drift_chart_caption(drift_summary_now(a), chart_scale(a).has_value(), !a.images.empty());
}

chart::DriftChart assistant_chart(const DriftAssistant& a, chart::ChartStyle style) {
    chart::DriftChart c;
    c.style = style;
    const DriftSummary& s = drift_summary_now(a);
    // The orientation the answer used: typed, solved, calibrated or refined.
    const Orientation o =
        s.angle_deg && s.mirror ? Orientation{*s.angle_deg, *s.mirror} : a.typed.orientation;
    const std::optional<double> scale = chart_scale(a);
    const double unit = scale.value_or(1);
    // The air's own north drift comes off, as it does for the answer: at the segment's
    // rate, counted from the reference image's time (known only with the plate scale).
    const double refraction = s.refraction_arcsec_per_min.value_or(0);
    if (a.images.empty()) return c;

    // Drift counts from the session's first clean centroid.
    const StarMeasurement* reference = &*a.images.front().measurement.star;
    double reference_minutes = a.images.front().minutes;
    for (const SessionImage& image : a.images)
        if (image.measurement.star->flags == 0 && image.measurement.time) {
            reference = &*image.measurement.star;
            reference_minutes = image.minutes;
            break;
        }
    const auto air_part = [&](double minutes) {
        return refraction * (minutes - reference_minutes);
    };
    for (const SessionImage& image : a.images) {
        if (!image.measurement.time) continue;
        const StarMeasurement& star = *image.measurement.star;
        c.points.push_back({image.minutes,
                            north_of(star.x - reference->x, star.y - reference->y, unit, o) -
                                air_part(image.minutes),
                            image.excluded != Exclusion::none, static_cast<int>(image.segment)});
    }
    c.current_segment = static_cast<int>(a.segments.size() - 1);

    // The fit line through the mean time of its images, where intercept and slope are
    // uncorrelated: the band's half-width there is the residual RMS over the root of n.
    const DriftSegment& segment = a.segments.back();
    const DriftFit& fit = segment.fit;
    if (!fit.x.rate_per_min || !fit.y.rate_per_min || !fit.x.intercept || !fit.y.intercept ||
        fit.used < 2)
        return c;
    const AxisFit axis = north_fit(fit, o);
    chart::FitLine line;
    double first = 0, last = 0;
    bool any = false;
    for (const SessionImage& image : segment_images(a, a.segments.size() - 1)) {
        if (!image.measurement.time || image.excluded != Exclusion::none) continue;
        first = any ? std::min(first, image.minutes) : image.minutes;
        last = any ? std::max(last, image.minutes) : image.minutes;
        any = true;
    }
    line.start_minutes = first;
    line.end_minutes = last;
    line.origin_minutes = fit.origin_minutes + fit.mean_minutes;
    const double mx = *fit.x.intercept + *fit.x.rate_per_min * fit.mean_minutes;
    const double my = *fit.y.intercept + *fit.y.rate_per_min * fit.mean_minutes;
    line.intercept =
        north_of(mx - reference->x, my - reference->y, unit, o) - air_part(line.origin_minutes);
    line.slope = north_of(*fit.x.rate_per_min, *fit.y.rate_per_min, unit, o) - refraction;
    line.slope_se = axis.rate_se_per_min.value_or(0) * unit;
    line.intercept_se =
        axis.residual_rms.value_or(0) * unit / std::sqrt(static_cast<double>(fit.used));
    if (std::isfinite(line.intercept) && std::isfinite(line.slope)) c.fit = line;
    return c;
}

bool write_assistant_chart(const std::string& path, const DriftAssistant& assistant, int width,
                           int height, std::string* error) {
    chart::DriftChart c = assistant_chart(assistant);
    drift_chart_in_english(c, assistant_chart_caption(assistant), drift_summary_now(assistant));
    return chart::write_drift_chart(path, c, QSize(width, height), error);
}

}  // namespace trakora::report
