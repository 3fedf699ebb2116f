// SPDX-License-Identifier: MIT
#include "ui/ui_fonts.hpp"

#include <QFontDatabase>
#include <QStringList>

namespace trakora::ui {

QString japanese_font_family() {
    const QStringList installed = QFontDatabase::families();
    for (const QString& preferred :
         {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
          QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック")}) {
        if (installed.contains(preferred, Qt::CaseInsensitive)) return preferred;
    }
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    return japanese.isEmpty() ? QString() : japanese.first();
}

QFont japanese_font(double points) {
    QFont font;
    const QString family = japanese_font_family();
    if (!family.isEmpty()) font.setFamily(family);
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

}  // namespace trakora::ui
