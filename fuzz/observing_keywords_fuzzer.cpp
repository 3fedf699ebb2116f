// SPDX-License-Identifier: MIT
// Fuzzes the observing keywords with the input's bytes as header cards laid end to end
// (the last one padded with blanks), then runs what the drift assistant runs on them:
// the geometry of a segment and the summary of a small drift fit, with and without typed
// values. Besides the sanitizers, every value that is set must be finite and agree with
// its state, and every note must say something.
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/drift_fit.hpp"
#include "analysis/polar_error.hpp"
#include "fits/header_cards.hpp"
#include "fits/header_values.hpp"
#include "fits/keyword_text.hpp"
#include "fits/observing_keywords.hpp"
#include "scratch_folder.hpp"

namespace {

using namespace trakora;
using fuzz::fail;

void check_finite(std::optional<double> v, const char* what) {
    if (v && !std::isfinite(*v)) fail(std::string(what) + " is not finite");
}

void check_keyword(const KeywordValue& k, const char* what) {
    check_finite(k.value, what);
    const bool read = k.state == KeywordState::read;
    if (read != k.value.has_value()) fail(std::string(what) + ": state and value disagree");
    if ((k.state == KeywordState::absent) != k.keyword.empty())
        fail(std::string(what) + ": a keyword name without a value or the reverse");
}

void check_notes(const std::vector<DriftNote>& notes) {
    for (const DriftNote& n : notes)
        for (const double v : n.numbers)
            if (!std::isfinite(v)) fail("a note's number is not finite");
}

void check_geometry(const Geometry& g) {
    check_finite(g.scale_arcsec_per_px, "scale");
    check_finite(g.dec_deg, "declination");
    check_finite(g.ha_hours, "hour angle");
    check_finite(g.lat_deg, "latitude");
    if (g.ha_hours && (*g.ha_hours <= -12 || *g.ha_hours > 12)) fail("hour angle not wrapped");
    check_notes(g.notes);
}

void check_summary(const DriftSummary& s) {
    for (const auto& [v, what] : {std::pair{s.rate_x_px_per_min, "rate x"},
                                  {s.rate_y_px_per_min, "rate y"},
                                  {s.north_arcsec_per_min, "north rate"},
                                  {s.north_se_arcsec_per_min, "north se"},
                                  {s.scale_arcsec_per_px, "summary scale"},
                                  {s.dec_deg, "summary declination"},
                                  {s.ha_hours, "summary hour angle"},
                                  {s.lat_deg, "summary latitude"},
                                  {s.error_arcmin, "error"},
                                  {s.error_se_arcmin, "error se"},
                                  {s.knob_arcmin, "knob"},
                                  {s.seeing_arcsec, "seeing"},
                                  {s.r2, "r2"},
                                  {s.minutes_needed, "minutes needed"}})
        check_finite(v, what);
    if (!std::isfinite(s.minutes)) fail("minutes");
    check_notes(s.notes);
}

// Twelve images half a minute apart, the star drifting up and a little right, one of
// them flagged: enough for every figure of the summary.
const DriftFit& small_fit() {
    static const DriftFit fit = [] {
        std::vector<DriftSample> samples;
        for (int k = 0; k < 12; ++k) {
            const double minutes = 0.5 * k;
            samples.push_back(
                {minutes, 100 + 0.05 * minutes, 80 - 0.4 * minutes + 0.03 * (k % 3), k == 5});
        }
        return fit_drift(samples);
    }();
    return fit;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string cards(reinterpret_cast<const char*>(data), size);
    cards.resize((size + kCardBytes - 1) / kCardBytes * kCardBytes, ' ');
    const HeaderValues header = header_values(std::string_view(cards));

    // The text readers on every value alone, as the typed inputs use them too.
    for (const auto& [keyword, text] : header) {
        check_finite(keyword_number(text), "keyword number");
        check_finite(parse_degrees(text, 360), "degrees");
        if (const auto ra = parse_right_ascension_hours(text); ra && !(*ra >= 0 && *ra < 24))
            fail("right ascension out of range");
    }

    const ObservingKeywords k = read_observing_keywords(header);
    check_keyword(k.pixel_um, "pixel size");
    check_keyword(k.focal_mm, "focal length");
    check_keyword(k.scale_arcsec_per_px, "scale keyword");
    check_keyword(k.ra_hours, "right ascension");
    check_keyword(k.dec_deg, "declination keyword");
    check_keyword(k.lat_deg, "latitude keyword");
    check_keyword(k.lon_deg, "longitude");
    check_keyword(k.exposure_s, "exposure");
    check_keyword(k.temperature_c, "temperature");
    check_keyword(k.pressure_hpa, "pressure");
    if (k.time && !std::isfinite(k.time->unix_s)) fail("observation time is not finite");

    const std::optional<double> first_unix_s =
        k.time ? std::optional<double>(k.time->unix_s) : std::nullopt;
    // The header alone, then typed values over it (a typed hour angle far off the range).
    const PolarInputs inputs[] = {
        {},
        {.scale_arcsec_per_px = 1.25,
         .dec_deg = -10,
         .ha_hours = 37.5,
         .lat_deg = -89.99,
         .orientation = {212, true}},
    };
    for (const PolarInputs& in : inputs) {
        const Geometry g = resolve_geometry(in, k, first_unix_s);
        check_geometry(g);
        check_summary(drift_summary(small_fit(), g));
    }
    return 0;
}
