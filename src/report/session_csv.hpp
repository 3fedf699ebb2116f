// SPDX-License-Identifier: MIT
// The session as CSV: the series' columns as the replay prints them (slot, file,
// date_obs, x, y, label), then the assistant's own look at each image (minutes, cx, cy,
// snr, hfd, flags).
//
// Usage:
//   out << session_csv(s.assistant);                        // header and every sample
//   write_session_csv(path, s.assistant, &error);            // the same, to a file
//   out << session_csv_row(slot, file, date_obs, x, y, label, &sample);  // one line
#pragma once

#include <string>

#include "core/drift_assistant.hpp"

namespace trakora::report {

// The header line's columns, without a line end.
inline constexpr const char* kSessionCsvColumns =
    "slot,file,date_obs,x,y,label,minutes,cx,cy,snr,hfd,flags";

// One line, ending in "\n": the series' columns, then what the assistant measured on the
// image: minutes to four decimals (empty without a time), centroid to three, SNR to one,
// HFD to two, and the flags as "hot_pixel|low_snr" ("" when clean). Without a sample
// (an image the assistant did not measure) those fields are empty.
std::string session_csv_row(int slot, const std::string& file, const std::string& date_obs,
                            double x, double y, const std::string& label,
                            const DriftAssistantSample* sample);

// The header line and one line per sample, each ending in "\n".
std::string session_csv(const DriftAssistant& assistant);
bool write_session_csv(const std::string& path, const DriftAssistant& assistant,
                       std::string* error);

}  // namespace trakora::report
