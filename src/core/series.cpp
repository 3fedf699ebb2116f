// SPDX-License-Identifier: MIT
#include "core/series.hpp"

#include <algorithm>
#include <cmath>

#include "base/number_text.hpp"

namespace trakora {

int slots_in_use(const State& s) {
    if (!(s.max_count >= 1)) return 1;
    if (s.max_count >= kMaxCount) return kMaxCount;
    return static_cast<int>(std::floor(s.max_count));
}

bool slot_is_empty(const State& s, int slot) {
    return s.measurements[slot][0] == kEmptySlot && s.measurements[slot][1] == kEmptySlot;
}

int record_position(State& s) {
    const int n = slots_in_use(s);
    for (int k = 1; k <= n; ++k) {
        if (slot_is_empty(s, k)) {
            s.measurements[k] = {s.object_x, s.object_y};
            return k;
        }
    }
    // Full: the oldest measurement leaves; slots above N are neither read nor moved.
    std::copy(s.measurements.begin() + 2, s.measurements.begin() + n + 1,
              s.measurements.begin() + 1);
    s.measurements[n] = {s.object_x, s.object_y};
    return n;
}

std::string row_change_text(const State& s, int slot) {
    if (slot <= 1) return {};
    return plain_number_text(s.measurements[slot][1] - s.measurements[slot - 1][1]);
}

}  // namespace trakora
