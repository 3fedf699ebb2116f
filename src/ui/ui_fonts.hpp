// SPDX-License-Identifier: MIT
// The Japanese font of the fields and the result label.
#pragma once

#include <QFont>
#include <QString>

namespace trakora::ui {

// The program's Japanese family (chart/japanese_font.hpp) at `points`, normal weight, upright,
// neither underlined nor struck out.
QFont japanese_font(double points);

}  // namespace trakora::ui
