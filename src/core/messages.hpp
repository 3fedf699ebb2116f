// SPDX-License-Identifier: MIT
// The texts the program shows in its message boxes.
#pragma once

namespace trakora::messages {

inline constexpr const char* kNoFitsFile = "Fitsファイルがありません";
inline constexpr const char* kFileOpenError = "File Open Error";
inline constexpr const char* kNoDataFile = "You do not open the data file";
inline constexpr const char* kSetObjectFirst = "objectを設定して下さい";
inline constexpr const char* kObjectReleased = "objectが解除されました";
inline constexpr const char* kCountAtMost300 = "300以下にして下さい";
inline constexpr const char* kCountAtLeast1 = "1以上にして下さい";
inline constexpr const char* kCountConfirmed = "最大測定数";

}  // namespace trakora::messages
