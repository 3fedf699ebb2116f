// SPDX-License-Identifier: MIT
// The drift assistant's answer in words: the error with its standard error, the component
// the star measures, one line of advice on which knob to turn which way, and how the
// measurement stands. Plain UTF-8 texts in Japanese, for any face that shows them.
//
// Usage:
//   const DriftAnswer a = drift_answer(summary);
//   label->setText(a.error);   // "3.1′ ± 0.2′"
//   advice->setText(a.advice); // "極軸が西にずれています。方位調整で東へ約 3.1′ 回してください。"
#pragma once

#include <string>

#include "analysis/polar_error.hpp"

namespace trakora {

struct DriftAnswer {
    std::string error;      // "3.1′ ± 0.2′", or "—" while unknown
    std::string component;  // "方位", "高度", "混合", or "—"
    std::string advice;     // one line: what to turn, or what to do instead
    std::string progress;   // "十分です", "あと約 4 分", "測定中"
};

DriftAnswer drift_answer(const DriftSummary& summary);

// The component a star measures and the way the axis is off, as every face names them:
// "方位", "高度", "混合"; "東", "西", "高すぎ", "低すぎ".
const char* component_word(Component component);
const char* direction_word(ErrorDirection direction);

// An angle in arcminutes to one decimal with the prime: "3.1′".
std::string arcmin_text(double arcmin);

}  // namespace trakora
