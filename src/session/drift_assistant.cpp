// SPDX-License-Identifier: MIT
#include "session/drift_assistant.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/calibration_jump.hpp"
#include "analysis/periodic_error.hpp"
#include "analysis/pointing_move.hpp"
#include "base/sky_time.hpp"
#include "fits/keyword_text.hpp"
#include "session/star_notes.hpp"

namespace trakora {
namespace {

// Notes on the images' times that only the session knows: how many came from the files'
// modification times, how many had none.
void add_time_notes(DriftSummary& summary, std::span<const SessionImage> images) {
    std::size_t from_file = 0, without = 0;
    for (const SessionImage& image : images) {
        const std::optional<ObservationTime>& t = image.measurement.time;
        if (!t)
            ++without;
        else if (t->source == TimeSource::file)
            ++from_file;
    }
    if (from_file > 0)
        summary.notes.push_back({NoteCode::times_from_files, {}, {static_cast<double>(from_file)}});
    if (without > 0)
        summary.notes.push_back(
            {NoteCode::images_without_time, {}, {static_cast<double>(without)}});
}

std::optional<double> unix_time(const SessionImage& image) {
    if (!image.measurement.time) return std::nullopt;
    return image.measurement.time->unix_s;
}

// The first known time among the segment's images.
std::optional<double> first_time(const DriftAssistant& a, const DriftSegment& segment) {
    for (std::size_t k = segment.first; k < segment.first + segment.count; ++k)
        if (const auto t = unix_time(a.images[k])) return t;
    return std::nullopt;
}

// The first (or the last) pier side the segment's headers name, "" when none does.
std::string segment_pier_side(const DriftAssistant& a, const DriftSegment& segment,
                              bool last = false) {
    for (std::size_t n = 0; n < segment.count; ++n) {
        const std::size_t k = last ? segment.first + segment.count - 1 - n : segment.first + n;
        if (const std::string& side = a.images[k].measurement.keywords.pier_side; !side.empty())
            return side;
    }
    return {};
}

// Whether the segment is on the other pier side than the orientation was given for.
bool across_the_flip(const DriftAssistant& a, const DriftSegment& segment) {
    const std::string side = segment_pier_side(a, segment);
    return !side.empty() && !a.orientation_pier_side.empty() && side != a.orientation_pier_side;
}

PolarInputs segment_inputs(const DriftAssistant& a, const DriftSegment& segment) {
    PolarInputs in = a.typed;
    in.dec_deg = segment.typed_dec_deg;
    in.ha_hours = segment.typed_ha_hours;
    if (across_the_flip(a, segment))
        in.orientation.north_deg = std::fmod(in.orientation.north_deg + 180, 360.0);
    return in;
}

void resolve_segment(DriftAssistant& a, DriftSegment& segment) {
    if (segment.count == 0) return;
    segment.first_unix_s = first_time(a, segment);
    const PolarInputs in = segment_inputs(a, segment);
    segment.geometry =
        resolve_geometry(in, a.images[segment.first].measurement.keywords, segment.first_unix_s,
                         a.images[segment.first].measurement.plate);
    if (across_the_flip(a, segment) && segment.geometry.angle_source != AngleSource::header)
        segment.geometry.notes.push_back({NoteCode::angle_turned_by_flip,
                                          {a.orientation_pier_side, segment_pier_side(a, segment)},
                                          {in.orientation.north_deg}});
}

void fit_segment(DriftAssistant& a, DriftSegment& segment, std::size_t index) {
    std::vector<DriftSample> points;
    points.reserve(segment.count);
    for (const SessionImage& image : segment_images(a, index)) {
        const StarMeasurement& star = *image.measurement.star;
        // Field by field: a braced temporary here costs a store-forwarding stall per image.
        DriftSample& p = points.emplace_back();
        p.minutes = image.minutes;
        p.x = star.x;
        p.y = star.y;
        p.flagged = star_left_out(image);
    }
    if (const auto move = segment.calibration ? segment.calibration : a.typed.calibration) {
        // Found afresh from the geometry as resolved, each time the segment is refitted.
        resolve_segment(a, segment);
        apply_calibration(*move, points, segment.geometry,
                          segment.calibration ? kArmedCalibrationImages : kCalibrationImages);
    }
    segment.fit = fit_drift(points);
    for (std::size_t k = 0; k < segment.count && k < segment.fit.excluded.size(); ++k)
        a.images[segment.first + k].excluded = segment.fit.excluded[k];
    segment.summary = drift_summary(segment.fit, segment.geometry);
    add_periodic_error(segment.summary, segment.fit, points);
    add_time_notes(segment.summary, segment_images(a, index));
    add_star_notes(segment.summary, segment_images(a, index), segment.first);
}

// The last pier side the current segment's headers name, "" when none does.
std::string current_pier_side(const DriftAssistant& a) {
    return a.segments.empty() ? std::string() : segment_pier_side(a, a.segments.back(), true);
}

// The next segment's star inputs: typed for it, or the current one's carried on to the
// new segment's first image when it follows the same star.
void start_segment(DriftAssistant& a, SegmentReason reason, const ImageMeasurement& first) {
    DriftSegment segment;
    segment.reason = reason;
    segment.first = a.images.size();
    segment.slewed = a.slew_for_next || reason == SegmentReason::slew;
    segment.calibration = a.calibrate_next;
    a.calibrate_next.reset();
    const bool new_star = reason == SegmentReason::new_star || segment.slewed;
    if (new_star && !a.star_typed_for_next) {
        a.typed.dec_deg.reset();
        a.typed.ha_hours.reset();
    }
    segment.typed_dec_deg = a.typed.dec_deg;
    segment.typed_ha_hours = a.typed.ha_hours;
    if (!a.segments.empty() && !a.star_typed_for_next && !new_star && segment.typed_ha_hours) {
        const DriftSegment& before = a.segments.back();
        if (before.first_unix_s && first.time && before.typed_ha_hours) {
            const double hours =
                (first.time->unix_s - *before.first_unix_s) / 3600 * kSiderealPerSolar;
            segment.typed_ha_hours = wrapped_hours(*before.typed_ha_hours + hours);
            a.typed.ha_hours = segment.typed_ha_hours;
        }
    }
    a.segments.push_back(std::move(segment));
    a.segment_requested.reset();
    a.star_typed_for_next = false;
    a.slew_for_next = false;
    a.turn_allowance_arcmin = 0;
}

// Once an armed calibration found its jump, north's angle holds for the whole setup (the
// segments before it included), unless an exact angle was typed.
void learn_calibrated_north(DriftAssistant& a) {
    const DriftSegment& segment = a.segments.back();
    if (!segment.calibration || a.typed.angle_source == AngleSource::typed) return;
    const Geometry& g = segment.geometry;
    if (g.angle_source != AngleSource::calibration) return;
    if (a.typed.angle_source == AngleSource::calibration &&
        a.typed.orientation.north_deg == g.orientation.north_deg)
        return;
    a.typed.orientation = g.orientation;
    a.typed.angle_source = AngleSource::calibration;
    if (const std::string side = segment_pier_side(a, segment); !side.empty())
        a.orientation_pier_side = side;
    refit_drift(a);
}

}  // namespace

const char* segment_reason_name(SegmentReason reason) {
    switch (reason) {
        case SegmentReason::start:
            return "start";
        case SegmentReason::new_star:
            return "new_star";
        case SegmentReason::knob_turned:
            return "knob_turned";
        case SegmentReason::pier_side:
            return "pier_side";
        case SegmentReason::slew:
            return "slew";
        case SegmentReason::by_hand:
            break;
    }
    return "by_hand";
}

void reset_drift_session(DriftAssistant& a) {
    a.images.clear();
    a.segments.clear();
    a.segment_requested.reset();
    a.star_typed_for_next = false;
    a.session_ended = false;
    a.adjusting.reset();
    a.turned_to.reset();
    a.star_memory.reset();
    a.turn_allowance_arcmin = 0;
    a.slew_for_next = false;
    a.knob_turned_last.reset();
}

MountMove mount_move(const DriftAssistant& a, const ImageMeasurement& m) {
    if (a.session_ended || a.images.empty()) return MountMove::none;
    const ImageMeasurement& last = a.images.back().measurement;
    if (const std::optional<PointingMove> moved =
            pointing_move(last.keywords, last.plate, m.keywords, m.plate)) {
        const double allowance =
            moved->source == PointingSource::plate ? a.turn_allowance_arcmin : 0;
        if (moved->arcmin > kSlewArcmin + allowance) return MountMove::slewed;
    }
    const std::string before = current_pier_side(a);
    const std::string& now = m.keywords.pier_side;
    if (!now.empty() && !before.empty() && now != before) return MountMove::flipped;
    return MountMove::none;
}

bool is_last_image(const DriftAssistant& a, const ImageMeasurement& m) {
    if (a.session_ended || a.images.empty()) return false;
    const ImageMeasurement& last = a.images.back().measurement;
    const auto time = [](const ImageMeasurement& x) {
        return x.time ? std::optional<double>(x.time->unix_s) : std::nullopt;
    };
    return last.file == m.file && time(last) == time(m);
}

void add_drift_image(DriftAssistant& a, ImageMeasurement m, bool slewed) {
    if (a.session_ended) reset_drift_session(a);
    if (slewed && !a.segments.empty()) {
        a.slew_for_next = true;
        if (!a.segment_requested || *a.segment_requested == SegmentReason::by_hand)
            a.segment_requested = SegmentReason::slew;
    }
    if (a.orientation_pier_side.empty()) a.orientation_pier_side = m.keywords.pier_side;

    const std::string pier_before = current_pier_side(a);
    const std::string& pier_now = m.keywords.pier_side;
    const bool flipped = !pier_now.empty() && !pier_before.empty() && pier_now != pier_before;
    if (a.segments.empty())
        start_segment(a, a.segment_requested.value_or(SegmentReason::start), m);
    else if (a.segment_requested)
        start_segment(a, *a.segment_requested, m);
    else if (flipped)
        start_segment(a, SegmentReason::pier_side, m);

    SessionImage image;
    // Minutes count from the session's first timed image.
    if (m.time) {
        const auto origin = std::find_if(a.images.begin(), a.images.end(),
                                         [](const SessionImage& i) { return i.measurement.time; });
        const double t0 =
            origin != a.images.end() ? origin->measurement.time->unix_s : m.time->unix_s;
        image.minutes = (m.time->unix_s - t0) / 60.0;
        if (!std::isfinite(image.minutes)) {
            image.minutes = 0;
            m.time.reset();
        }
    }
    image.segment = a.segments.size() - 1;
    image.measurement = std::move(m);
    a.images.push_back(std::move(image));
    DriftSegment& segment = a.segments.back();
    ++segment.count;
    // The geometry is the first image's, at the first time the segment knows.
    const std::optional<ObservationTime>& time = a.images.back().measurement.time;
    if (segment.count == 1 || (!segment.first_unix_s && time)) resolve_segment(a, segment);
    fit_segment(a, segment, a.segments.size() - 1);
    learn_calibrated_north(a);
}

const char* calibration_outcome_name(CalibrationOutcome outcome) {
    switch (outcome) {
        case CalibrationOutcome::armed:
            return "armed";
        case CalibrationOutcome::searching:
            return "searching";
        case CalibrationOutcome::found:
            return "found";
        case CalibrationOutcome::no_jump:
            return "no_jump";
        case CalibrationOutcome::too_small:
            return "too_small";
        case CalibrationOutcome::beyond_search:
            return "beyond_search";
        case CalibrationOutcome::twice:
            break;
    }
    return "twice";
}

std::optional<CalibrationState> calibration_now(const DriftAssistant& a) {
    CalibrationState c;
    if (a.calibrate_next) {
        c.move = *a.calibrate_next;
        return c;
    }
    const auto armed = std::find_if(a.segments.rbegin(), a.segments.rend(),
                                    [](const DriftSegment& s) { return s.calibration; });
    if (armed == a.segments.rend()) return std::nullopt;
    c.move = *armed->calibration;
    c.outcome = CalibrationOutcome::searching;
    c.images = std::min(armed->count, kArmedCalibrationImages);
    const bool searched = armed->count >= kArmedCalibrationImages;
    for (const DriftNote& note : armed->geometry.notes) {
        const auto number = [&](std::size_t k) {
            return k < note.numbers.size() ? std::optional<double>(note.numbers[k]) : std::nullopt;
        };
        switch (note.code) {
            case NoteCode::calibration_found:
                c.outcome = CalibrationOutcome::found;
                c.angle_deg = number(0);
                c.angle_se_deg = number(1);
                c.jump_px = number(2);
                break;
            case NoteCode::calibration_lost:
                c.outcome = CalibrationOutcome::beyond_search;
                break;
            case NoteCode::calibration_twice:
                c.outcome = CalibrationOutcome::twice;
                break;
            case NoteCode::calibration_too_small:
                if (searched) c.outcome = CalibrationOutcome::too_small;
                c.jump_px = number(0);
                break;
            case NoteCode::calibration_missing:
                if (searched) c.outcome = CalibrationOutcome::no_jump;
                break;
            default:
                break;
        }
    }
    return c;
}

void refit_drift(DriftAssistant& a) {
    for (std::size_t k = 0; k < a.segments.size(); ++k) {
        resolve_segment(a, a.segments[k]);
        fit_segment(a, a.segments[k], k);
    }
}

const DriftSummary& drift_summary_now(const DriftAssistant& a) {
    static const DriftSummary kNone{};
    return a.segments.empty() ? kNone : a.segments.back().summary;
}

void type_drift_input(DriftAssistant& a, DriftInput which, std::optional<double> value) {
    switch (which) {
        case DriftInput::scale:
            a.typed.scale_arcsec_per_px = value;
            break;
        case DriftInput::lat:
            a.typed.lat_deg = value;
            break;
        case DriftInput::dec:
        case DriftInput::ha: {
            (which == DriftInput::dec ? a.typed.dec_deg : a.typed.ha_hours) = value;
            if (a.segment_requested) {
                a.star_typed_for_next = true;
            } else if (!a.segments.empty()) {
                DriftSegment& current = a.segments.back();
                (which == DriftInput::dec ? current.typed_dec_deg : current.typed_ha_hours) = value;
            }
            break;
        }
    }
    refit_drift(a);
}

SourcedValue drift_input_value(const DriftAssistant& a, DriftInput which) {
    const PolarInputs in = a.segments.empty() ? a.typed : segment_inputs(a, a.segments.back());
    const std::optional<double> typed = which == DriftInput::scale ? in.scale_arcsec_per_px
                                        : which == DriftInput::dec ? in.dec_deg
                                        : which == DriftInput::ha  ? in.ha_hours
                                                                   : in.lat_deg;
    if (typed) return {typed, InputSource::typed};
    if (a.segments.empty()) return {};
    const Geometry& g = a.segments.back().geometry;
    const std::optional<double> v = which == DriftInput::scale ? g.scale_arcsec_per_px
                                    : which == DriftInput::dec ? g.dec_deg
                                    : which == DriftInput::ha  ? g.ha_hours
                                                               : g.lat_deg;
    if (!v) return {};
    return {v, InputSource::header};
}

std::optional<double> drift_input_from_text(DriftInput which, std::string_view text) {
    std::optional<double> v;
    if (which == DriftInput::dec || which == DriftInput::lat)
        v = parse_degrees(text);
    else
        v = parse_sexagesimal(text);
    if (!v || !std::isfinite(*v)) return std::nullopt;
    if (which == DriftInput::scale && !(*v > 0 && *v <= 3600)) return std::nullopt;
    if (which == DriftInput::ha && std::abs(*v) > 24) return std::nullopt;
    return v;
}

std::span<const SessionImage> segment_images(const DriftAssistant& a, std::size_t k) {
    if (k >= a.segments.size()) return {};
    const DriftSegment& segment = a.segments[k];
    return std::span<const SessionImage>(a.images).subspan(segment.first, segment.count);
}

std::vector<SegmentRate> segment_rates(const DriftAssistant& a) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    std::vector<SegmentRate> rates;
    rates.reserve(a.segments.size());
    for (const DriftSegment& segment : a.segments) {
        const DriftSummary& s = segment.summary;
        SegmentRate r;
        r.ha_hours = segment.geometry.ha_hours
                         ? hour_angle_after(*segment.geometry.ha_hours, segment.fit.mean_minutes)
                         : kNaN;
        r.north_arcsec_per_min =
            s.north_arcsec_per_min
                ? *s.north_arcsec_per_min - s.refraction_arcsec_per_min.value_or(0)
                : kNaN;
        r.north_se_arcsec_per_min =
            s.north_se_arcsec_per_min
                ? answer_se(*s.north_se_arcsec_per_min, r.north_arcsec_per_min,
                            s.refraction_arcsec_per_min.value_or(0))
                : kNaN;
        r.lat_deg = s.lat_deg.value_or(kNaN);
        r.knob_turned_before = segment.reason == SegmentReason::knob_turned;
        rates.push_back(r);
    }
    return rates;
}

