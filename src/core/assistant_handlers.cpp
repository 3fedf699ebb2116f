// SPDX-License-Identifier: MIT
#include "core/assistant_handlers.hpp"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

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

// How far apart two stars' brightness lies, as the log of their SNRs' ratio.
double brightness_apart(const StarMeasurement& x, double last_snr) {
    return std::abs(std::log(std::max(x.snr, 1e-9) / last_snr));
}

// A clean star about as bright as the last one (any clean star when that is unknown).
bool like_star(const StarMeasurement& x, double last_snr) {
    return x.flags == 0 &&
           (!(last_snr > 0) || brightness_apart(x, last_snr) <= std::log(kSameStarRatio));
}

// The places the jump search looks at around `around`: a grid within kJumpSearchPixels,
// its centre too or not.
void add_jump_places(std::vector<Position>& places, Position around, bool centre) {
    for (double dy = -kJumpSearchPixels; dy <= kJumpSearchPixels; dy += kJumpSearchStep)
        for (double dx = -kJumpSearchPixels; dx <= kJumpSearchPixels; dx += kJumpSearchStep)
            if (centre || dx != 0 || dy != 0) places.push_back({around.x + dx, around.y + dy});
}

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
    // After a turn of a knob the star is not near its last place.
    const auto follows = [&](const StarMeasurement& x) {
        return !a.turned_to && like_star(x, last.snr) &&
               std::hypot(x.x - last.x, x.y - last.y) <= kFollowPixels;
    };
    if (follows(star)) return star;
    const StarMeasurement at_last =
        measure_star(plane, {std::round(last.x), std::round(last.y)}, range);
    if (follows(at_last)) return at_last;
    if (like_star(star, last.snr)) return star;
    std::optional<StarMeasurement> best;
    const auto consider = [&](const StarMeasurement& found) {
        if (like_star(found, last.snr) &&
            (!best || brightness_apart(found, last.snr) < brightness_apart(*best, last.snr)))
            best = found;
    };
    consider(at_last);
    // Around its last place, and where a turn of a knob took it.
    std::vector<Position> places;
    add_jump_places(places, {last.x, last.y}, true);
    if (a.turned_to) {
        consider(
            measure_star(plane, {std::round(a.turned_to->x), std::round(a.turned_to->y)}, range));
        add_jump_places(places, *a.turned_to, true);
    }
    for (const Position& place : places)
        consider(measure_star(plane, brightest_spot_near(plane, place), range));
    return best.value_or(star);
}

// While a knob is turned the star goes as far as the whole correction (a few hundred
// pixels): looked for around its last place, then along the line to the target.
constexpr double kAdjustSearchStep = 30;
constexpr double kAdjustBeyondTarget = 60;  // a turn a little too far is followed too
// The cut-out: at least this many image pixels across, drawn in at most this many cells.
constexpr double kCutoutLeast = 160;
constexpr double kCutoutMargin = 40;
constexpr double kCutoutMost = 640;
constexpr int kCutoutCells = 160;

// The star while a knob is turned: clean, about as bright as the last clean one, and the
// nearest such to its last place.
std::optional<StarMeasurement> follow_turned_star(const State& s, const KnobAdjusting& k,
                                                  Position found) {
    const PlaneView plane = image_plane(s, 0);
    const StarLevels range{sample_range_top(s), static_cast<double>(s.pixel_max)};
    const auto like = [&](const StarMeasurement& x) { return like_star(x, k.last_snr); };
    const auto look = [&](Position around) {
        return measure_star(plane, brightest_spot_near(plane, around), range);
    };
    const Position last{std::round(k.star.x), std::round(k.star.y)};
    if (StarMeasurement near = look(last); like(near)) return near;
    // Where to look: around the last place, where the object window's search went, and
    // along the line to the target; nearest the last place first, the first like star wins.
    std::vector<Position> places = {found};
    add_jump_places(places, last, false);
    const double mx = k.target.x - k.anchor.x, my = k.target.y - k.anchor.y;
    const double length = std::hypot(mx, my);
    if (length > 0) {
        const double ux = mx / length, uy = my / length;
        for (double along = 0; along <= length + kAdjustBeyondTarget; along += kAdjustSearchStep)
            for (double across = -kAdjustSearchStep; across <= kAdjustSearchStep;
                 across += kAdjustSearchStep)
                places.push_back(
                    {k.anchor.x + ux * along - uy * across, k.anchor.y + uy * along + ux * across});
    }
    const auto away = [&](Position p) { return std::hypot(p.x - last.x, p.y - last.y); };
    std::stable_sort(places.begin(), places.end(),
                     [&](Position a, Position b) { return away(a) < away(b); });
    for (const Position& place : places)
        if (StarMeasurement x = look({std::round(place.x), std::round(place.y)}); like(x)) return x;
    return std::nullopt;
}

