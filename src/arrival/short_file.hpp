// SPDX-License-Identifier: MIT
// A newest image that the camera is still writing: shorter than its header announces, or
// with a header that has no END yet. A tick waits for it quietly; only a file that stays
// so, unchanged, over several ticks in a row is reported, and then once.
#pragma once

#include <cstdint>
#include <string>

namespace trakora {

// Ticks in a row that may find the same file short with the same length; the last of
// them reports it.
inline constexpr int kShortTicksBeforeReport = 3;

// What the last ticks saw of a short newest image.
struct ShortFileWatch {
    std::string name;
    std::uint64_t length = 0;
    int ticks = 0;  // ticks in a row that found `name` short with `length` bytes
};

// Notes that this tick found `name` short with `length` bytes, and tells whether to report
// it now: on the kShortTicksBeforeReport-th tick in a row that found it so, never before
// and never again while it stays so. Another name or length starts the count afresh.
bool report_short_file(ShortFileWatch& watch, const std::string& name, std::uint64_t length);

}  // namespace trakora