namespace {

// The combined answer aimed at the pole the user chose: the refracted one lies above the
// true one by the air's lift at the site's latitude (the latest segment used tells both).
std::optional<CombinedError> aimed(const DriftAssistant& a, std::optional<CombinedError> answer) {
    if (!answer || answer->segments_used.empty()) return answer;
    const Geometry& g = a.segments[answer->segments_used.back()].geometry;
    if (g.target != PoleTarget::refracted || !g.air || !g.lat_deg) return answer;
    return aimed_above(*answer, refracted_pole_raise_arcmin(*g.lat_deg, *g.air));
}

// The combined answer those segments give, aimed at the pole the user chose.
std::optional<CombinedError> combined_of(const DriftAssistant& a,
                                         const std::vector<SegmentRate>& rates) {
    return aimed(a, combined_error(rates, segments_to_combine(rates)));
}

}  // namespace

std::optional<CombinedError> combined_now(const DriftAssistant& a) {
    return combined_of(a, segment_rates(a));
}

std::vector<CombinedError> combined_trail(const DriftAssistant& a) {
    std::vector<SegmentRate> rates = segment_rates(a);
    std::vector<CombinedError> trail;
    if (rates.empty()) return trail;
    rates.pop_back();  // the current segment's answer is the current one
    for (; !rates.empty(); rates.pop_back()) {
        const std::optional<CombinedError> then = combined_of(a, rates);
        if (then && (trail.empty() || trail.front().segments_used != then->segments_used))
            trail.insert(trail.begin(), *then);
    }
    return trail;
}

