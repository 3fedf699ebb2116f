// SPDX-License-Identifier: MIT
#include "report/summary_json.hpp"

#include <cmath>

#include "base/json_text.hpp"
#include "report/note_text.hpp"
#include "report/replaced_file.hpp"
#include "session/alignment_step.hpp"
#include "session/drift_adjust.hpp"

namespace trakora::report {
namespace {

// One JSON object: indented one key per line, or compact on one line.
class JsonObject {
  public:
    explicit JsonObject(bool compact = false) : compact_(compact) {}
    void number(const char* key, std::optional<double> value) {
        open(key);
        if (value && std::isfinite(*value))
            append_json_number(text_, *value);
        else
            text_ += "null";
    }
    void text(const char* key, const char* value) {
        open(key);
        if (value != nullptr)
            append_json_string(text_, value);
        else
            text_ += "null";
    }
    void boolean(const char* key, std::optional<bool> value) {
        open(key);
        text_ += value ? (*value ? "true" : "false") : "null";
    }
    void notes(const char* key, const std::vector<DriftNote>& notes) {
        std::vector<std::string> values;
        values.reserve(notes.size());
        for (const DriftNote& note : notes) values.push_back(note_text(note));
        strings(key, values);
    }
    void strings(const char* key, const std::vector<std::string>& values) {
        open(key);
        text_ += '[';
        for (std::size_t k = 0; k < values.size(); ++k) {
            if (!compact_) text_ += k == 0 ? "\n    " : ",\n    ";
            if (compact_ && k > 0) text_ += ',';
            append_json_string(text_, values[k]);
        }
        text_ += values.empty() || compact_ ? "]" : "\n  ]";
    }
    // A value already written as JSON.
    void raw(const char* key, const std::string& json) {
        open(key);
        text_ += json;
    }
    std::string finish() { return compact_ ? text_ + "}" : text_ + "\n}\n"; }

