// SPDX-License-Identifier: MIT
// The session as CSV: the series' columns as the replay prints them (slot, file,
// date_obs, x, y, label), then the assistant's own look at each image (minutes, cx, cy,
// snr, hfd, flags).
//
// Usage:
//   out << session_csv(s.assistant);                        // header and every sample
//   write_session_csv(path, s.assistant, &error);            // the same, to a file
//   out << session_csv_row(measurement, minutes);           // one line
#pragma once

#include <string>

#include "session/drift_assistant.hpp"
#include "session/image_measurement.hpp"

namespace trakora::report {

// The header line's columns, without a line end.
inline constexpr const char* kSessionCsvColumns =
    "slot,file,date_obs,x,y,label,minutes,cx,cy,snr,hfd,flags";

// One line, ending in "\n": the series' columns (the slot the image filled, file, DATE-OBS,
// the found position, the row change), then what the assistant measured on the image:
// `minutes` to four decimals (empty without a time), centroid to three, SNR to one, HFD to
// two, and the flags as "hot_pixel|low_snr" ("" when clean). Without a star measurement
// (an image the assistant did not take) those fields are empty.
std::string session_csv_row(const ImageMeasurement& m, double minutes);

// The header line and one line per image of the session, each ending in "\n".
std::string session_csv(const DriftAssistant& assistant);
bool write_session_csv(const std::string& path, const DriftAssistant& assistant,
                       std::string* error);

}  // namespace trakora::report