std::optional<CombinedError> combined_before_turn(const DriftAssistant& a) {
    std::vector<SegmentRate> rates = segment_rates(a);
    std::size_t turn = rates.size();
    while (turn > 0 && !rates[turn - 1].knob_turned_before) --turn;
    if (turn == 0) return std::nullopt;
    // The newest answer the segments up to the turn gave, as each of them ended.
    for (rates.resize(turn - 1); !rates.empty(); rates.pop_back())
        if (auto then = combined_of(a, rates)) return then;
    return std::nullopt;
}

namespace {

// A new star's segment whose first star stands within this many pixels of where the
// last segment's star was, under the same pointing, is taken for the same star again.
constexpr double kSamePointingDeg = 0.05;

bool same_value(const KeywordValue& a, const KeywordValue& b, double within) {
    return !a.value || !b.value || std::abs(*a.value - *b.value) <= within;
}

bool same_pointing(const ImageMeasurement& a, const ImageMeasurement& b) {
    return same_value(a.keywords.ra_hours, b.keywords.ra_hours, kSamePointingDeg / 15) &&
           same_value(a.keywords.dec_deg, b.keywords.dec_deg, kSamePointingDeg);
}

// How far the segment's first star is from where the previous segment's star was last
// seen, when the segment is for a new star that looks like the same one: the same place
// in the image under the pointing the previous segment began with. The previous segment's
// star is its first image's: images a tick took after a slew and before the new pick
// belong to the new star, and are passed over when their headers say so.
std::optional<double> same_star_offset(const DriftAssistant& a, const DriftSegment& segment) {
    // After a slew the headers told, or the user said, the star is a new one.
    if (segment.reason != SegmentReason::new_star || segment.slewed || segment.first == 0 ||
        segment.count == 0)
        return std::nullopt;
    const DriftSegment& previous = a.segments[a.images[segment.first - 1].segment];
    const ImageMeasurement& began = a.images[previous.first].measurement;
    std::size_t last = segment.first - 1;
    while (last > previous.first && !same_pointing(a.images[last].measurement, began)) --last;
    const ImageMeasurement& before = a.images[last].measurement;
    const ImageMeasurement& now = a.images[segment.first].measurement;
    const double off = std::hypot(now.star->x - before.star->x, now.star->y - before.star->y);
    if (!(off <= kSameStarPx) || !same_pointing(before, now)) return std::nullopt;
    return off;
}

}  // namespace

std::optional<DriftNote> same_star_note(const DriftAssistant& a) {
    if (a.segments.empty()) return std::nullopt;
    const std::optional<double> off = same_star_offset(a, a.segments.back());
    if (!off) return std::nullopt;
    return DriftNote{NoteCode::same_star_again, {}, {*off}};
}

}  // namespace trakora
