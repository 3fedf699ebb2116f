// SPDX-License-Identifier: MIT
// What the main window's controls hold when the program starts. Every face lays out its
// controls with these, so no face states them again.
#pragma once

namespace trakora {

inline constexpr const char* kStartIntervalText = "5";  // the interval field, in seconds
inline constexpr const char* kStartCountText = "50";    // the count field
inline constexpr int kStartPollingInterval = 5000;      // the timer, in milliseconds
inline constexpr double kStartMaxCount = 50;            // max_count after the load step

}  // namespace trakora
