// SPDX-License-Identifier: MIT
// The drift assistant's answer in words, for summaries of known situations.
#include "core/drift_advice.hpp"

#include <gtest/gtest.h>

namespace trakora {
namespace {

// A finished azimuth measurement: the axis 3.0′ off to the west, ± 0.2′, enough.
DriftSummary azimuth_west() {
    DriftSummary s;
    s.images = s.used = 40;
    s.minutes = 6;
    s.north_arcsec_per_min = 0.79;
    s.north_se_arcsec_per_min = 0.05;
    s.scale_arcsec_per_px = 1.5;
    s.ha_hours = 0.2;
    s.lat_deg = 50;
    s.component = Component::azimuth;
    s.error_arcmin = 3.0;
    s.error_se_arcmin = 0.2;
    s.direction = ErrorDirection::west;
    s.knob_arcmin = 3.1;
    s.enough = true;
    return s;
}

struct AnswerCase {
    const char* name;
    void (*change)(DriftSummary&);
    const char* error;
    const char* component;
    const char* advice;
    const char* progress;
};

const AnswerCase kCases[] = {
    {"azimuth west turns east by the knob", [](DriftSummary&) {}, "3.0′ ± 0.2′", "方位",
     "極軸が西にずれています。方位調整で東へ約 3.1′ 回してください。", "十分です"},
    {"azimuth east turns west", [](DriftSummary& s) { s.direction = ErrorDirection::east; }, "3.0′ ± 0.2′", "方位",
     "極軸が東にずれています。方位調整で西へ約 3.1′ 回してください。", "十分です"},
    {"altitude high lowers by the error",
     [](DriftSummary& s) {
         s.component = Component::altitude;
         s.direction = ErrorDirection::high;
         s.knob_arcmin.reset();
         s.error_arcmin = 2.44;
     },
     "2.4′ ± 0.2′", "高度", "極軸が高すぎます。高度調整で約 2.4′ 下げてください。", "十分です"},
    {"altitude low raises",
     [](DriftSummary& s) {
         s.component = Component::altitude;
         s.direction = ErrorDirection::low;
         s.knob_arcmin.reset();
     },
     "3.0′ ± 0.2′", "高度", "極軸が低すぎます。高度調整で約 3.0′ 上げてください。", "十分です"},
    {"mixed asks for a better star",
     [](DriftSummary& s) {
         s.component = Component::mixed;
         s.direction.reset();
         s.error_arcmin.reset();
         s.error_se_arcmin.reset();
     },
     "—", "混合",
     "この星は方位と高度のずれが混ざる位置にあります。子午線に近い星（方位）か、東か西の地平線に"
     "近い星（高度）で測ってください。",
     "十分です"},
    {"no plate scale asks for it",
     [](DriftSummary& s) {
         s.scale_arcsec_per_px.reset();
         s.error_arcmin.reset();
         s.error_se_arcmin.reset();
         s.enough.reset();
     },
     "—", "方位",
     "写真の縮尺（″/ピクセル）が分からないため、ずれの大きさを出せません。縮尺を入力してください。",
     "測定中"},
    {"no hour angle asks for it",
     [](DriftSummary& s) {
         s.component.reset();
         s.direction.reset();
         s.error_arcmin.reset();
     },
     "—", "—",
     "星の時角が分からないため、方位と高度のどちらのずれか決められません。時角を入力してください。",
     "十分です"},
    {"error within its noise",
     [](DriftSummary& s) {
         s.error_arcmin = 0.3;
         s.error_se_arcmin = 0.2;
     },
     "0.3′ ± 0.2′", "方位",
     "ずれは測定の誤差と同じ程度です。このままで良いか、もう少し測って確かめてください。",
     "十分です"},
    {"too few images yet",
     [](DriftSummary& s) {
         s.used = 2;
         s.enough = false;
         s.minutes_needed = 2.2;
     },
     "3.0′ ± 0.2′", "方位", "測定中です。画像が増えるまでお待ちください。", "あと約 3 分"},
};

TEST(DriftAnswer, SaysWhatToDo) {
    for (const AnswerCase& c : kCases) {
        DriftSummary s = azimuth_west();
        c.change(s);
        const DriftAnswer a = drift_answer(s);
        EXPECT_EQ(a.error, c.error) << c.name;
        EXPECT_EQ(a.component, c.component) << c.name;
        EXPECT_EQ(a.advice, c.advice) << c.name;
        EXPECT_EQ(a.progress, c.progress) << c.name;
    }
}

}  // namespace
}  // namespace trakora
