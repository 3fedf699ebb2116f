// SPDX-License-Identifier: MIT
// The desktop program in English on request: the drift window's sentences in either
// language, the chart's words in English as the report writes them, the windows and
// message boxes in English with the main window's caption and size kept, and every
// main-window caption fitting its control.
#include <gtest/gtest.h>

#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <functional>

#include "report/assistant_chart.hpp"
#include "report/chart_text.hpp"
#include "ui/drift_words.hpp"
#include "ui_fixture.hpp"

namespace trakora::ui {
namespace {

using testing::InEnglish;

DriftAdvice turn(ErrorDirection direction, double arcmin) {
    DriftAdvice a;
    a.kind = AdviceKind::turn;
    a.direction = direction;
    a.turn_arcmin = arcmin;
    return a;
}

DriftAdvice advising(AdviceKind kind) {
    DriftAdvice a;
    a.kind = kind;
    return a;
}

DriftAdvice progress(ProgressKind kind, double minutes_left = 0) {
    DriftAdvice a;
    a.progress = kind;
    a.minutes_left = minutes_left;
    return a;
}

struct Said {
    const char* name;
    std::function<QString()> say;
    const char* japanese;  // as the window has always shown it
    const char* english;
};

const Said kSaid[] = {
    {"west turns east", [] { return advice_sentence(turn(ErrorDirection::west, 3.1)); },
     "極軸が西にずれています。方位ノブで東へ約 3.1′ 回してください。",
     "The polar axis is off to the west. Turn the azimuth knob about 3.1′ east."},
    {"east turns west", [] { return advice_sentence(turn(ErrorDirection::east, 3.14)); },
     "極軸が東にずれています。方位ノブで西へ約 3.1′ 回してください。",
     "The polar axis is off to the east. Turn the azimuth knob about 3.1′ west."},
    {"high lowers", [] { return advice_sentence(turn(ErrorDirection::high, 2.44)); },
     "極軸が高すぎます。高度ノブで約 2.4′ 下げてください。",
     "The polar axis is too high. Lower it about 2.4′ with the altitude knob."},
    {"low raises", [] { return advice_sentence(turn(ErrorDirection::low, 3)); },
     "極軸が低すぎます。高度ノブで約 3.0′ 上げてください。",
     "The polar axis is too low. Raise it about 3.0′ with the altitude knob."},
    {"mixed star", [] { return advice_sentence(advising(AdviceKind::mixed_star)); },
     "この星は方位と高度のずれが混ざる位置にあります。子午線に近い星（方位）か、東か西の地平線に"
     "近い星（高度）で測ってください。",
     "This star sits where azimuth and altitude errors mix. Measure a star near the meridian "
     "(azimuth) or near the eastern or western horizon (altitude)."},
    {"no scale", [] { return advice_sentence(advising(AdviceKind::needs_scale)); },
     "写真の縮尺（″/ピクセル）が分からないため、ずれの大きさを出せません。縮尺を入力してください。",
     "The image scale (″/pixel) is unknown, so the size of the error cannot be given. Please "
     "enter the scale."},
    {"no hour angle", [] { return advice_sentence(advising(AdviceKind::needs_hour_angle)); },
     "星の時角が分からないため、方位と高度のどちらのずれか決められません。時角を入力してください。",
     "The star's hour angle is unknown, so it cannot be told whether the error is in azimuth or "
     "altitude. Please enter the hour angle."},
    {"no direction", [] { return advice_sentence(advising(AdviceKind::direction_unknown)); },
     "ずれの向きが決められません。もう少し測ってください。",
     "The way the axis is off cannot be told yet. Please measure a little longer."},
    {"within noise", [] { return advice_sentence(advising(AdviceKind::within_noise)); },
     "ずれは測定の誤差と同じ程度です。このままで良いか、もう少し測って確かめてください。",
     "The error is about as large as the measurement's uncertainty. It may be fine as it is; "
     "measure a little longer to make sure."},
    {"too few images", [] { return advice_sentence(advising(AdviceKind::wait_for_images)); },
     "測定中です。画像が増えるまでお待ちください。", "Measuring. Please wait for more images."},
    {"enough", [] { return progress_text(progress(ProgressKind::enough)); }, "十分です", "Enough"},
    {"minutes to go", [] { return progress_text(progress(ProgressKind::minutes_left, 3)); },
     "あと約 3 分", "about 3 min to go"},
    {"measuring", [] { return progress_text(progress(ProgressKind::measuring)); }, "測定中",
     "Measuring"},
};

TEST(DriftWords, SayEachCaseInEitherLanguage) {
    for (const Said& row : kSaid) EXPECT_EQ(row.say(), QString::fromUtf8(row.japanese)) << row.name;
    const InEnglish english;
    ASSERT_TRUE(english.loaded());
    for (const Said& row : kSaid) EXPECT_EQ(row.say(), QString::fromUtf8(row.english)) << row.name;
}

std::vector<std::string> words_of(const chart::DriftChart& c) {
    return {c.title,          c.subtitle,       c.x_label,    c.y_label,  c.legend.point,
            c.legend.flagged, c.legend.earlier, c.legend.fit, c.no_points};
}

// In English the window's chart says what trakora-cli replay --plot writes, caption by
// caption.
TEST(DriftWords, ChartInEnglishIsTheReports) {
    DriftSummary s;
    s.north_arcsec_per_min = 0.79;
    s.rate_x_px_per_min = s.rate_y_px_per_min = 0.1;
    s.used = 38;
    s.images = 40;
    s.minutes = 6;
    const std::vector<std::function<void(DriftSummary&)>> steps = {
        [](DriftSummary& v) { v.north_arcsec_per_min.reset(); },
        [](DriftSummary& v) { v.rate_x_px_per_min.reset(); },
        [](DriftSummary& v) { v.minutes_needed = 3.2; },
        [](DriftSummary& v) { v.north_arcsec_per_min = 0.79; },
        [](DriftSummary& v) { v.refraction_arcsec_per_min = 0.1; },
        [](DriftSummary& v) { v.error_arcmin = 3.04; },
        [](DriftSummary& v) { v.component = Component::mixed; },
        [](DriftSummary& v) { v.direction = ErrorDirection::west; },
        [](DriftSummary& v) { v.knob_arcmin = 4.7; },
        [](DriftSummary& v) { v.component.reset(); },
        [](DriftSummary& v) { v.enough = true; },
        [](DriftSummary& v) { v.error_se_arcmin = 0.06; },
    };
    const InEnglish english;
    for (std::size_t k = 0; k <= steps.size(); ++k) {
        const report::DriftChartCaption caption = report::drift_chart_caption(s, k % 2 == 1, k > 0);
        chart::DriftChart window, file;
        chart_in_words(window, caption, s);
        report::drift_chart_in_english(file, caption, s);
        EXPECT_EQ(words_of(window), words_of(file)) << "step " << k;
        if (k < steps.size()) steps[k](s);
    }
    chart::DriftChart c;
    chart_in_words(c, report::drift_chart_caption(s, true, true), s);
    EXPECT_EQ(c.title, "Polar error 3.04′ ± 0.06′, west");
    EXPECT_EQ(c.y_label, "North drift, refraction removed (″)");
}

void press_enter(QLineEdit* box) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(box, &key);
}

TEST(InEnglish, EveryWindowAndBoxSpeaksEnglishInTheSameMainWindow) {
    const InEnglish english;
    testing::Program program;
    const Form1Controls& c = program.controls();
    EXPECT_EQ(program.form1().windowTitle(), QStringLiteral("Trakora ver1.00"));
    EXPECT_EQ(program.form1().size(), QSize(406, 415));
    EXPECT_EQ(c.command3->text(), QStringLiteral("Set object"));
    EXPECT_EQ(c.label4->text(), QStringLiteral("Max count"));

    DriftAssistantWindow& drift = program.view().drift_window();
    EXPECT_EQ(drift.windowTitle(), QStringLiteral("Drift analysis - Trakora"));
    EXPECT_EQ(drift.controls().chart->chart().x_label, "Elapsed time (min)");
    program.view().show_drift_assistant(program.state().assistant);
    EXPECT_EQ(drift.controls().advice->text(),
              QStringLiteral("Measuring. Please wait for more images."));
    EXPECT_EQ(drift.controls().inputs->row(DriftInput::scale).source->text(),
              QStringLiteral("none"));

    testing::BoxAnswerer answerer;
    c.command1->click();  // Start without an object
    c.text3->setText(QStringLiteral("40"));
    press_enter(c.text3);
    EXPECT_EQ(answerer.texts(),
              (std::vector<std::string>{"Please set the object first", "Max count 40"}));
}

// Each English caption within its control's width, at the control's own font (the
// Japanese ones stay as they have always been): run again under QT_SCALE_FACTOR=2 by ctest's
// ui_captions_at_scale_2.
TEST(InEnglish, CaptionsFitTheirControls) {
    const InEnglish english;
    MainWindow window(QDir::currentPath());
    window.show();
    int checked = 0;
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (label->text().isEmpty()) continue;
        ++checked;
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()),
                  label->contentsRect().width())
            << label->objectName().toStdString() << ": " << label->text().toStdString();
    }
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        ++checked;
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect room =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), room.width())
            << button->objectName().toStdString() << ": " << button->text().toStdString();
    }
    EXPECT_EQ(checked, 7);
    EXPECT_EQ(window.size(), QSize(406, 415));
}

}  // namespace
}  // namespace trakora::ui
