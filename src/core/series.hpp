// SPDX-License-Identifier: MIT
// The measurement series: slots 1..max_count filled from the bottom, then scrolled.
#pragma once

#include <string>

#include "core/state.hpp"

namespace trakora {

// The number of slots in use. max_count is a whole number from 1 to 300 whenever the
// count box set it; a value assigned otherwise is taken to its whole part within 1..300
// so the series never reaches slot 0 or beyond the table.
int slots_in_use(const State& s);

bool slot_is_empty(const State& s, int slot);

// Stores (object_x, object_y) in the lowest empty slot of 1..N, or, when all are full,
// moves slots 2..N down by one and stores it in slot N. Returns the slot it filled.
int record_position(State& s);

// The change of the star's row at `slot` since the slot before, as the drift label shows
// it; empty for slot 1, which has no measurement before it.
std::string row_change_text(const State& s, int slot);

}  // namespace trakora
