// SPDX-License-Identifier: MIT
// Where to point next, for the drift window: the sky patches of each phase at the site
// and the clock, and which phase comes next in the session. The site is the latitude the
// assistant uses (typed, else the header's) and the header's longitude, else the one the
// user typed; the patches need both.
//
//   const WhereToPoint w = where_to_point(s.assistant, typed_lon, now_unix_s);
//   if (w.plan && w.plan->azimuth) ... w.plan->azimuth->stars ...
#pragma once

#include <optional>

#include "analysis/sky_patches.hpp"
#include "session/drift_assistant.hpp"

namespace trakora {

// The star of the alignment's phase (alignment_step): the azimuth star while it is
// measured, the altitude star once the azimuth knob is turned or the azimuth found fine;
// while the altitude knob is turned with the combined answer standing, both are known and
// the next round starts on the meridian again. Both components within kAlignedArcmin:
// surely (two standard errors beyond them too), the alignment is done; only as measured,
// more time tells.
enum class NextPhase { azimuth, altitude, both_known, nearly_aligned, aligned };
inline constexpr double kAlignedArcmin = 1;

struct WhereToPoint {
    std::optional<double> lat_deg;
    std::optional<double> lon_deg;
    bool lon_typed = false;       // the header gave none
    std::optional<SkyPlan> plan;  // when the site is known
    NextPhase next = NextPhase::azimuth;
};

WhereToPoint where_to_point(const DriftAssistant& a, std::optional<double> typed_lon_deg,
                            double unix_s);

}  // namespace trakora
