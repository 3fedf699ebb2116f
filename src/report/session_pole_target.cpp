// SPDX-License-Identifier: MIT
#include "report/session_pole_target.hpp"

#include <optional>

#include "base/number_text.hpp"
#include "chart/pole_target_files.hpp"
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
    if (const std::optional<CombinedError> now = combined_now(a)) {
        target.now = estimate_of(*now);
        target.subtitle = "合計 " + fixed_text(now->total_arcmin, 1) + "′";
    }
    for (const CombinedError& earlier : combined_trail(a))
        target.trail.push_back(estimate_of(earlier));
    return target;
}

bool write_session_pole_target(const std::string& path, const DriftAssistant& assistant,
                               std::string* error) {
    return chart::write_pole_target(path, session_pole_target(assistant),
                                    chart::kDefaultPoleTargetSize, error);
}

}  // namespace trakora::report
