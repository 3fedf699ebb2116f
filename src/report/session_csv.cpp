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

// The appended fields of one sample, comma-separated, without a line end.
std::string assistant_csv_fields(const DriftAssistantSample& sample) {
    std::string out = sample.unix_s ? fixed(sample.minutes, 4) : std::string();
    for (const std::string& field :
         {fixed(sample.star.x, 3), fixed(sample.star.y, 3), fixed(sample.star.snr, 1),
          fixed(sample.star.hfd, 2), star_flag_names(sample.star.flags)}) {
        out += ',';
        out += csv_field(field);
    }
    return out;
}

}  // namespace

std::string session_csv_row(int slot, const std::string& file, const std::string& date_obs,
                            double x, double y, const std::string& label,
                            const DriftAssistantSample* sample) {
    std::string out = std::to_string(slot);
    for (const std::string& field :
         {file, date_obs, plain_number_text(x), plain_number_text(y), label}) {
        out += ',';
        out += csv_field(field);
    }
    out += ',';
    out += sample != nullptr ? assistant_csv_fields(*sample) : ",,,,,";
    out += '\n';
    return out;
}

std::string session_csv(const DriftAssistant& assistant) {
    std::string out = kSessionCsvColumns;
    out += '\n';
    for (const DriftAssistantSample& sample : assistant.samples)
        out += session_csv_row(sample.slot, sample.file, sample.date_obs, sample.x, sample.y,
                               sample.label, &sample);
    return out;
}

bool write_session_csv(const std::string& path, const DriftAssistant& assistant,
                       std::string* error) {
    return write_file_replacing(path, session_csv(assistant), error);
}

}  // namespace trakora::report
