// SPDX-License-Identifier: MIT
// What the web face's /api/state says after a tick, as one JSON object:
//   "lang"        the program's language ("en" or "ja");
//   "tick"        {"count", "time" (UTC, ISO 8601), "image" (the file measured last)};
//   "summary"     the drift summary with the session's keys, exactly as replay's --summary
//                 (report::summary_json with the session);
//   "advice"      {"kind" (session/drift_advice's case), "progress", "text" in the
//                 program's language};
//   "phase"       where the alignment stands (session/alignment_step): {"name" (the
//                 phase), "action" (the one thing to do now), "text" (it, in the
//                 program's language)};
//   "refused"     {"turn-azimuth", "turn-altitude"}: why the session would refuse that
//                 knob's turn now (session/drift_actions), or null;
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
#include "web/web_server.hpp"

namespace trakora::web {

struct TickFacts {
    std::size_t count = 0;  // ticks so far
    double unix_s = 0;      // when the last one ran
};

std::string web_state_json(const DriftAssistant& a, const TickFacts& tick, const std::string& lang);

// Why the session would refuse each of the page's actions now.
Refusals drift_refusals(const DriftAssistant& a);

// After a tick or an action: the state, the knob target's picture and the refusals, all
// from the session as it is now.
void publish_session(Mailbox& mailbox, const DriftAssistant& a, const TickFacts& tick,
                     const std::string& lang);

}  // namespace trakora::web
