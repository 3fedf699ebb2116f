// SPDX-License-Identifier: MIT
#include "ui/drift_words.hpp"

#include <QCoreApplication>
#include <QStringList>
#include <cmath>

namespace trakora::ui {

namespace {

// The chart's axis labels as the report writes them, for the translation tools; the
// chart's own label is looked up when shown.
[[maybe_unused]] constexpr const char* kChartLabels[] = {
    QT_TRANSLATE_NOOP("DriftWords", "経過時間 (分)"),
    QT_TRANSLATE_NOOP("DriftWords", "北へのドリフト (″)"),
    QT_TRANSLATE_NOOP("DriftWords", "北へのドリフト (px)"),
    QT_TRANSLATE_NOOP("DriftWords", "北へのドリフト、大気差を除く (″)"),
    QT_TRANSLATE_NOOP("DriftWords", "北へのドリフト、大気差を除く (px)"),
};

QString fixed(double value, int decimals) { return QString::asprintf("%.*f", decimals, value); }

QString arcmin(double value, int decimals = 1) { return fixed(value, decimals) + u'′'; }

QString turn_sentence(ErrorDirection direction, double turn_arcmin) {
    const QString amount = arcmin(turn_arcmin);
    switch (direction) {
        case ErrorDirection::west:
            return QCoreApplication::translate(
                       "DriftWords", "極軸が西にずれています。方位調整で東へ約 %1 回してください。")
                .arg(amount);
        case ErrorDirection::east:
            return QCoreApplication::translate(
                       "DriftWords", "極軸が東にずれています。方位調整で西へ約 %1 回してください。")
                .arg(amount);
        case ErrorDirection::high:
            return QCoreApplication::translate("DriftWords",
                                               "極軸が高すぎます。高度調整で約 %1 下げてください。")
                .arg(amount);
        case ErrorDirection::low:
            break;
    }
    return QCoreApplication::translate("DriftWords",
                                       "極軸が低すぎます。高度調整で約 %1 上げてください。")
        .arg(amount);
}

// The error and, when known, its way and component, as the chart's title gives them.
QString error_title(const QString& amount, const DriftSummary& s) {
    if (s.direction && s.component)
        return QCoreApplication::translate("DriftWords", "極軸のずれ %1 %2 (%3)")
            .arg(amount, direction_word(*s.direction), component_word(*s.component));
    if (s.direction)
        return QCoreApplication::translate("DriftWords", "極軸のずれ %1 %2")
            .arg(amount, direction_word(*s.direction));
    if (s.component)
        return QCoreApplication::translate("DriftWords", "極軸のずれ %1 (%2)")
            .arg(amount, component_word(*s.component));
    return QCoreApplication::translate("DriftWords", "極軸のずれ %1").arg(amount);
}

QString chart_title(const DriftSummary& s) {
    if (s.error_arcmin) {
        // Two decimals when the standard error would show as 0.0.
        const int decimals = s.error_se_arcmin && *s.error_se_arcmin < 0.1 ? 2 : 1;
        QString amount = arcmin(*s.error_arcmin, decimals);
        if (s.error_se_arcmin)
            amount += QStringLiteral(" ± ") + arcmin(*s.error_se_arcmin, decimals);
        return error_title(amount, s);
    }
    if (s.north_arcsec_per_min)
        return QCoreApplication::translate("DriftWords", "北へのドリフト %1″/分 (時角が不明)")
            .arg(fixed(*s.north_arcsec_per_min, 2));
    if (s.rate_x_px_per_min && s.rate_y_px_per_min)
        return QCoreApplication::translate("DriftWords", "ドリフトの測定中 (縮尺が不明)");
    return QCoreApplication::translate("DriftWords", "ドリフトの測定中");
}

QString chart_subtitle(const DriftSummary& s) {
    QStringList parts;
    parts << QCoreApplication::translate("DriftWords", "使用 %1/%2 枚").arg(s.used).arg(s.images)
          << minutes_text(s.minutes);
    if (s.knob_arcmin)
        parts << QCoreApplication::translate("DriftWords", "方位つまみ %1′")
                     .arg(fixed(*s.knob_arcmin, 1));
    if (s.enough && *s.enough)
        parts << QCoreApplication::translate("DriftWords", "十分な測定");
    else if (s.minutes_needed)
        parts << QCoreApplication::translate("DriftWords", "あと約 %1 分")
                     .arg(fixed(std::ceil(*s.minutes_needed), 0));
    return parts.join(QStringLiteral(" · "));
}

std::string chart_label(const std::string& label) {
    if (label.empty()) return label;
    return QCoreApplication::translate("DriftWords", label.c_str()).toStdString();
}

}  // namespace

QString advice_sentence(const DriftAdvice& a) {
    switch (a.kind) {
        case AdviceKind::wait_for_images:
            break;
        case AdviceKind::needs_scale:
            return QCoreApplication::translate(
                "DriftWords",
                "写真の縮尺（″/ピクセル）が分からないため、ずれの大きさを出せません。縮尺を入力"
                "してください。");
        case AdviceKind::needs_hour_angle:
            return QCoreApplication::translate(
                "DriftWords",
                "星の時角が分からないため、方位と高度のどちらのずれか決められません。時角を入力"
                "してください。");
        case AdviceKind::mixed_star:
            return QCoreApplication::translate(
                "DriftWords",
                "この星は方位と高度のずれが混ざる位置にあります。子午線に近い星（方位）か、東か"
                "西の地平線に近い星（高度）で測ってください。");
        case AdviceKind::direction_unknown:
            return QCoreApplication::translate(
                "DriftWords", "ずれの向きが決められません。もう少し測ってください。");
        case AdviceKind::within_noise:
            return QCoreApplication::translate("DriftWords",
                                               "ずれは測定の誤差と同じ程度です。このままで良いか、"
                                               "もう少し測って確かめてください。");
        case AdviceKind::turn:
            if (a.direction) return turn_sentence(*a.direction, a.turn_arcmin);
            break;
    }
    return QCoreApplication::translate("DriftWords",
                                       "測定中です。画像が増えるまでお待ちください。");
}

QString progress_text(const DriftAdvice& a) {
    switch (a.progress) {
        case ProgressKind::enough:
            return QCoreApplication::translate("DriftWords", "十分です");
        case ProgressKind::minutes_left:
            return QCoreApplication::translate("DriftWords", "あと約 %1 分")
                .arg(fixed(a.minutes_left, 0));
        case ProgressKind::orientation_needed:
            return QCoreApplication::translate("DriftWords",
                                               "画像の北を角度で入力するか、校正してください");
        case ProgressKind::measuring:
            break;
    }
    return QCoreApplication::translate("DriftWords", "測定中");
}

QString component_word(Component component) {
    switch (component) {
        case Component::azimuth:
            return QCoreApplication::translate("DriftWords", "方位");
        case Component::altitude:
            return QCoreApplication::translate("DriftWords", "高度");
        case Component::mixed:
            break;
    }
    return QCoreApplication::translate("DriftWords", "混合");
}

QString direction_word(ErrorDirection direction) {
    switch (direction) {
        case ErrorDirection::east:
            return QCoreApplication::translate("DriftWords", "東");
        case ErrorDirection::west:
            return QCoreApplication::translate("DriftWords", "西");
        case ErrorDirection::high:
            return QCoreApplication::translate("DriftWords", "高すぎ");
        case ErrorDirection::low:
            break;
    }
    return QCoreApplication::translate("DriftWords", "低すぎ");
}

QString minutes_text(double minutes) {
    return QCoreApplication::translate("DriftWords", "%1 分").arg(fixed(minutes, 1));
}

QString error_text(const DriftSummary& s) {
    if (!s.error_arcmin) return QStringLiteral("—");
    QString text = arcmin(*s.error_arcmin);
    if (s.error_se_arcmin) text += QStringLiteral(" ± ") + arcmin(*s.error_se_arcmin);
    return text;
}

QString segment_line(std::size_t index, const DriftSummary& s) {
    QString line = QCoreApplication::translate("DriftWords", "区間 %1: %2")
                       .arg(static_cast<qulonglong>(index + 1))
                       .arg(error_text(s));
    if (s.direction) line += u' ' + direction_word(*s.direction);
    if (s.component) line += QStringLiteral(" (") + component_word(*s.component) + u')';
    return line + QCoreApplication::translate("DriftWords", "  %1 枚, %2 分")
                      .arg(s.used)
                      .arg(fixed(s.minutes, 1));
}

void chart_in_words(chart::DriftChart& c, const DriftSummary& s) {
    c.title = chart_title(s).toStdString();
    if (!c.subtitle.empty()) c.subtitle = chart_subtitle(s).toStdString();
    chart_labels_in_words(c);
}

void chart_labels_in_words(chart::DriftChart& c) {
    c.x_label = chart_label(c.x_label);
    c.y_label = chart_label(c.y_label);
}

QString combined_line(const CombinedError& c) {
    return QCoreApplication::translate("DriftWords", "方位 %1 ± %2 %3、高度 %4 ± %5 %6 (合計 %7)")
        .arg(arcmin(std::abs(c.azimuth_arcmin)), arcmin(c.azimuth_se_arcmin),
             direction_word(c.azimuth_direction), arcmin(std::abs(c.altitude_arcmin)),
             arcmin(c.altitude_se_arcmin), direction_word(c.altitude_direction),
             arcmin(c.total_arcmin));
}

QString before_turn_line(const CombinedError& c) {
    return QCoreApplication::translate("DriftWords", "回す前: 方位 %1 %2、高度 %3 %4 (合計 %5)")
        .arg(arcmin(std::abs(c.azimuth_arcmin)), direction_word(c.azimuth_direction),
             arcmin(std::abs(c.altitude_arcmin)), direction_word(c.altitude_direction),
             arcmin(c.total_arcmin));
}

QString knobs_line(const CombinedError& c) {
    const QString azimuth =
        c.azimuth_knob_arcmin ? arcmin(std::abs(*c.azimuth_knob_arcmin)) : QStringLiteral("—");
    return QCoreApplication::translate("DriftWords", "ノブ: 方位 %1、高度 %2")
        .arg(azimuth, arcmin(std::abs(c.altitude_knob_arcmin)));
}

QString note_words(const DriftNote& note) {
    if (note.code == NoteCode::same_star_again)
        return QCoreApplication::translate(
            "DriftWords", "新しい星が前の星と同じ位置にあります。同じ星ではありませんか?");
    return {};
}

}  // namespace trakora::ui
