// SPDX-License-Identifier: MIT
#include "windowless/windowless_view.hpp"

#include <utility>

#include "core/polling_cycle.hpp"
#include "core/start_values.hpp"

namespace trakora {

WindowlessView::WindowlessView(std::string folder)
    : folder_(std::move(folder)),
      texts_{folder_, kStartIntervalText, kStartCountText},
      timer_interval_(kStartPollingInterval) {}

bool WindowlessView::polling() const { return polling_ticks(timer_enabled_, timer_interval_); }

}  // namespace trakora
