// SPDX-License-Identifier: MIT
// When the polling timer ticks.
#pragma once

namespace trakora {

// The timer ticks every `interval_ms` while it is enabled with an interval above 0; each
// tick runs form1::Timer1_Timer. Faces keep their timer by this rule.
inline bool polling_ticks(bool enabled, int interval_ms) { return enabled && interval_ms > 0; }

}  // namespace trakora
