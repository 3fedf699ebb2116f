// SPDX-License-Identifier: MIT
#include "ui/ui_fonts.hpp"

#include "chart/japanese_font.hpp"

namespace trakora::ui {

QFont japanese_font(double points) {
    QFont font;
    const QString family = chart::japanese_font_family();
    if (!family.isEmpty()) font.setFamily(family);
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

}  // namespace trakora::ui
