// SPDX-License-Identifier: MIT
// The drift window's sentences and words, made from the assistant's summary and advice in
// the language the program shows: Japanese as written here, or its translation. Whole
// sentences with numbered places, so that each language orders its own words.
//
// Usage:
//   advice->setText(advice_sentence(drift_advice(summary)));
//   // "極軸が西にずれています。方位ノブで東へ約 3.1′ 回してください。"
//   chart_in_words(chart, report::assistant_chart_caption(a), summary);  // all its words
#pragma once

#include <QString>
#include <cstddef>

#include "analysis/combined_error.hpp"
#include "chart/drift_chart.hpp"
#include "report/assistant_chart.hpp"
#include "session/alignment_step.hpp"
#include "session/drift_advice.hpp"

namespace trakora::ui {

QString advice_sentence(const DriftAdvice& advice);
QString progress_text(const DriftAdvice& advice);  // "十分です", "あと約 4 分", "測定中"

// The one thing to do now, when the step says more than the advice does ("" otherwise):
// north wanted, the target reached, the next star to slew to, done.
QString step_sentence(const AlignmentStep& step);
// The turn offered: which button to press before turning, "「方位ノブを回す」を押してから…".
QString knob_prompt(Knob knob);
// An armed calibration: press the button now, north's angle learnt, or why it failed.
QString calibration_sentence(const CalibrationState& state);
// The headline while the error is not shown yet: "測定中 1:20 — あと約 2 分".
QString progress_headline(const AlignmentStep& step);

QString component_word(Component component);       // "方位", "高度", "混合"
QString direction_word(ErrorDirection direction);  // "東", "西", "高すぎ", "低すぎ"
QString minutes_text(double minutes);              // "6.0 分"

// The error with its standard error, "3.1′ ± 0.2′", or "—" while unknown.
QString error_text(const DriftSummary& summary);
// One segment in the window's list: "区間 2: 3.1′ ± 0.2′ 西 (方位)  40 枚, 6.0 分".
QString segment_line(std::size_t index, const DriftSummary& summary);

// The chart's words in the shown language: what its caption says, with the summary's
// numbers, and the fixed words below.
void chart_in_words(chart::DriftChart& chart, const report::DriftChartCaption& caption,
                    const DriftSummary& summary);
// The words that say no number: the time axis, the legend, the empty plot's note; for the
// chart before any session.
void chart_labels_in_words(chart::DriftChart& chart);

// Both components solved together on one line: "方位 3.1′ ± 0.2′ 西、高度 2.0′ ± 0.3′ 高すぎ
// (合計 3.7′)"; and the answer kept from before the latest knob turn: "回す前: 方位 …".
QString combined_line(const CombinedError& combined);
QString before_turn_line(const CombinedError& combined);
// The knob turns that take the combined error away, "ノブ: 方位 4.8′、高度 2.0′".
QString knobs_line(const CombinedError& combined);

// A note the window shows in its own words; "" for the notes it leaves to the files.
QString note_words(const DriftNote& note);

}  // namespace trakora::ui
