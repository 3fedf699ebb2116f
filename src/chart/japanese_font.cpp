// SPDX-License-Identifier: MIT
#include "chart/japanese_font.hpp"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace trakora::chart {
namespace {

QString find_japanese_font_family() {
    const QStringList installed = QFontDatabase::families();
    for (const QString& preferred :
         {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
          QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック"),
          QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Source Han Sans JP")}) {
        if (installed.contains(preferred, Qt::CaseInsensitive)) return preferred;
    }
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    return japanese.isEmpty() ? QString() : japanese.first();
}

}  // namespace

QString japanese_font_family() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return find_japanese_font_family();
    static const QString family = find_japanese_font_family();
    return family;
}

QFont sized_font(const QString& family, double pixels, QFont::Weight weight) {
    QFont font;
    if (!family.isEmpty()) font.setFamily(family);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    font.setWeight(weight);
    return font;
}

}  // namespace trakora::chart
