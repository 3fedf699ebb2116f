// SPDX-License-Identifier: MIT
#include "session/assistant_handlers.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

#include "analysis/adjust_cutout.hpp"
#include "analysis/brightest_spot.hpp"
#include "analysis/star_measurement.hpp"
#include "analysis/star_tracker.hpp"
#include "session/drift_adjust.hpp"

namespace trakora {
namespace {

bool has_pixels(const MeasuredPlane& image) { return image.width > 0 && image.height > 0; }

Position rounded(Position p) { return {std::round(p.x), std::round(p.y)}; }

// What the session remembers of its star for the next image: the last image's star, and
// where a turn of a knob left it. Nothing at a pick or when the session starts anew.
StarTracker session_tracker(const DriftAssistant& a, bool picked) {
    StarTracker t;
    if (a.session_ended || a.images.empty() || picked) return t;
    const StarMeasurement& last = *a.images.back().measurement.star;
    t.last = Position{last.x, last.y};
    t.last_snr = last.flags == 0 ? last.snr : 0;
    t.turned_to = a.turned_to;
    return t;
}

// After a slew the new star stands where the user centred it, as the window asks, or
// where a mount's pointing puts it: on the pixel the last star was. The brighter of the
// two places is taken, since a knob's turn leaves the last star off the centre and what
// lies there after the slew is a field star at best.
Position slewed_star_place(const MeasuredPlane& image, Position last) {
    const Position at_last = brightest_spot_near(image.plane, rounded(last));
    if (!has_pixels(image)) return at_last;
    const Position centre =
        brightest_spot_near(image.plane, rounded({(image.width - 1) / 2, (image.height - 1) / 2}));
    const auto flux = [&image](Position p) {
        return measure_star(image.plane, p, image.levels).flux;
    };
    return flux(centre) > flux(at_last) ? centre : at_last;
}

// While a knob is turned: where the star was followed to, along the line to the target.
StarTracker turn_tracker(const KnobAdjusting& k) {
    StarTracker t;
    t.last = k.star;
    t.last_snr = k.last_snr;
    t.turning = KnobLine{k.anchor, k.target};
    return t;
}

AdjustCutout cutout_of(const MeasuredPlane& image, const KnobAdjusting& k) {
    return adjust_cutout(image.plane, k.star, k.anchor, k.target);
}

// One image while a knob is turned: followed, never added to a segment. False for an
// image without pixels or the one seen last.
bool follow_adjusting(KnobAdjusting& k, const MeasuredPlane& image, const ImageMeasurement& m) {
    const std::optional<double> time =
        m.time ? std::optional<double>(m.time->unix_s) : std::nullopt;
    if (!has_pixels(image) || (k.last_file == m.file && k.last_unix_s == time)) return false;
    k.last_file = m.file;
    k.last_unix_s = time;
    ++k.images;
    const std::optional<StarMeasurement> star =
        follow_turned_star(turn_tracker(k), image.plane, image.levels, m.found);
    k.lost = !star;
    if (star) {
        k.last_snr = star->snr;
        follow_adjusted_star(k, {star->x, star->y});
    }
    k.cutout = cutout_of(image, k);
    return true;
}

// Keeps `m` as the latest measurement; with `take`, measures the star and adds the image.
// After a slew or a flip the star is a new one: the one now under the session's search,
// where the last one was (a mount centres the new star on the same pixel) or, after a
// slew, at the centre where the user put it, any brightness.
// Returns `take`.
bool measure(DriftAssistant& a, const MeasuredPlane& image, ImageMeasurement m, bool take) {
    ++a.measured;
    if (take) {
        MountMove moved = m.picked ? MountMove::none : mount_move(a, m);
        if (!m.picked && a.slew_for_next) moved = MountMove::slewed;
        const std::optional<double> now =
            m.time ? std::optional<double>(m.time->unix_s) : std::nullopt;
        StarTracker t = session_tracker(a, m.picked);
        Position found = m.found;
        // A slew or a flip brings a new star (or the same turned round): it is remembered
        // afresh, neighbours and all.
        const bool fresh = !t.last || !a.star_memory || moved != MountMove::none;
        if (moved != MountMove::none) {
            t.last_snr = 0;
            t.turned_to.reset();
            if (t.last)
                found = moved == MountMove::slewed
                            ? slewed_star_place(image, *t.last)
                            : brightest_spot_near(image.plane, rounded(*t.last));
        } else if (!fresh) {
            t.memory = a.star_memory;
            t.now_unix_s = now;
        }
        m.star = track_star(t, image.plane, image.levels, found);
        a.turned_to.reset();
        std::optional<StarMemory> memory = a.star_memory;
        if (fresh)
            memory = remember_picked_star(image.plane, image.levels, *m.star, now);
        else
            remember_star(*memory, *m.star, now);
        add_drift_image(a, std::move(m), moved == MountMove::slewed);
        a.star_memory = std::move(memory);
        a.latest = a.images.back().measurement;
    } else {
        a.latest = std::move(m);
    }
    return take;
}

}  // namespace

bool update_drift_assistant(DriftAssistant& a, const MeasuredPlane& image, ImageMeasurement m) {
    // A slew or a flip while a knob is turned ends the turn: the star left for another
    // place, which the cut-out would read as the knob turned back.
    if (a.adjusting && has_pixels(image) && mount_move(a, m) != MountMove::none)
        start_drift_segment(a, SegmentReason::knob_turned);
    if (a.adjusting) {
        ++a.measured;
        const bool followed = follow_adjusting(*a.adjusting, image, m);
        a.latest = std::move(m);
        return followed;
    }
    const bool take = has_pixels(image) && !is_last_image(a, m);
    return measure(a, image, std::move(m), take);
}

bool start_drift_star(DriftAssistant& a, const MeasuredPlane& image, ImageMeasurement m) {
    if (!has_pixels(image)) return false;
    m.picked = true;
    // A pick on the star a slew's segment already follows confirms it: the segment goes on.
    if (!a.session_ended && !a.adjusting && !a.segment_requested && !a.images.empty() &&
        a.segments.back().reason == SegmentReason::slew) {
        const StarMeasurement star = track_star({}, image.plane, image.levels, m.found);
        const StarMeasurement& last = *a.images.back().measurement.star;
        if (std::hypot(star.x - last.x, star.y - last.y) <= kSameStarPx)
            return measure(a, image, std::move(m), !is_last_image(a, m));
    }
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
        if (a.adjusting) {
            a.segment_requested = SegmentReason::knob_turned;
            a.knob_turned_last = a.adjusting->adjust.knob;
        }
        a.adjusting.reset();
        if (!a.images.empty() && a.segment_requested != SegmentReason::knob_turned)
            a.segment_requested = SegmentReason::new_star;
    }
    return measure(a, image, std::move(m), true);
}

