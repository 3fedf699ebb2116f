// SPDX-License-Identifier: MIT
#include "report/assistant_chart.hpp"

#include <cmath>
#include <cstdio>

#include "base/number_text.hpp"
#include "chart/drift_chart_files.hpp"

namespace trakora::report {
namespace {

// North component of a displacement (pixels, rows downward) in the chart's unit.
double north_of(double dx, double dy, double unit, const Orientation& o) {
    return sky_rate(dx, dy, unit, o).north;
}

// The component and the way the axis is off, in the chart's words.
const char* component_word(Component component) {
    switch (component) {
        case Component::azimuth:
            return "方位";
        case Component::altitude:
            return "高度";
        case Component::mixed:
            break;
    }
    return "混合";
}

const char* direction_word(ErrorDirection direction) {
    switch (direction) {
        case ErrorDirection::east:
            return "東";
        case ErrorDirection::west:
            return "西";
        case ErrorDirection::high:
            return "高すぎ";
        case ErrorDirection::low:
            break;
    }
    return "低すぎ";
}

}  // namespace

std::string assistant_chart_title(const DriftSummary& s) {
    if (s.error_arcmin) {
        // Two decimals when the standard error would show as 0.0.
        const int decimals = s.error_se_arcmin && *s.error_se_arcmin < 0.1 ? 2 : 1;
        std::string title = "極軸のずれ " + fixed_text(*s.error_arcmin, decimals) + "′";
        if (s.error_se_arcmin) title += " ± " + fixed_text(*s.error_se_arcmin, decimals) + "′";
        if (s.direction) title += std::string(" ") + direction_word(*s.direction);
        if (s.component) title += std::string(" (") + component_word(*s.component) + ")";
        return title;
    }
    if (s.north_arcsec_per_min)
        return "北へのドリフト " + fixed_text(*s.north_arcsec_per_min, 2) + "″/分 (時角が不明)";
    if (s.rate_x_px_per_min && s.rate_y_px_per_min) return "ドリフトの測定中 (縮尺が不明)";
    return "ドリフトの測定中";
}

chart::DriftChart assistant_chart(const DriftAssistant& a, chart::ChartStyle style) {
    chart::DriftChart c;
    c.style = style;
    const DriftSummary& s = drift_summary_now(a);
    c.title = assistant_chart_title(s);
    // The orientation the answer used: typed, solved, calibrated or refined.
    const Orientation o =
        s.angle_deg && s.mirror ? Orientation{*s.angle_deg, *s.mirror} : a.typed.orientation;
    const std::optional<double> scale =
        a.segments.empty() ? std::nullopt : a.segments.back().geometry.scale_arcsec_per_px;
    const double unit = scale.value_or(1);
    // The air's own north drift comes off, as it does for the answer: at the segment's
    // rate, counted from the reference image's time (known only with the plate scale).
    const double refraction = s.refraction_arcsec_per_min.value_or(0);
    if (s.refraction_arcsec_per_min)
        c.y_label =
            scale ? "北へのドリフト、大気差を除く (″)" : "北へのドリフト、大気差を除く (px)";
    else
        c.y_label = scale ? "北へのドリフト (″)" : "北へのドリフト (px)";
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

    std::string subtitle = "使用 " + std::to_string(s.used) + "/" + std::to_string(s.images) +
                           " 枚 · " + fixed_text(s.minutes, 1) + " 分";
    if (s.knob_arcmin) subtitle += " · 方位つまみ " + fixed_text(*s.knob_arcmin, 1) + "′";
    if (s.enough && *s.enough)
        subtitle += " · 十分な測定";
    else if (s.minutes_needed)
        subtitle += " · あと約 " + fixed_text(std::ceil(*s.minutes_needed), 0) + " 分";
    c.subtitle = subtitle;

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
    return chart::write_drift_chart(path, assistant_chart(assistant), QSize(width, height), error);
}

}  // namespace trakora::report
