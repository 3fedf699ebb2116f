// SPDX-License-Identifier: MIT
#include "core/drift_assistant.hpp"

#include <algorithm>
#include <cmath>

namespace trakora {
namespace {

// Notes on the images' times that only the session knows: how many came from the files'
// modification times, how many had none.
void add_time_notes(DriftSummary& summary, std::span<const DriftAssistantSample> samples) {
    std::size_t from_file = 0, without = 0;
    for (const DriftAssistantSample& s : samples) {
        if (!s.unix_s)
            ++without;
        else if (s.time_source == TimeSource::file)
            ++from_file;
    }
    if (from_file > 0)
        summary.notes.push_back("The time of " + std::to_string(from_file) +
                                " image(s) is the file's modification time: the header had "
                                "no usable date.");
    if (without > 0)
        summary.notes.push_back(std::to_string(without) +
                                " image(s) without a known time were left out of the fit.");
}

void fit_segment(DriftAssistant& a, DriftSegment& segment) {
    std::vector<DriftSample> points;
    points.reserve(segment.count);
    for (std::size_t k = segment.first; k < segment.first + segment.count; ++k) {
        const DriftAssistantSample& s = a.samples[k];
        points.push_back({s.minutes, s.star.x, s.star.y, s.star.flags != 0 || !s.unix_s});
    }
    segment.fit = fit_drift(points);
    for (std::size_t k = 0; k < segment.count && k < segment.fit.excluded.size(); ++k)
        a.samples[segment.first + k].excluded = segment.fit.excluded[k];
    segment.geometry = resolve_geometry(a.typed, segment.first_keywords, segment.first_unix_s);
    segment.summary = drift_summary(segment.fit, segment.geometry);
    add_time_notes(segment.summary,
                   segment_samples(a, static_cast<std::size_t>(&segment - a.segments.data())));
}

// The last non-empty pier side of the current segment, "" when it has none.
std::string current_pier_side(const DriftAssistant& a) {
    if (a.segments.empty()) return {};
    const DriftSegment& segment = a.segments.back();
    for (std::size_t k = segment.first + segment.count; k-- > segment.first;)
        if (!a.samples[k].pier_side.empty()) return a.samples[k].pier_side;
    return {};
}

}  // namespace

void reset_drift_session(DriftAssistant& a) {
    a.samples.clear();
    a.segments.clear();
    a.segment_requested = false;
    a.session_ended = false;
    a.summary = DriftSummary{};
}

void add_drift_sample(DriftAssistant& a, DriftAssistantSample sample,
                      const ObservingKeywords& keywords) {
    if (a.session_ended) reset_drift_session(a);

    const std::string pier_before = current_pier_side(a);
    const bool flipped =
        !sample.pier_side.empty() && !pier_before.empty() && sample.pier_side != pier_before;
    const bool new_segment = a.segments.empty() || a.segment_requested || flipped;
    if (new_segment) {
        DriftSegment segment;
        segment.first = a.samples.size();
        segment.by_pier_side = flipped && !a.segment_requested;
        segment.first_keywords = keywords;
        segment.first_unix_s = sample.unix_s;
        a.segments.push_back(std::move(segment));
        a.segment_requested = false;
    }
    DriftSegment& segment = a.segments.back();
    if (!segment.first_unix_s && sample.unix_s) segment.first_unix_s = sample.unix_s;

    // Minutes count from the session's first timed sample.
    const auto origin = std::find_if(a.samples.begin(), a.samples.end(),
                                     [](const DriftAssistantSample& s) { return s.unix_s; });
    if (sample.unix_s) {
        const double t0 = origin != a.samples.end() ? *origin->unix_s : *sample.unix_s;
        sample.minutes = (*sample.unix_s - t0) / 60.0;
        if (!std::isfinite(sample.minutes)) {
            sample.minutes = 0;
            sample.unix_s.reset();
        }
    } else {
        sample.minutes = 0;
    }
    sample.segment = a.segments.size() - 1;
    sample.excluded = Exclusion::none;
    a.samples.push_back(std::move(sample));
    ++segment.count;
    refit_drift(a);
}

void refit_drift(DriftAssistant& a, bool all) {
    if (a.segments.empty()) {
        a.summary = DriftSummary{};
        return;
    }
    const std::size_t from = all ? 0 : a.segments.size() - 1;
    for (std::size_t k = from; k < a.segments.size(); ++k) fit_segment(a, a.segments[k]);
    a.summary = a.segments.back().summary;
}

std::optional<double>& typed_input(PolarInputs& typed, DriftInput which) {
    switch (which) {
        case DriftInput::scale:
            return typed.scale_arcsec_per_px;
        case DriftInput::dec:
            return typed.dec_deg;
        case DriftInput::ha:
            return typed.ha_hours;
        case DriftInput::lat:
            break;
    }
    return typed.lat_deg;
}

SourcedValue drift_input_value(const DriftAssistant& a, DriftInput which) {
    PolarInputs typed = a.typed;
    if (const std::optional<double>& v = typed_input(typed, which)) return {v, InputSource::typed};
    if (a.segments.empty()) return {};
    const Geometry& g = a.segments.back().geometry;
    const std::optional<double> v = which == DriftInput::scale ? g.scale_arcsec_per_px
                                    : which == DriftInput::dec ? g.dec_deg
                                    : which == DriftInput::ha  ? g.ha_hours
                                                               : g.lat_deg;
    if (!v) return {};
    return {v, InputSource::header};
}

std::span<const DriftAssistantSample> segment_samples(const DriftAssistant& a, std::size_t k) {
    if (k >= a.segments.size()) return {};
    const DriftSegment& segment = a.segments[k];
    return std::span<const DriftAssistantSample>(a.samples).subspan(segment.first, segment.count);
}

}  // namespace trakora
