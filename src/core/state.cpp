// SPDX-License-Identifier: MIT
#include "core/state.hpp"

namespace trakora {

State::State() { clear_measurements(*this); }

void clear_measurements(State& s) {
    for (auto& slot : s.measurements) slot = {kEmptySlot, kEmptySlot};
}

}  // namespace trakora
