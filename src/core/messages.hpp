// SPDX-License-Identifier: MIT
// The texts the program shows in its message boxes, as written; the desktop shows them
// translated under the scope "trakora::messages" when it shows another language.
#pragma once

#include "core/translatable.hpp"

namespace trakora::messages {

inline constexpr const char* kNoFitsFile =
    QT_TRANSLATE_NOOP("trakora::messages", "Fitsファイルがありません");
inline constexpr const char* kFileOpenError =
    QT_TRANSLATE_NOOP("trakora::messages", "File Open Error");
inline constexpr const char* kNoDataFile =
    QT_TRANSLATE_NOOP("trakora::messages", "You do not open the data file");
inline constexpr const char* kSetObjectFirst =
    QT_TRANSLATE_NOOP("trakora::messages", "objectを設定して下さい");
inline constexpr const char* kObjectReleased =
    QT_TRANSLATE_NOOP("trakora::messages", "objectが解除されました");
inline constexpr const char* kCountAtMost300 =
    QT_TRANSLATE_NOOP("trakora::messages", "300以下にして下さい");
inline constexpr const char* kCountAtLeast1 =
    QT_TRANSLATE_NOOP("trakora::messages", "1以上にして下さい");
// Followed by the count as the number rule writes it: "最大測定数 50".
inline constexpr const char* kCountConfirmed = "最大測定数";
// The same message as one sentence with the count in its place.
inline constexpr const char* kCountConfirmedSentence =
    QT_TRANSLATE_NOOP("trakora::messages", "最大測定数%1");

}  // namespace trakora::messages
