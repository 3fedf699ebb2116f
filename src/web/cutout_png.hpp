// SPDX-License-Identifier: MIT
// The knob target's picture for the web face, without widgets: the cut-out around the
// star while a knob is turned, grey from its faintest to its brightest cell, with the
// anchor (where the star stood when the turn began, a ring), the target (a ring with a
// cross) and the star now (a small ring), painted with QPainter into a PNG.
#pragma once

#include <QByteArray>

#include "session/knob_adjust.hpp"

namespace trakora::web {

// Empty when the cut-out has no cells.
QByteArray cutout_png(const KnobAdjusting& k);

}  // namespace trakora::web
