// SPDX-License-Identifier: MIT
#include "report/summary_json.hpp"

#include <cmath>

#include "base/json_text.hpp"
#include "report/replaced_file.hpp"

namespace trakora::report {
namespace {

class JsonObject {
  public:
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
    void strings(const char* key, const std::vector<std::string>& values) {
        open(key);
        text_ += '[';
        for (std::size_t k = 0; k < values.size(); ++k) {
            text_ += k == 0 ? "\n    " : ",\n    ";
            append_json_string(text_, values[k]);
        }
        text_ += values.empty() ? "]" : "\n  ]";
    }
    std::string finish() { return text_ + "\n}\n"; }

  private:
    void open(const char* key) {
        text_ += text_.size() == 1 ? "\n  " : ",\n  ";
        append_json_string(text_, key);
        text_ += ": ";
    }
    std::string text_ = "{";
};

}  // namespace

std::string summary_json(const DriftSummary& s) {
    JsonObject o;
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
    o.strings("notes", s.notes);
    return o.finish();
}

bool write_summary_json(const std::string& path, const DriftSummary& summary, std::string* error) {
    return write_file_replacing(path, summary_json(summary), error);
}

}  // namespace trakora::report
