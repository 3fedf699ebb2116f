// SPDX-License-Identifier: MIT
#pragma once

namespace trakora {

// A place on an image in pixel coordinates: column x, row y, from 0 at the top left.
struct Position {
    double x = 0;
    double y = 0;
};

}  // namespace trakora
