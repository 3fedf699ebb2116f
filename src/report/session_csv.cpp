// SPDX-License-Identifier: MIT
#include "report/session_csv.hpp"

#include <cmath>
#include <cstdio>

#include "base/csv_field.hpp"
#include "base/number_text.hpp"
#include "report/replaced_file.hpp"

namespace trakora::report {
namespace {

std::string fixed(double value, int decimals) {
    if (!std::isfinite(value)) return {};
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    std::string text = buf;
    // No "-0.000": a value that rounds to zero is written as zero.
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

// The appended fields of one measured image, comma-separated, without a line end.
std::string assistant_csv_fields(const StarMeasurement& star, bool timed, double minutes) {
    std::string out = timed ? fixed(minutes, 4) : std::string();
    for (const std::string& field : {fixed(star.x, 3), fixed(star.y, 3), fixed(star.snr, 1),
                                     fixed(star.hfd, 2), star_flag_names(star.flags)}) {
        out += ',';
        out += csv_field(field);
    }
    return out;
}

}  // namespace

std::string session_csv_row(const ImageMeasurement& m, double minutes) {
    std::string out = std::to_string(m.slot);
    for (const std::string& field : {m.file, m.date_obs, plain_number_text(m.found.x),
                                     plain_number_text(m.found.y), m.row_change}) {
        out += ',';
        out += csv_field(field);
    }
    out += ',';
    out += m.star ? assistant_csv_fields(*m.star, m.time.has_value(), minutes) : ",,,,,";
    out += '\n';
    return out;
}

std::string session_csv(const DriftAssistant& assistant) {
    std::string out = kSessionCsvColumns;
    out += '\n';
    for (const SessionImage& image : assistant.images)
        out += session_csv_row(image.measurement, image.minutes);
    return out;
}

bool write_session_csv(const std::string& path, const DriftAssistant& assistant,
                       std::string* error) {
    return write_file_replacing(path, session_csv(assistant), error);
}

}  // namespace trakora::report