  private:
    void open(const char* key) {
        if (compact_)
            text_ += text_.size() == 1 ? "" : ",";
        else
            text_ += text_.size() == 1 ? "\n  " : ",\n  ";
        append_json_string(text_, key);
        text_ += compact_ ? ":" : ": ";
    }
    bool compact_;
    std::string text_ = "{";
};

void summary_fields(JsonObject& o, const DriftSummary& s) {
    o.number("images", static_cast<double>(s.images));
    o.number("used", static_cast<double>(s.used));
    o.number("minutes", s.minutes);
    o.number("rate_x_px_per_min", s.rate_x_px_per_min);
    o.number("rate_y_px_per_min", s.rate_y_px_per_min);
    o.number("north_arcsec_per_min", s.north_arcsec_per_min);
    o.number("north_se_arcsec_per_min", s.north_se_arcsec_per_min);
    o.number("scale_arcsec_per_px", s.scale_arcsec_per_px);
    o.number("dec_deg", s.dec_deg);
    o.number("ha_hours", s.ha_hours);
    o.number("lat_deg", s.lat_deg);
    o.text("axis", s.component ? component_name(*s.component) : nullptr);
    o.number("error_arcmin", s.error_arcmin);
    o.number("error_se_arcmin", s.error_se_arcmin);
    o.text("pole", s.direction ? direction_name(*s.direction) : nullptr);
    o.number("knob_arcmin", s.knob_arcmin);
    o.number("seeing_arcsec", s.seeing_arcsec);
    o.number("r2", s.r2);
    o.boolean("enough", s.enough);
    o.number("minutes_needed", s.minutes_needed);
    o.notes("notes", s.notes);
}

// A segment as one compact object: why and where it starts, and its answer.
std::string segment_json(const DriftSegment& segment, bool with_altitude, bool with_pole = true) {
    const DriftSummary& s = segment.summary;
    JsonObject o(true);
    o.text("reason", segment_reason_name(segment.reason));
    o.number("first_image", static_cast<double>(segment.first + 1));
    o.number("images", static_cast<double>(s.images));
    o.number("used", static_cast<double>(s.used));
    o.number("minutes", s.minutes);
    o.number("ha_hours", s.ha_hours);
    o.number("dec_deg", s.dec_deg);
    if (with_altitude) o.number("altitude_deg", s.altitude_deg);
    o.text("axis", s.component ? component_name(*s.component) : nullptr);
    o.number("error_arcmin", s.error_arcmin);
    o.number("error_se_arcmin", s.error_se_arcmin);
    o.text("pole", s.direction && with_pole ? direction_name(*s.direction) : nullptr);
    o.number("north_arcsec_per_min", s.north_arcsec_per_min);
    o.number("north_se_arcsec_per_min", s.north_se_arcsec_per_min);
    return o.finish();
}

// Both components solved together, as one compact object.
// Without a known north its ways and knob turns are null: only the sizes stand.
std::string combined_json(const CombinedError& c, bool with_ways = true) {
    JsonObject o(true);
    o.number("azimuth_arcmin", std::abs(c.azimuth_arcmin));
    o.number("azimuth_se_arcmin", c.azimuth_se_arcmin);
    o.text("azimuth_pole", with_ways ? direction_name(c.azimuth_direction) : nullptr);
    o.number("altitude_arcmin", std::abs(c.altitude_arcmin));
    o.number("altitude_se_arcmin", c.altitude_se_arcmin);
    o.text("altitude_pole", with_ways ? direction_name(c.altitude_direction) : nullptr);
    o.number("total_arcmin", c.total_arcmin);
    // Sizes, as the errors: the poles say which way.
    if (c.azimuth_knob_arcmin && with_ways)
        o.number("azimuth_knob_arcmin", std::abs(*c.azimuth_knob_arcmin));
    else
        o.number("azimuth_knob_arcmin", std::nullopt);
    o.number("altitude_knob_arcmin",
             with_ways ? std::optional<double>(std::abs(c.altitude_knob_arcmin)) : std::nullopt);
    std::string used = "[";
    for (const std::size_t k : c.segments_used) {
        if (used.size() > 1) used += ',';
        append_json_number(used, static_cast<double>(k + 1));
    }
    o.raw("segments_used", used + "]");
    return o.finish();
}

// The knob to turn next and the star's move when it is turned by the whole correction.
std::string adjust_json(const KnobAdjust& k) {
    JsonObject o(true);
    o.text("component", k.knob == Knob::azimuth ? "azimuth" : "altitude");
    o.number("dx_px", k.dx_px);
    o.number("dy_px", k.dy_px);
    return o.finish();
}

// The orientation, the mount's tracking and the air, as the summary file adds them.
void real_sky_fields(JsonObject& o, const DriftSummary& s) {
    o.number("angle_deg", s.angle_deg);
    o.number("angle_se_deg", s.angle_se_deg);
    o.text("angle_source", s.angle_source ? angle_source_name(*s.angle_source) : nullptr);
    o.boolean("mirror", s.mirror);
    o.number("ra_rate_arcsec_per_min", s.ra_rate_arcsec_per_min);
    o.number("drive_rate_permille", s.drive_rate_permille);
    o.number("pe_arcsec", s.pe_arcsec);
    o.number("pe_period_min", s.pe_period_min);
    o.number("altitude_deg", s.altitude_deg);
    o.number("refraction_arcsec_per_min", s.refraction_arcsec_per_min);
    o.number("temperature_c", s.temperature_c);
    o.number("pressure_hpa", s.pressure_hpa);
    o.text("target", s.target ? pole_target_name(*s.target) : nullptr);
}

}  // namespace

std::string step_json(const AlignmentStep& step) {
    JsonObject o(true);
    o.text("phase", alignment_phase_name(step.phase));
    o.text("action", step_action_name(step.action));
    o.text("show", step.show == AnswerShown::error ? "error" : "progress");
    o.boolean("direction_known", step.direction_known);
    o.boolean("knob_allowed", step.knob_allowed);
    o.boolean("may_be_fine", step.may_be_fine);
    o.number("elapsed_min", step.elapsed_min);
    o.number("minutes_to_go", step.minutes_to_go);
    return o.finish();
}

std::string calibration_json(const DriftAssistant& a) {
    const std::optional<CalibrationState> c = calibration_now(a);
    if (!c) return "null";
    JsonObject o(true);
    o.text("move", calibration_name(c->move));
    o.text("outcome", calibration_outcome_name(c->outcome));
    o.number("images", static_cast<double>(c->images));
    o.number("angle_deg", c->angle_deg);
    o.number("angle_se_deg", c->angle_se_deg);
    o.number("jump_px", c->jump_px);
    return o.finish();
}

std::string summary_json(const DriftSummary& s) {
    JsonObject o;
    summary_fields(o, s);
    real_sky_fields(o, s);
    return o.finish();
}

std::string summary_json(const DriftSummary& summary, const DriftAssistant& session) {
    DriftSummary s = summary;
    if (std::optional<DriftNote> same = same_star_note(session)) s.notes.push_back(*same);
    // No way and no knob turn on an assumed north: the sizes stand, with a note.
    const bool north = direction_known(summary);
    if (!north && (s.direction || s.knob_arcmin)) {
        s.direction.reset();
        s.knob_arcmin.reset();
        s.notes.push_back({NoteCode::direction_needs_north, {}, {}});
    }
    JsonObject o;
    summary_fields(o, s);
    real_sky_fields(o, s);
    std::string segments = "[";
    for (const DriftSegment& segment : session.segments)
        segments +=
            (segments.size() > 1 ? ",\n    " : "\n    ") + segment_json(segment, true, north);
    o.raw("segments", segments + (session.segments.empty() ? "]" : "\n  ]"));
    const std::optional<CombinedError> combined = combined_now(session);
    o.raw("combined", combined ? combined_json(*combined, north) : "null");
    const std::optional<KnobAdjust> adjust =
        north ? drift_adjust_now(session) : std::optional<KnobAdjust>();
    o.raw("adjust", adjust ? adjust_json(*adjust) : "null");
    const std::optional<CombinedError> before = combined_before_turn(session);
    o.raw("combined_before_turn", before ? combined_json(*before, north) : "null");
    o.raw("step", step_json(alignment_step(session)));
    o.raw("calibration", calibration_json(session));
    return o.finish();
}

std::string assistant_json(const DriftAssistant& a) {
    JsonObject o(true);
    summary_fields(o, drift_summary_now(a));
    std::string segments = "[";
    for (const DriftSegment& segment : a.segments) {
        if (segments.size() > 1) segments += ',';
        segments += segment_json(segment, false);
    }
    o.raw("segments", segments + "]");
    return o.finish();
}

bool write_summary_json(const std::string& path, const DriftSummary& summary, std::string* error) {
    return write_file_replacing(path, summary_json(summary), error);
}

bool write_summary_json(const std::string& path, const DriftSummary& summary,
                        const DriftAssistant& session, std::string* error) {
    return write_file_replacing(path, summary_json(summary, session), error);
}

}  // namespace trakora::report
