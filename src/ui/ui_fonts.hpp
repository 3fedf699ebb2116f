// SPDX-License-Identifier: MIT
// The Japanese font of the fields and the result label.
#pragma once

#include <QFont>
#include <QString>

namespace trakora::ui {

// "ＭＳ Ｐゴシック" where it is installed, else IPA's proportional Gothic, else the first
// family that writes Japanese; an empty name when the system has none at all.
QString japanese_font_family();

// That family at `points`, normal weight, upright, neither underlined nor struck out.
QFont japanese_font(double points);

}  // namespace trakora::ui
