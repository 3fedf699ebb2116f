// SPDX-License-Identifier: MIT
#include "core/assistant_handlers.hpp"

#include <cmath>
#include <optional>

#include "analysis/brightest_spot.hpp"
#include "analysis/star_measurement.hpp"
#include "core/handler_scope.hpp"

namespace trakora {
namespace {

// The largest value a sample of the image's format can hold.
double sample_range_top(const State& s) {
    const double bits = std::abs(s.fits_bitpix);
    if (bits == 8) return 255;
    if (bits == 16) return 65535;
    return 2147483647.0;
}

void show(State& s, View& v) { v.show_drift_assistant(s.assistant); }

// How far from its last place the assistant looks for a star the search lost: a
// calibration move of the hand controller jumps it tens of pixels.
constexpr double kJumpSearchPixels = 60;
constexpr double kJumpSearchStep = 30;  // the spot search reaches 15 pixels each way

// A star this many times brighter or fainter than the session's last is another star.
constexpr double kSameStarRatio = 2;

// Between two images the session's star moves by its drift, the seeing and the drive's
// errors: a few pixels. A star found farther from its last place is another one, unless
// nothing of its kind is nearer (a jump).
constexpr double kFollowPixels = 10;

// The star measured around the found position, while it is the session's star: clean,
// about as bright as the last clean one and near its place. The whole-pixel search may go
// to another star of the field; the session's star is then looked for where it was, and
// when it jumped (the search lost it), the clean one within reach of the last that is
// nearest its brightness.
StarMeasurement measure_session_star(const State& s, const ImageMeasurement& m) {
    const PlaneView plane = image_plane(s, 0);
    const StarLevels range{sample_range_top(s), static_cast<double>(s.pixel_max)};
    StarMeasurement star = measure_star(plane, m.found, range);
    const DriftAssistant& a = s.assistant;
    if (a.session_ended || a.images.empty() || m.picked) return star;
    const StarMeasurement& last = *a.images.back().measurement.star;
    if (last.flags != 0 || !(last.snr > 0)) return star;
    const auto unlike = [&last](const StarMeasurement& x) {
        return std::abs(std::log(std::max(x.snr, 1e-9) / last.snr));
    };
    const double same = std::log(kSameStarRatio);
    const auto follows = [&](const StarMeasurement& x) {
        return x.flags == 0 && unlike(x) <= same &&
               std::hypot(x.x - last.x, x.y - last.y) <= kFollowPixels;
    };
    if (follows(star)) return star;
    const StarMeasurement at_last =
        measure_star(plane, {std::round(last.x), std::round(last.y)}, range);
    if (follows(at_last)) return at_last;
    if (star.flags == 0 && unlike(star) <= same) return star;
    std::optional<StarMeasurement> best;
    const auto consider = [&](const StarMeasurement& found) {
        if (found.flags == 0 && unlike(found) <= same && (!best || unlike(found) < unlike(*best)))
            best = found;
    };
    consider(at_last);
    for (double dy = -kJumpSearchPixels; dy <= kJumpSearchPixels; dy += kJumpSearchStep)
        for (double dx = -kJumpSearchPixels; dx <= kJumpSearchPixels; dx += kJumpSearchStep)
            consider(
                measure_star(plane, brightest_spot_near(plane, {last.x + dx, last.y + dy}), range));
    return best.value_or(star);
}

// Keeps `m` as the latest measurement; with `take`, measures the star and adds the image.
void measure(State& s, View& v, ImageMeasurement m, bool take) {
    DriftAssistant& a = s.assistant;
    ++a.measured;
    if (take) {
        m.star = measure_session_star(s, m);
        add_drift_image(a, std::move(m));
        a.latest = a.images.back().measurement;
        show(s, v);
    } else {
        a.latest = std::move(m);
    }
}

}  // namespace

void update_drift_assistant(State& s, View& v, ImageMeasurement m) {
    const bool take = s.image_width > 0 && s.image_height > 0 && !is_last_image(s.assistant, m);
    measure(s, v, std::move(m), take);
}

void start_drift_star(State& s, View& v, ImageMeasurement m) {
    if (s.image_width <= 0 || s.image_height <= 0) return;
    m.picked = true;
    DriftAssistant& a = s.assistant;
    // A pick again before any tick took an image of the last one corrects that pick.
    const bool corrects =
        !a.images.empty() && a.images.back().measurement.picked && a.segments.back().count == 1;
    if (a.session_ended || (corrects && a.segments.size() == 1)) {
        reset_drift_session(a);
    } else {
        if (corrects) {
            a.segments.pop_back();
            a.images.pop_back();
        }
        if (!a.images.empty()) a.segment_requested = SegmentReason::new_star;
    }
    measure(s, v, std::move(m), true);
}

void end_drift_session(State& s) { s.assistant.session_ended = true; }

void start_drift_segment(State& s, View& v, SegmentReason reason) {
    HandlerScope scope(s);
    s.assistant.segment_requested = reason;
    show(s, v);
}

void set_drift_input(State& s, View& v, DriftInput which, double value) {
    HandlerScope scope(s);
    if (!std::isfinite(value)) return;
    type_drift_input(s.assistant, which, value);
    show(s, v);
}

void clear_drift_input(State& s, View& v, DriftInput which) {
    HandlerScope scope(s);
    type_drift_input(s.assistant, which, std::nullopt);
    show(s, v);
}

void set_drift_orientation(State& s, View& v, Orientation orientation, AngleSource source) {
    HandlerScope scope(s);
    s.assistant.typed.orientation = orientation;
    s.assistant.typed.angle_source = source;
    // Given for the camera as the images now show it.
    if (s.assistant.latest && !s.assistant.latest->keywords.pier_side.empty())
        s.assistant.orientation_pier_side = s.assistant.latest->keywords.pier_side;
    refit_drift(s.assistant);
    show(s, v);
}

void set_drift_air(State& s, View& v, bool refraction, std::optional<double> temperature_c,
                   std::optional<double> pressure_hpa, PoleTarget target) {
    HandlerScope scope(s);
    PolarInputs& typed = s.assistant.typed;
    typed.refraction = refraction;
    typed.temperature_c = temperature_c;
    typed.pressure_hpa = pressure_hpa;
    typed.target = target;
    refit_drift(s.assistant);
    show(s, v);
}

void set_drift_calibration(State& s, View& v, std::optional<CalibrationMove> move) {
    HandlerScope scope(s);
    s.assistant.typed.calibration = move;
    refit_drift(s.assistant);
    show(s, v);
}

}  // namespace trakora
