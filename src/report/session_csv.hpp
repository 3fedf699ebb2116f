// SPDX-License-Identifier: MIT
// The session as CSV: the series' columns as the replay prints them (slot, file,
// date_obs, x, y, label), then the assistant's own look at each image (minutes, cx, cy,
// snr, hfd, flags).
//
// Usage:
//   out << session_csv(s.assistant);                        // header and every sample
//   write_session_csv(path, s.assistant, &error);            // the same, to a file
//   row += "," + assistant_csv_fields(sample);               // the appended columns only
#pragma once

#include <string>

#include "core/drift_assistant.hpp"

namespace trakora::report {

// "minutes,cx,cy,snr,hfd,flags"
inline constexpr const char* kAssistantCsvColumns = "minutes,cx,cy,snr,hfd,flags";
// "slot,file,date_obs,x,y,label,minutes,cx,cy,snr,hfd,flags"
inline constexpr const char* kSessionCsvColumns =
    "slot,file,date_obs,x,y,label,minutes,cx,cy,snr,hfd,flags";

// The appended fields of one sample, comma-separated, without a line end: minutes to
// four decimals (empty without a time), centroid to three, SNR to one, HFD to two, and
// the flags as "hot_pixel|low_snr" ("" when clean).
std::string assistant_csv_fields(const DriftAssistantSample& sample);
// The same number of empty fields, for a row the assistant did not measure.
std::string empty_assistant_csv_fields();

// The header line and one line per sample, each ending in "\n".
std::string session_csv(const DriftAssistant& assistant);
bool write_session_csv(const std::string& path, const DriftAssistant& assistant,
                       std::string* error);

}  // namespace trakora::report