// The image around the star, the anchor and the target, brightest pixel per cell.
AdjustCutout adjust_cutout(const State& s, const KnobAdjusting& k) {
    const PlaneView plane = image_plane(s, 0);
    const double left = std::min({k.star.x, k.anchor.x, k.target.x});
    const double right = std::max({k.star.x, k.anchor.x, k.target.x});
    const double top = std::min({k.star.y, k.anchor.y, k.target.y});
    const double bottom = std::max({k.star.y, k.anchor.y, k.target.y});
    const double side = std::clamp(std::max(right - left, bottom - top) + 2 * kCutoutMargin,
                                   kCutoutLeast, kCutoutMost);
    AdjustCutout c;
    c.step = std::ceil(side / kCutoutCells);
    c.width = c.height = static_cast<int>(std::ceil(side / c.step));
    c.x0 = std::round((left + right) / 2 - c.width * c.step / 2);
    c.y0 = std::round((top + bottom) / 2 - c.height * c.step / 2);
    c.cells.assign(static_cast<std::size_t>(c.width * c.height), 0);
    const int step = static_cast<int>(c.step);
    for (int row = 0; row < c.height; ++row)
        for (int col = 0; col < c.width; ++col) {
            std::int32_t most = 0;
            const int x0 = static_cast<int>(c.x0) + col * step;
            const int y0 = static_cast<int>(c.y0) + row * step;
            for (int y = y0; y < y0 + step; ++y)
                for (int x = x0; x < x0 + step; ++x)
                    if (plane.contains(x, y)) most = std::max(most, plane.at(x, y));
            c.cells[static_cast<std::size_t>(row * c.width + col)] = most;
        }
    return c;
}

// One image while a knob is turned: followed, never added to a segment.
void follow_adjusting(State& s, View& v, const ImageMeasurement& m) {
    KnobAdjusting& k = *s.assistant.adjusting;
    const std::optional<double> time =
        m.time ? std::optional<double>(m.time->unix_s) : std::nullopt;
    if (s.image_width <= 0 || s.image_height <= 0 ||
        (k.last_file == m.file && k.last_unix_s == time))
        return;
    k.last_file = m.file;
    k.last_unix_s = time;
    ++k.images;
    const std::optional<StarMeasurement> star = follow_turned_star(s, k, m.found);
    k.lost = !star;
    if (star) {
        k.last_snr = star->snr;
        follow_adjusted_star(k, {star->x, star->y});
    }
    k.cutout = adjust_cutout(s, k);
    show(s, v);
}

// Keeps `m` as the latest measurement; with `take`, measures the star and adds the image.
void measure(State& s, View& v, ImageMeasurement m, bool take) {
    DriftAssistant& a = s.assistant;
    ++a.measured;
    if (take) {
        m.star = measure_session_star(s, m);
        a.turned_to.reset();
        add_drift_image(a, std::move(m));
        a.latest = a.images.back().measurement;
        show(s, v);
    } else {
        a.latest = std::move(m);
    }
}

}  // namespace

void update_drift_assistant(State& s, View& v, ImageMeasurement m) {
    if (s.assistant.adjusting) {
        ++s.assistant.measured;
        follow_adjusting(s, v, m);
        s.assistant.latest = std::move(m);
        return;
    }
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
        // A pick after a knob was turned keeps the turn: the segments before it are no
        // longer the mount's.
        if (a.adjusting) a.segment_requested = SegmentReason::knob_turned;
        a.adjusting.reset();
        if (!a.images.empty() && a.segment_requested != SegmentReason::knob_turned)
            a.segment_requested = SegmentReason::new_star;
    }
    measure(s, v, std::move(m), true);
}

void end_drift_session(State& s) {
    s.assistant.session_ended = true;
    s.assistant.adjusting.reset();
}

void start_drift_segment(State& s, View& v, SegmentReason reason) {
    HandlerScope scope(s);
    if (const std::optional<KnobAdjusting>& k = s.assistant.adjusting) {
        reason = SegmentReason::knob_turned;
        if (!k->lost) s.assistant.turned_to = k->star;
    }
    s.assistant.adjusting.reset();
    s.assistant.segment_requested = reason;
    show(s, v);
}

bool start_knob_adjust(State& s, View& v, Knob knob) {
    HandlerScope scope(s);
    DriftAssistant& a = s.assistant;
    if (a.session_ended || a.images.empty() || a.adjusting) return false;
    const std::optional<KnobAdjust> adjust = drift_adjust_now(a, knob);
    if (!adjust) return false;
    const StarMeasurement& star = *a.images.back().measurement.star;
    const DriftSegment& segment = a.segments.back();
    KnobAdjusting k;
    k.adjust = *adjust;
    k.anchor = {star.x, star.y};
    k.target = {star.x + adjust->dx_px, star.y + adjust->dy_px};
    k.scale_arcsec_per_px = *segment.geometry.scale_arcsec_per_px;
    if (const std::optional<double> seeing = segment.summary.seeing_arcsec)
        k.reached_px = std::max(k.reached_px, 2 * *seeing / k.scale_arcsec_per_px);
    k.last_snr = star.flags == 0 ? star.snr : 0;
    const ImageMeasurement& last = a.images.back().measurement;
    k.last_file = last.file;
    if (last.time) k.last_unix_s = last.time->unix_s;
    follow_adjusted_star(k, k.anchor);
    a.adjusting = std::move(k);
    if (s.image_width > 0 && s.image_height > 0)
        a.adjusting->cutout = adjust_cutout(s, *a.adjusting);
    show(s, v);
    return true;
}

void end_knob_adjust(State& s, View& v) {
    HandlerScope scope(s);
    if (!s.assistant.adjusting) return;
    start_drift_segment(s, v, SegmentReason::knob_turned);
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