void end_drift_session(DriftAssistant& a) {
    a.session_ended = true;
    a.adjusting.reset();
}

void start_drift_segment(DriftAssistant& a, SegmentReason reason) {
    if (const std::optional<KnobAdjusting>& k = a.adjusting) {
        reason = SegmentReason::knob_turned;
        if (!k->lost) a.turned_to = k->star;
        a.knob_turned_last = k->adjust.knob;
    }
    a.adjusting.reset();
    a.segment_requested = reason;
}

void start_drift_new_star(DriftAssistant& a) {
    const bool after_turn = a.adjusting || a.segment_requested == SegmentReason::knob_turned;
    start_drift_segment(a, after_turn ? SegmentReason::knob_turned : SegmentReason::new_star);
    a.slew_for_next = true;
    a.turned_to.reset();
}

bool start_knob_adjust(DriftAssistant& a, const MeasuredPlane& image, Knob knob) {
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
    // The knob moves the plate by up to about the turn; more is a slew.
    a.turn_allowance_arcmin = 3 * std::abs(adjust->error_arcmin);
    if (const std::optional<double> seeing = segment.summary.seeing_arcsec)
        k.reached_px = std::max(k.reached_px, 2 * *seeing / k.scale_arcsec_per_px);
    k.last_snr = star.flags == 0 ? star.snr : 0;
    const ImageMeasurement& last = a.images.back().measurement;
    k.last_file = last.file;
    if (last.time) k.last_unix_s = last.time->unix_s;
    follow_adjusted_star(k, k.anchor);
    a.adjusting = std::move(k);
    if (has_pixels(image)) a.adjusting->cutout = cutout_of(image, *a.adjusting);
    return true;
}

bool end_knob_adjust(DriftAssistant& a) {
    if (!a.adjusting) return false;
    start_drift_segment(a, SegmentReason::knob_turned);
    return true;
}

bool set_drift_input(DriftAssistant& a, DriftInput which, double value) {
    if (!std::isfinite(value)) return false;
    type_drift_input(a, which, value);
    return true;
}

void clear_drift_input(DriftAssistant& a, DriftInput which) {
    type_drift_input(a, which, std::nullopt);
}

void set_drift_orientation(DriftAssistant& a, Orientation orientation, AngleSource source) {
    a.typed.orientation = orientation;
    a.typed.angle_source = source;
    // Given for the camera as the images now show it.
    if (a.latest && !a.latest->keywords.pier_side.empty())
        a.orientation_pier_side = a.latest->keywords.pier_side;
    refit_drift(a);
}

void set_drift_air(DriftAssistant& a, bool refraction, std::optional<double> temperature_c,
                   std::optional<double> pressure_hpa, PoleTarget target) {
    PolarInputs& typed = a.typed;
    typed.refraction = refraction;
    typed.temperature_c = temperature_c;
    typed.pressure_hpa = pressure_hpa;
    typed.target = target;
    refit_drift(a);
}

void arm_drift_calibration(DriftAssistant& a, CalibrationMove move) {
    a.calibrate_next = move;
    if (!a.images.empty() && !a.session_ended && !a.segment_requested)
        a.segment_requested = SegmentReason::by_hand;
}

void set_drift_calibration(DriftAssistant& a, std::optional<CalibrationMove> move) {
    a.typed.calibration = move;
    if (!move) a.calibrate_next.reset();
    refit_drift(a);
}

}  // namespace trakora
