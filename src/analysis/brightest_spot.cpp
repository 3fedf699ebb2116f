// SPDX-License-Identifier: MIT
#include "analysis/brightest_spot.hpp"

namespace trakora {

void find_brightest_spot(State&) {}

}  // namespace trakora
