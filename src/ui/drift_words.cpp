// SPDX-License-Identifier: MIT
#include "ui/drift_words.hpp"

#include <QCoreApplication>
#include <QStringList>
#include <cmath>

namespace trakora::ui {

namespace {

QString fixed(double value, int decimals) { return QString::asprintf("%.*f", decimals, value); }

// A note's number k as a whole count, "0" when it has fewer.
QString number(const DriftNote& note, std::size_t k) {
    return QString::number(k < note.numbers.size() ? std::llround(note.numbers[k]) : 0);
}

QString arcmin(double value, int decimals = 1) { return fixed(value, decimals) + u'′'; }

QString turn_sentence(ErrorDirection direction, double turn_arcmin) {
    const QString amount = arcmin(turn_arcmin);
    switch (direction) {
        case ErrorDirection::west:
            return QCoreApplication::translate(
                       "DriftWords", "極軸が西にずれています。方位ノブで東へ約 %1 回してください。")
                .arg(amount);
        case ErrorDirection::east:
            return QCoreApplication::translate(
                       "DriftWords", "極軸が東にずれています。方位ノブで西へ約 %1 回してください。")
                .arg(amount);
        case ErrorDirection::high:
            return QCoreApplication::translate("DriftWords",
                                               "極軸が高すぎます。高度ノブで約 %1 下げてください。")
                .arg(amount);
        case ErrorDirection::low:
            break;
    }
    return QCoreApplication::translate("DriftWords",
                                       "極軸が低すぎます。高度ノブで約 %1 上げてください。")
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

QString chart_title(const report::DriftChartCaption& c, const DriftSummary& s) {
    switch (c.title) {
        case report::DriftChartCaption::Title::error: {
            QString amount = arcmin(s.error_arcmin.value_or(0), c.decimals);
            if (s.error_se_arcmin)
                amount += QStringLiteral(" ± ") + arcmin(*s.error_se_arcmin, c.decimals);
            return error_title(amount, s);
        }
        case report::DriftChartCaption::Title::north_drift:
            return QCoreApplication::translate("DriftWords", "北へのドリフト %1″/分 (時角が不明)")
                .arg(fixed(s.north_arcsec_per_min.value_or(0), 2));
        case report::DriftChartCaption::Title::measuring_in_pixels:
            return QCoreApplication::translate("DriftWords", "ドリフトの測定中 (縮尺が不明)");
        case report::DriftChartCaption::Title::measuring:
            break;
    }
    return QCoreApplication::translate("DriftWords", "ドリフトの測定中");
}

QString chart_subtitle(const report::DriftChartCaption& c, const DriftSummary& s) {
    QStringList parts;
    parts << QCoreApplication::translate("DriftWords", "使用 %1/%2 枚").arg(s.used).arg(s.images)
          << minutes_text(s.minutes);
    if (s.knob_arcmin)
        parts << QCoreApplication::translate("DriftWords", "方位ノブ %1′")
                     .arg(fixed(*s.knob_arcmin, 1));
    switch (c.progress) {
        case report::DriftChartCaption::Progress::enough:
            parts << QCoreApplication::translate("DriftWords", "十分な測定");
            break;
        case report::DriftChartCaption::Progress::minutes_left:
            parts << QCoreApplication::translate("DriftWords", "あと約 %1 分")
                         .arg(fixed(std::ceil(s.minutes_needed.value_or(0)), 0));
            break;
        case report::DriftChartCaption::Progress::none:
            break;
    }
    return parts.join(QStringLiteral(" · "));
}

QString drift_axis_label(const report::DriftChartCaption& c) {
    if (c.air_removed)
        return c.arcsec
                   ? QCoreApplication::translate("DriftWords", "北へのドリフト、大気差を除く (″)")
                   : QCoreApplication::translate("DriftWords", "北へのドリフト、大気差を除く (px)");
    return c.arcsec ? QCoreApplication::translate("DriftWords", "北へのドリフト (″)")
                    : QCoreApplication::translate("DriftWords", "北へのドリフト (px)");
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

QString step_sentence(const AlignmentStep& step) {
    switch (step.action) {
        case StepAction::pick_meridian_star:
            return QCoreApplication::translate(
                "DriftWords",
                "子午線に近い星（時角 0 時前後、赤緯 0〜20°）に向けて中央に入れ、クリックして"
                "ください。");
        case StepAction::give_orientation:
            return QCoreApplication::translate(
                "DriftWords",
                "画像のどちらが北か分からないため、ずれの向きとノブの回し方は出せません。北の角度を"
                "入力するか、プレートソルブした画像を使うか、校正してください。");
        case StepAction::target_reached:
            return QCoreApplication::translate(
                "DriftWords", "星が目標に届きました。ノブを止めて「新しい区間」を押してください。");
        case StepAction::slew_altitude_star:
            return QCoreApplication::translate(
                "DriftWords",
                "次は高度です。東か西の低い星（時角 4〜8 時）に向けて中央に入れてください。");
        case StepAction::slew_check_star:
            return QCoreApplication::translate(
                "DriftWords",
                "両方のノブを回しました。子午線に近い星に戻して、もう一度測って確かめてください。");
        case StepAction::done:
            return QCoreApplication::translate("DriftWords",
                                               "極軸は方位・高度とも 1′ 以内に合っています。");
        case StepAction::wait:
        case StepAction::give_scale:
        case StepAction::give_hour_angle:
        case StepAction::other_star:
        case StepAction::turn_azimuth_knob:
        case StepAction::turn_altitude_knob:
            break;
    }
    return {};
}

QString knob_prompt(Knob knob) {
    return knob == Knob::azimuth
               ? QCoreApplication::translate(
                     "DriftWords",
                     "「方位ノブを回す」を押して、星が目標に届くまでノブを回してください。")
               : QCoreApplication::translate(
                     "DriftWords",
                     "「高度ノブを回す」を押して、星が目標に届くまでノブを回してください。");
}

namespace {

// The hand controller's button of a move.
QString move_button_word(CalibrationMove move) {
    switch (move) {
        case CalibrationMove::north:
            return QCoreApplication::translate("DriftWords", "北", "a hand controller's button");
        case CalibrationMove::south:
            return QCoreApplication::translate("DriftWords", "南", "a hand controller's button");
        case CalibrationMove::east:
            return QCoreApplication::translate("DriftWords", "東", "a hand controller's button");
        case CalibrationMove::west:
            break;
    }
    return QCoreApplication::translate("DriftWords", "西", "a hand controller's button");
}

}  // namespace

QString calibration_sentence(const CalibrationState& c) {
    const QString button = move_button_word(c.move);
    switch (c.outcome) {
        case CalibrationOutcome::armed:
        case CalibrationOutcome::searching:
            return QCoreApplication::translate(
                       "DriftWords",
                       "今、手元のコントローラーの「%1」ボタンを1〜2秒押してください。")
                .arg(button);
        case CalibrationOutcome::found:
            return QCoreApplication::translate("DriftWords",
                                               "校正できました: 画像の北は %1° ± %2° です。")
                .arg(fixed(c.angle_deg.value_or(0), 1), fixed(c.angle_se_deg.value_or(0), 1));
        case CalibrationOutcome::no_jump:
            return QCoreApplication::translate(
                       "DriftWords",
                       "%1 枚の間に星の跳びが見つかりませんでした。もう一度校正してください。")
                .arg(static_cast<qulonglong>(c.images));
        case CalibrationOutcome::too_small:
            return QCoreApplication::translate(
                       "DriftWords",
                       "星の跳びが %1 px "
                       "と小さすぎました。ボタンを長めに、または速い速度で押してください。")
                .arg(fixed(c.jump_px.value_or(0), 1));
        case CalibrationOutcome::beyond_search:
            return QCoreApplication::translate(
                "DriftWords",
                "校正のあと星を見失いました。星を中央に戻し、遅い速度でもう一度校正してください。");
        case CalibrationOutcome::twice:
            break;
    }
    return QCoreApplication::translate(
        "DriftWords",
        "星の跳びが二度ありました。ボタンは一度だけ押して、もう一度校正してください。");
}

QString progress_headline(const AlignmentStep& step) {
    const int seconds = static_cast<int>(std::lround(step.elapsed_min * 60));
    const QString elapsed = QString::asprintf("%d:%02d", seconds / 60, seconds % 60);
    if (step.minutes_to_go && *step.minutes_to_go > 0)
        return QCoreApplication::translate("DriftWords", "測定中 %1 — あと約 %2 分")
            .arg(elapsed, fixed(std::ceil(*step.minutes_to_go), 0));
    return QCoreApplication::translate("DriftWords", "測定中 %1").arg(elapsed);
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

void chart_in_words(chart::DriftChart& c, const report::DriftChartCaption& caption,
                    const DriftSummary& s) {
    chart_labels_in_words(c);
    c.title = chart_title(caption, s).toStdString();
    c.subtitle = caption.counted ? chart_subtitle(caption, s).toStdString() : std::string();
    c.y_label = drift_axis_label(caption).toStdString();
}

void chart_labels_in_words(chart::DriftChart& c) {
    c.x_label = QCoreApplication::translate("DriftWords", "経過時間 (分)").toStdString();
    c.legend = {QCoreApplication::translate("DriftWords", "測定点").toStdString(),
                QCoreApplication::translate("DriftWords", "除外した点").toStdString(),
                QCoreApplication::translate("DriftWords", "前の区間").toStdString(),
                QCoreApplication::translate("DriftWords", "近似直線 ±1 SE").toStdString()};
    c.no_points = QCoreApplication::translate("DriftWords", "測定点はまだありません").toStdString();
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
    const auto name = [&](std::size_t k) {
        return QString::fromStdString(k < note.names.size() ? note.names[k] : std::string());
    };
    switch (note.code) {
        case NoteCode::same_star_again:
            return QCoreApplication::translate(
                "DriftWords", "新しい星が前の星と同じ位置にあります。同じ星ではありませんか?");
        case NoteCode::pointing_precessed:
            return QCoreApplication::translate(
                       "DriftWords",
                       "%1 と %2 は分点 %3 (%4) の座標です。最初の画像の日付の座標に換算しました。")
                .arg(name(0), name(1), fixed(note.numbers.empty() ? 0 : note.numbers[0], 1),
                     name(2));
        case NoteCode::pointing_of_date:
            return QCoreApplication::translate(
                       "DriftWords",
                       "%1 '%2' は分点の年として読めないため、座標を観測日のものとして読みました。")
                .arg(name(0), name(1));
        case NoteCode::star_lost:
            return QCoreApplication::translate(
                       "DriftWords",
                       "画像 %1 (%2) から星を見失っています。見つかるまで測定に使いません。")
                .arg(number(note, 0), name(0));
        case NoteCode::star_found_again:
            return QCoreApplication::translate("DriftWords",
                                               "画像 %1 (%2) で見失った星を、画像 %3 (%4) "
                                               "で位置・大きさ・周りの星から見つけ直しました。")
                .arg(number(note, 0), name(0), number(note, 1), name(1));
        case NoteCode::faint_left_out:
            return QCoreApplication::translate(
                       "DriftWords", "%1 枚の画像で星が暗くなりました (雲?)。測定に使いません。")
                .arg(number(note, 0));
        case NoteCode::star_saturated:
            return QCoreApplication::translate(
                "DriftWords",
                "星が飽和しています。露出を短くするか、暗めの星を選ぶとよく測れます。");
        case NoteCode::scatter_too_wide:
            return QCoreApplication::translate("DriftWords",
                                               "測定点のばらつき (%1″) が星の大きさ (%2″) "
                                               "を超えています。結果は信用できません。")
                .arg(fixed(note.numbers.empty() ? 0 : note.numbers[0], 1),
                     fixed(note.numbers.size() < 2 ? 0 : note.numbers[1], 1));
        default:
            break;
    }
    return {};
}

}  // namespace trakora::ui
