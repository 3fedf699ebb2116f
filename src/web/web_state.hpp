// SPDX-License-Identifier: MIT
// What the web face's /api/state says after a tick, as one JSON object:
//   "lang"        the program's language ("en" or "ja");
//   "tick"        {"count", "time" (UTC, ISO 8601), "image" (the file measured last)};
//   "summary"     the drift summary with the session's keys, exactly as replay's --summary
//                 (report::summary_json with the session);
//   "advice"      {"kind" (session/drift_advice's case), "progress", "text" in the
//                 program's language};
//   "phase"       null for now: the place for the session's phase;
//   "knob_target" null unless a knob is being turned, else {"knob", "anchor_x",
//                 "anchor_y", "target_x", "target_y", "star_x", "star_y", "to_go_px",
//                 "to_go_arcsec", "reached", "lost"};
//   "point"       where to point next: {"next", "azimuth", "altitude_east",
//                 "altitude_west"}, each patch null or {"ha_hours", "dec_deg", "ra_hours",
//                 "altitude_deg", "stars": [names]};
//   "segment_requested" the reason the next image starts a segment for, or null.
#pragma once

#include <cstddef>
#include <string>

#include "session/drift_assistant.hpp"

namespace trakora::web {

struct TickFacts {
    std::size_t count = 0;  // ticks so far
    double unix_s = 0;      // when the last one ran
};

std::string web_state_json(const DriftAssistant& a, const TickFacts& tick, const std::string& lang);

}  // namespace trakora::web
