// SPDX-License-Identifier: MIT
// The drift assistant's session: every image the tick measured, with its precise star
// measurement and its time, split into segments that each have their own fit and
// polar-error summary, and the values the user typed for the geometry. A plain value
// held in State (`assistant`); it never changes a variable of the series or the plot.
//
// When a session starts and ends (see assistant_handlers.hpp):
//   - a pick on the object window starts a new session whose first sample is the picked
//     image;
//   - Stop ends the session; what it holds stays to be looked at and saved, and the next
//     measurement starts a new session;
//   - otherwise every tick that records a position adds a sample to the session, except
//     a tick on the very image of the last sample (same file name, same time).
// The typed inputs outlive sessions: a typed value is used until the user clears it.
//
// Segments: a session starts with segment 0. A new segment starts at the next sample when
// the user asks for one ("新しい区間") or when the header's PIERSIDE differs from the
// previous sample's. Earlier segments keep their samples and their own fit.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/drift_fit.hpp"
#include "analysis/polar_error.hpp"
#include "analysis/star_measurement.hpp"
#include "fits/observing_keywords.hpp"

namespace trakora {

struct DriftAssistantSample {
    // What the series and the result label show for this measurement.
    int slot = 0;          // the series slot it filled
    std::string file;      // bare file name
    std::string date_obs;  // the DATE-OBS value text, "" when the header has none
    double x = 0, y = 0;   // the whole-pixel position recorded in the slot
    std::string label;     // the result label's text: the row change since slot - 1
    // The assistant's own look.
    std::optional<double> unix_s;  // observation time, UTC; nullopt when none is known
    TimeSource time_source{};      // where unix_s came from (see observation_time)
    double minutes = 0;            // from the session's first timed sample; 0 without time
    StarMeasurement star;          // cx, cy, snr, hfd, flags
    std::size_t segment = 0;
    std::string pier_side;                 // PIERSIDE value text, "" when none
    Exclusion excluded = Exclusion::none;  // how its segment's fit treated it
};

struct DriftSegment {
    std::size_t first = 0;      // index of its first sample
    std::size_t count = 0;      // samples in it
    bool by_pier_side = false;  // started by a PIERSIDE change rather than by the user
    // Its first image's observing keywords: the geometry's source.
    ObservingKeywords first_keywords;
    std::optional<double> first_unix_s;
    DriftFit fit;
    Geometry geometry;
    DriftSummary summary;  // with the session's notes on times
};

// The numeric values the user may type; each overrides the header until cleared.
enum class DriftInput { scale, dec, ha, lat };
enum class InputSource { none, header, typed };

struct SourcedValue {
    std::optional<double> value;
    InputSource source = InputSource::none;
};

struct DriftAssistant {
    std::vector<DriftAssistantSample> samples;
    std::vector<DriftSegment> segments;  // empty until the first sample
    PolarInputs typed;                   // what the user typed (orientation included)
    bool segment_requested = false;      // the next sample starts a new segment
    bool session_ended = false;          // the next sample starts a new session
    DriftSummary summary;                // the current (last) segment's summary
};

// ---- pure operations on the value (the handlers in assistant_handlers.hpp use them) ---

// Empties samples and segments; keeps the typed inputs.
void reset_drift_session(DriftAssistant& a);

// Adds one sample (its `segment`, `minutes` and `excluded` are filled here), starting a
// new segment when one was requested or the pier side changed, and refits the current
// segment. `keywords` are the sample's own (the first of a segment's are kept).
void add_drift_sample(DriftAssistant& a, DriftAssistantSample sample,
                      const ObservingKeywords& keywords);

// Fits the current segment again, or every segment when `all` (after a typed input
// changed), and updates `summary`.
void refit_drift(DriftAssistant& a, bool all = false);

// The value of a geometry input for the current segment and where it came from.
SourcedValue drift_input_value(const DriftAssistant& a, DriftInput which);

// The typed value of an input, nullopt when it is not typed.
std::optional<double>& typed_input(PolarInputs& typed, DriftInput which);

// Samples of segment k, in order (segments are contiguous runs of samples).
std::span<const DriftAssistantSample> segment_samples(const DriftAssistant& a, std::size_t k);

}  // namespace trakora
