// SPDX-License-Identifier: MIT
#include "core/drift_advice.hpp"

#include <cmath>
#include <cstdio>

namespace trakora {

namespace {

// Below this many images the fit says nothing worth reading yet.
constexpr std::size_t kFewestImages = 3;

std::string fixed(double value, const char* format) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The turn that brings the axis back, from the side it is off to.
std::string turn_advice(ErrorDirection pole, double turn_arcmin) {
    const std::string amount = "約 " + arcmin_text(turn_arcmin);
    switch (pole) {
        case ErrorDirection::west:
            return "極軸が西にずれています。方位調整で東へ" + amount + " 回してください。";
        case ErrorDirection::east:
            return "極軸が東にずれています。方位調整で西へ" + amount + " 回してください。";
        case ErrorDirection::high:
            return "極軸が高すぎます。高度調整で" + amount + " 下げてください。";
        case ErrorDirection::low:
            return "極軸が低すぎます。高度調整で" + amount + " 上げてください。";
    }
    return {};
}

std::string advice(const DriftSummary& s) {
    if (s.used < kFewestImages || !s.north_arcsec_per_min)
        return "測定中です。画像が増えるまでお待ちください。";
    if (!s.scale_arcsec_per_px)
        return "写真の縮尺（″/ピクセル）が分からないため、ずれの大きさを出せません。縮尺を入力"
               "してください。";
    if (!s.component)
        return "星の時角が分からないため、方位と高度のどちらのずれか決められません。時角を入力"
               "してください。";
    if (*s.component == Component::mixed)
        return "この星は方位と高度のずれが混ざる位置にあります。子午線に近い星（方位）か、東か"
               "西の地平線に近い星（高度）で測ってください。";
    if (!s.error_arcmin || !s.direction)
        return "ずれの向きが決められません。もう少し測ってください。";
    if (s.error_se_arcmin && *s.error_arcmin < 2 * *s.error_se_arcmin)
        return "ずれは測定の誤差と同じ程度です。このままで良いか、もう少し測って確かめてください。";
    const double turn =
        *s.component == Component::azimuth && s.knob_arcmin ? *s.knob_arcmin : *s.error_arcmin;
    return turn_advice(*s.direction, turn);
}

std::string progress(const DriftSummary& s) {
    if (s.enough && *s.enough) return "十分です";
    if (s.minutes_needed && std::isfinite(*s.minutes_needed))
        return "あと約 " + fixed(std::ceil(*s.minutes_needed), "%.0f") + " 分";
    return "測定中";
}

}  // namespace

const char* component_word(Component component) {
    switch (component) {
        case Component::azimuth:
            return "方位";
        case Component::altitude:
            return "高度";
        case Component::mixed:
            break;
    }
    return "混合";
}

const char* direction_word(ErrorDirection direction) {
    switch (direction) {
        case ErrorDirection::east:
            return "東";
        case ErrorDirection::west:
            return "西";
        case ErrorDirection::high:
            return "高すぎ";
        case ErrorDirection::low:
            break;
    }
    return "低すぎ";
}

std::string arcmin_text(double arcmin) { return fixed(arcmin, "%.1f") + "′"; }

DriftAnswer drift_answer(const DriftSummary& s) {
    DriftAnswer a;
    if (s.error_arcmin) {
        a.error = arcmin_text(*s.error_arcmin);
        if (s.error_se_arcmin) a.error += " ± " + arcmin_text(*s.error_se_arcmin);
    } else {
        a.error = "—";
    }
    a.component = s.component ? component_word(*s.component) : "—";
    a.advice = advice(s);
    a.progress = progress(s);
    return a;
}

}  // namespace trakora
