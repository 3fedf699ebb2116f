// SPDX-License-Identifier: MIT
// The pole target: where the polar axis points around the pole, in arcminutes, to steer
// the knobs by. Azimuth across with west to the right (the sign of the axis's azimuth
// error, + = too far west), altitude up (+ = too high), the same in both hemispheres;
// the words at the ends of the axes say which way is which. The pole sits in the middle
// inside rings at 1′, 5′ and 15′; the current estimate is drawn with its 1-SE ellipse,
// the earlier answers of the session as a trail fading with age.
//
// Usage:
//   chart::PoleTarget target;
//   target.now = chart::PoleTarget::Estimate{3.1, -1.2, 0.4, 0.6, 0.2};
//   chart::paint_pole_target(painter, rect(), target);
#pragma once

#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <optional>
#include <string>
#include <vector>

#include "chart/drift_chart.hpp"  // ChartStyle

class QPainter;

namespace trakora::chart {

struct PoleTarget {
    // One answer about the axis. A position not finite is not drawn; an SE not finite or
    // negative, or a correlation outside [-1, 1], leaves the point without its ellipse.
    struct Estimate {
        double azimuth_arcmin = 0;   // + = west, drawn to the right
        double altitude_arcmin = 0;  // + = high, drawn up
        double azimuth_se_arcmin = 0;
        double altitude_se_arcmin = 0;
        double correlation = 0;  // of the two errors
    };
    std::optional<Estimate> now;
    std::vector<Estimate> trail;  // earlier answers, oldest first
    ChartStyle style = ChartStyle::light;
    // The words, UTF-8 in the caller's language.
    std::string title;     // e.g. "Where the polar axis points"
    std::string subtitle;  // e.g. the total
    std::string x_label;   // e.g. "azimuth (′)"
    std::string y_label;
    std::string west, east, high, low;  // at the axes' ends
};

// The rings, in arcminutes, up to the one around the estimate; wider ones (30′, 60′, 120′,
// …) join them when the estimate lies beyond.
inline constexpr double kPoleTargetRings[] = {1, 5, 15};

// Where the picture lands: a square plot centred on the pole, the same scale both ways.
// The range zooms to the current estimate and its ellipse: the smallest ring around them
// (15′ without an estimate), or their reach beyond 15′ (the ellipse counted up to the
// estimate's distance from the pole; the trail and a wider ellipse are clipped). Between
// the outermost ring and the edge there is room for the words at the axes' ends.
struct PoleTargetFrame {
    QRectF plot;
    double half_range_arcmin = 0;  // from the pole to the plot's edge
    std::vector<double> rings;     // radii drawn, arcminutes, ascending
    QPointF to_pixel(double azimuth_arcmin, double altitude_arcmin) const;
    double pixels_per_arcmin() const;
};
PoleTargetFrame pole_target_frame(const QRectF& area, const PoleTarget& target);

// The 1-SE ellipse {x : xᵀ Σ⁻¹ x = 1} around the estimate, in arcminutes (azimuth,
// altitude), as `samples` points; its extent is ± the SE along each axis. Empty when the
// estimate's ellipse is not drawn.
std::vector<QPointF> se_ellipse(const PoleTarget::Estimate& estimate, int samples = 96);

// Fills `area` with the background and draws the whole picture inside it, every size
// following the area's. Text needs a QGuiApplication (see chart_gui_guard.hpp).
void paint_pole_target(QPainter& painter, const QRectF& area, const PoleTarget& target);

}  // namespace trakora::chart
