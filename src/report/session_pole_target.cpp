// SPDX-License-Identifier: MIT
#include "report/session_pole_target.hpp"

#include <optional>

#include "chart/pole_target_files.hpp"
#include "report/chart_text.hpp"
#include "report/session_pole_target_data.hpp"

namespace trakora::report {
namespace {

chart::PoleTarget::Estimate estimate_of(const CombinedError& c) {
    return {c.azimuth_arcmin, c.altitude_arcmin, c.azimuth_se_arcmin, c.altitude_se_arcmin,
            c.correlation};
}

}  // namespace

chart::PoleTarget session_pole_target(const DriftAssistant& a) {
    chart::PoleTarget target;
    if (const std::optional<CombinedError> now = combined_now(a)) target.now = estimate_of(*now);
    for (const CombinedError& earlier : combined_trail(a))
        target.trail.push_back(estimate_of(earlier));
    return target;
}

bool write_session_pole_target(const std::string& path, const DriftAssistant& assistant,
                               std::string* error) {
    chart::PoleTarget target = session_pole_target(assistant);
    const std::optional<CombinedError> now = combined_now(assistant);
    pole_target_in_english(target, now ? std::optional(now->total_arcmin) : std::nullopt);
    return chart::write_pole_target(path, target, chart::kDefaultPoleTargetSize, error);
}

}  // namespace trakora::report
