// SPDX-License-Identifier: MIT
#pragma once

#include "core/state.hpp"

namespace trakora {

// Marks a handler as running for as long as it lives. A message box suspends its handler
// while the platform keeps delivering events, so the timer can fall due meanwhile; such a
// tick sees a running handler and is dropped rather than run inside the other one.
class HandlerScope {
  public:
    explicit HandlerScope(State& s) : s_(s) { ++s_.handlers_running; }
    ~HandlerScope() { --s_.handlers_running; }
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;

  private:
    State& s_;
};

}  // namespace trakora
