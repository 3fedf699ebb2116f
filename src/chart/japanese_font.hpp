// SPDX-License-Identifier: MIT
// The one Japanese font family of the program's windows and charts.
#pragma once

#include <QFont>
#include <QString>

namespace trakora::chart {

// "ＭＳ Ｐゴシック" where it is installed, else IPA's proportional Gothic, else Noto Sans
// CJK JP or Source Han Sans JP, else the first family that writes Japanese; an empty name
// when the system has none at all. Looked up once while a QGuiApplication runs (the
// installed fonts do not change meanwhile); without one the font database is empty and
// nothing is kept, so a later application still finds its fonts.
QString japanese_font_family();

// `family` (the default family when empty) at `pixels` pixels, at least 1, and `weight`.
QFont sized_font(const QString& family, double pixels, QFont::Weight weight = QFont::Normal);

}  // namespace trakora::chart
