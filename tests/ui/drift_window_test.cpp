// SPDX-License-Identifier: MIT
// The drift window in the desktop program: opening it, the answer for a known session,
// the inputs' precedence, a new segment, the saved files, its manners beside the object
// window, and every text in its box in both languages.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "report/session_csv.hpp"
#include "session/assistant_handlers.hpp"
#include "ui/drift_session_save.hpp"
#include "ui_fixture.hpp"

namespace trakora::ui {
namespace {

namespace fs = std::filesystem;

// `count` images 0.25 min apart from `start` minutes of a meridian star drifting north at
// 0.7875″/min: the axis 3.0′ to the west at latitude 50° (header), scale 1.5″/px (header).
void add_samples(testing::Program& program, int count, double start) {
    const ObservingKeywords keywords =
        read_observing_keywords({{"SCALE", "1.5"}, {"SITELAT", "50"}, {"OBJCTDEC", "10"}});
    for (int k = 0; k < count; ++k) {
        const double minutes = start + 0.25 * k;
        ImageMeasurement image;
        image.file = "drift_" + std::to_string(k) + ".FIT";
        image.keywords = keywords;
        image.time = ObservationTime{1.8e9 + 60 * minutes, TimeSource::date_obs};
        image.star = StarMeasurement{};
        image.star->x = 300 + 0.01 * (k % 3);
        image.star->y = 200 - 0.525 * minutes + 0.02 * ((k % 2) ? 1 : -1);
        image.star->snr = 80;
        image.star->hfd = 3.2;
        add_drift_image(program.state().assistant, image);
    }
    program.view().show_drift_assistant(program.state().assistant);
}

// That star with its hour angle typed as 0 and north up.
class DriftWindowTest : public ::testing::Test {
  protected:
    DriftWindowTest() {
        state().assistant.typed.ha_hours = 0;
        state().assistant.typed.angle_source = AngleSource::typed;  // north up, as an angle
        state().assistant.typed.refraction = false;                 // a sky without air
        add_samples(25, 0.0);
    }

    State& state() { return program_.state(); }
    DriftAssistantWindow& window() { return program_.view().drift_window(); }
    const DriftWindowControls& c() { return window().controls(); }
    QString text(QLabel* l) { return l->text(); }
    void add_samples(int count, double start) { ui::add_samples(program_, count, start); }

    testing::Program program_;
};

TEST_F(DriftWindowTest, OpensFromTheMainWindowAndOnlyHidesOnClose) {
    EXPECT_FALSE(window().isVisible()) << "nothing opens by itself";
    EXPECT_EQ(window().windowTitle(), QStringLiteral("ドリフト解析 - Trakora"));
    program_.form1().show();
    QKeyEvent ctrl_d(QEvent::KeyPress, Qt::Key_D, Qt::ControlModifier, QStringLiteral("\x04"));
    QApplication::sendEvent(&program_.form1(), &ctrl_d);
    EXPECT_TRUE(window().isVisible());
    window().close();
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(program_.form1().isVisible());

    // The plot's menu: one entry that opens it again.
    QString entry;
    QTimer::singleShot(0, [&entry] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) return;
        entry = menu->actions().value(0)->text();
        menu->actions().value(0)->trigger();
        menu->close();
    });
    emit program_.controls().picture1->customContextMenuRequested(QPoint(20, 20));
    EXPECT_EQ(entry, QStringLiteral("ドリフト解析…"));
    EXPECT_TRUE(window().isVisible());
}

TEST_F(DriftWindowTest, ShowsTheAnswerForTheSession) {
    // 3.0′ on the sky; the knob turns 3.0′ / cos 50° = 4.7′.
    EXPECT_EQ(text(c().error).left(4), QStringLiteral("3.0′"));
    EXPECT_EQ(text(c().component), QStringLiteral("方位"));
    EXPECT_EQ(
        text(c().advice),
        QStringLiteral("極軸が西にずれています。方位ノブで東へ約 4.7′ 回してください。 "
                       "「方位ノブを回す」を押して、星が目標に届くまでノブを回してください。"));
    EXPECT_EQ(text(c().progress), QStringLiteral("十分です"));
    EXPECT_EQ(text(c().snr), QStringLiteral("80"));
    EXPECT_TRUE(text(c().warnings).isEmpty());
    EXPECT_EQ(c().chart->chart().points.size(), 25u);
    EXPECT_TRUE(c().chart->chart().fit.has_value());
    // The report's chart in the window's words.
    const chart::DriftChart& shown = c().chart->chart();
    EXPECT_EQ(shown.title.rfind("極軸のずれ 3.00′ ± ", 0), 0u) << shown.title;
    EXPECT_NE(shown.title.find("′ 西 (方位)"), std::string::npos) << shown.title;
    EXPECT_NE(shown.subtitle.find(" · 十分な測定"), std::string::npos) << shown.subtitle;
    EXPECT_EQ(shown.y_label, "北へのドリフト (″)");
    EXPECT_EQ(shown.legend.point, "測定点");
}

TEST_F(DriftWindowTest, TypedInputOverridesTheHeaderUntilCleared) {
    AssistantInputs::Row& scale = c().inputs->row(DriftInput::scale);
    EXPECT_EQ(text(scale.source), QStringLiteral("ヘッダー"));
    EXPECT_EQ(scale.edit->placeholderText(), QStringLiteral("1.500"));

    scale.edit->setText(QStringLiteral("3"));
    emit scale.edit->editingFinished();
    EXPECT_EQ(state().assistant.typed.scale_arcsec_per_px, 3.0);
    EXPECT_EQ(text(scale.source), QStringLiteral("入力"));
    EXPECT_EQ(text(c().error).left(4), QStringLiteral("6.0′"))
        << "twice the scale, twice the error";

    scale.clear->click();
    EXPECT_FALSE(state().assistant.typed.scale_arcsec_per_px.has_value());
    EXPECT_EQ(text(scale.source), QStringLiteral("ヘッダー"));
    EXPECT_EQ(text(c().error).left(4), QStringLiteral("3.0′"));

    // Typed latitude in sexagesimal form; the hour angle was typed from the start.
    AssistantInputs::Row& lat = c().inputs->row(DriftInput::lat);
    lat.edit->setText(QStringLiteral("+60 00 00"));
    emit lat.edit->editingFinished();
    EXPECT_EQ(state().assistant.typed.lat_deg, 60.0);
    EXPECT_EQ(text(c().inputs->row(DriftInput::ha).source), QStringLiteral("入力"));
    EXPECT_EQ(text(c().inputs->row(DriftInput::dec).source), QStringLiteral("ヘッダー"));

    c().inputs->north()->setCurrentIndex(1);  // 下: north at the bottom reverses the drift
    EXPECT_EQ(state().assistant.typed.orientation.north_deg, 180);
    EXPECT_EQ(drift_summary_now(state().assistant).direction, ErrorDirection::east);
    EXPECT_EQ(state().assistant.typed.angle_source, AngleSource::coarse);
    // An angle typed into the same box is exact.
    c().inputs->north()->setEditText(QStringLiteral("37.5"));
    emit c().inputs->north()->lineEdit()->editingFinished();
    EXPECT_EQ(state().assistant.typed.orientation.north_deg, 37.5);
    EXPECT_EQ(state().assistant.typed.angle_source, AngleSource::typed);
}

TEST_F(DriftWindowTest, ShowsTheTrackingAndTakesTheAirAndTheCalibrationMove) {
    // A meridian star at declination 10 from latitude 50 stands 50° high.
    EXPECT_EQ(text(c().altitude), QStringLiteral("50.0°"));
    EXPECT_TRUE(text(c().ra_rate).endsWith(QStringLiteral("‰)")))
        << text(c().ra_rate).toStdString();
    EXPECT_EQ(text(c().periodic), QStringLiteral("—")) << "no periodic error in ten minutes";
    EXPECT_EQ(text(c().refraction), QStringLiteral("—")) << "a sky without air";

    ASSERT_TRUE(c().chart->chart().fit.has_value());
    const double airless_slope = c().chart->chart().fit->slope;
    // With the air: typed weather stands until cleared; a pressure out of range is none.
    state().assistant.typed.refraction = true;
    AssistantInputs::AirRow& temperature = c().inputs->temperature();
    temperature.edit->setText(QStringLiteral("-5"));
    c().inputs->pressure().edit->setText(QStringLiteral("2000"));
    emit temperature.edit->editingFinished();
    EXPECT_EQ(state().assistant.typed.temperature_c, -5.0);
    EXPECT_FALSE(state().assistant.typed.pressure_hpa.has_value());
    EXPECT_EQ(text(temperature.source), QStringLiteral("入力"));
    EXPECT_EQ(text(c().inputs->pressure().source), QStringLiteral("既定"));
    const DriftSummary& s = drift_summary_now(state().assistant);
    ASSERT_TRUE(s.refraction_arcsec_per_min.has_value());
    EXPECT_EQ(s.temperature_c, -5.0);
    EXPECT_NE(text(c().refraction), QStringLiteral("—"));
    // The chart's drift is the star's with the air's part taken off.
    const chart::DriftChart& shown = c().chart->chart();
    EXPECT_EQ(shown.y_label, "北へのドリフト、大気差を除く (″)");
    ASSERT_TRUE(shown.fit.has_value());
    EXPECT_NEAR(shown.fit->slope, airless_slope - *s.refraction_arcsec_per_min, 1e-9);
    temperature.clear->click();
    EXPECT_FALSE(state().assistant.typed.temperature_c.has_value());
    EXPECT_EQ(text(temperature.source), QStringLiteral("既定"));

    // The calibration move: what to press, and the next image starts the segment it is for.
    c().inputs->calibration()->setCurrentIndex(1);
    EXPECT_EQ(state().assistant.typed.calibration, CalibrationMove::north);
    EXPECT_EQ(
        text(c().inputs->calibration_hint()),
        QStringLiteral("区間の始めに手元のコントローラーの「北」ボタンを1〜2秒押してください"));
    EXPECT_TRUE(state().assistant.segment_requested.has_value());
    c().inputs->calibration()->setCurrentIndex(0);
    EXPECT_FALSE(state().assistant.typed.calibration.has_value());
    EXPECT_TRUE(text(c().inputs->calibration_hint()).isEmpty());
}

TEST_F(DriftWindowTest, LowerCaseCheckBoxSetsTheNameRule) {
    EXPECT_FALSE(c().any_case->isChecked());
    c().any_case->click();
    EXPECT_EQ(state().name_rule, NameRule::any);
    c().any_case->click();
    EXPECT_EQ(state().name_rule, NameRule::specified);
}

struct TypedText {
    const char* name;
    DriftInput which;
    const char* text;
    std::optional<double> value;
};

TEST(TypedInputValue, ReadsWhatTheUserMeans) {
    const TypedText rows[] = {
        {"plain scale", DriftInput::scale, " 1.25 ", 1.25},
        {"zero scale refused", DriftInput::scale, "0", std::nullopt},
        {"sexagesimal declination", DriftInput::dec, "-10 30 00", -10.5},
        {"latitude beyond the pole refused", DriftInput::lat, "95", std::nullopt},
        {"hour angle west", DriftInput::ha, "1.5", 1.5},
        {"words refused", DriftInput::scale, "abc", std::nullopt},
        {"empty is no value", DriftInput::dec, "", std::nullopt},
    };
    for (const TypedText& r : rows)
        EXPECT_EQ(typed_input_value(r.which, QString::fromUtf8(r.text)), r.value) << r.name;
}

TEST_F(DriftWindowTest, NewSegmentStartsAFreshFitAndListsBoth) {
    c().new_segment->click();
    EXPECT_TRUE(state().assistant.segment_requested);
    add_samples(12, 10.0);
    ASSERT_EQ(state().assistant.segments.size(), 2u);
    EXPECT_EQ(state().assistant.segments[1].count, 12u);
    ASSERT_EQ(c().segments->count(), 2);
    EXPECT_TRUE(c().segments->item(0)->text().startsWith(QStringLiteral("区間 1: 3.0′")));
    EXPECT_TRUE(c().segments->item(1)->text().startsWith(QStringLiteral("区間 2: ")));
    EXPECT_EQ(c().chart->chart().current_segment, 1);
}

std::string file_text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST_F(DriftWindowTest, SaveWritesTheSessionPlotAndSummary) {
    const fs::path folder = program_.folder().path();
    for (const char* plot : {"night.png", "night.svg"}) {
        const DriftSessionFiles files{(folder / "night.csv").string(),
                                      (folder / "night.json").string(), (folder / plot).string()};
        EXPECT_EQ(save_drift_session(state().assistant, files), "") << plot;
        const std::string csv = file_text(files.csv);
        EXPECT_EQ(csv.substr(0, csv.find('\n')), report::kSessionCsvColumns);
        EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 26);
        const std::string json = file_text(files.json);
        EXPECT_NE(json.find("\"axis\": \"azimuth\""), std::string::npos) << json;
        EXPECT_NE(json.find("\"pole\": \"west\""), std::string::npos) << json;
        const std::string image = file_text(files.plot);
        EXPECT_TRUE(image.starts_with("\x89PNG") || image.find("<svg") != std::string::npos)
            << plot;
    }
    // A folder that is not there: every file named in the reasons, nothing claimed.
    const std::string failed = save_drift_session(
        state().assistant, {(folder / "no/a.csv").string(), (folder / "no/a.json").string(),
                            (folder / "no/a.png").string()});
    EXPECT_EQ(std::count(failed.begin(), failed.end(), '\n'), 2) << failed;
}

// A tick shows the object window again while the user types in the drift window: the
// drift window keeps the focus and stays the active window; its buttons never take it.
// Needs a display whose windows are activated as a desktop's are (ctest's ui_focus_on_x11
// runs it under Xvfb): offscreen, every window shown is made the active one.
TEST_F(DriftWindowTest, TheObjectWindowAndTheButtonsLeaveTheFocusAlone) {
    if (QGuiApplication::platformName() == QStringLiteral("offscreen"))
        GTEST_SKIP() << "offscreen activates every window shown";
    program_.form1().show();
    window().show();
    window().activateWindow();
    ASSERT_TRUE(testing::spin_until([&] { return window().isActiveWindow(); }));
    QLineEdit* scale = c().inputs->row(DriftInput::scale).edit;
    scale->setFocus();
    const std::vector<std::uint32_t> colours(64 * 48, 0x808080);
    program_.view().close_object_window();  // a tick shows it as if new
    program_.view().open_object_window("star.FIT", 64, 48, {colours.data(), 64, 48, 64});
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &window());
    EXPECT_EQ(QApplication::focusWidget(), scale);
    // The buttons take no focus; each has its key instead, named in its tip.
    const KnobTargetView* knobs = c().knob_target;
    for (QPushButton* button :
         {c().new_star, c().new_segment, c().calibrate, knobs->azimuth, knobs->altitude}) {
        const QString key = button->shortcut().toString(QKeySequence::NativeText);
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus) << button->text().toStdString();
        EXPECT_TRUE(!key.isEmpty() && button->toolTip().contains(key))
            << button->toolTip().toStdString();
    }
}

// "New segment" at the end of a knob's turn puts the pick on the star where it now is, as
// a click there would: the series starts again from it.
TEST_F(DriftWindowTest, NewSegmentAfterATurnPicksTheStarWhereItIs) {
    std::vector<double> samples(64 * 48, 0);
    samples[30 * 64 + 40] = 30000;
    trakora::testing::write_file(
        program_.folder().file("star.FIT"),
        trakora::testing::make_fits(
            16, 64, 48, samples,
            {trakora::testing::fits_card("DATE-OBS", "'2024-03-01T21:00:00'")}));
    testing::BoxAnswerer answerer;
    program_.controls().command3->click();  // object setting: the picture and its pick
    ASSERT_TRUE(program_.view().object_window_open());
    KnobAdjusting turning;
    turning.adjust.knob = Knob::azimuth;
    turning.star = {40, 30};
    state().assistant.adjusting = turning;

    c().new_segment->click();
    EXPECT_FALSE(state().assistant.adjusting.has_value());
    EXPECT_EQ(state().assistant.knob_turned_last, Knob::azimuth);
    EXPECT_NEAR(state().object_x, 40, 3);
    EXPECT_NEAR(state().object_y, 30, 3);
    EXPECT_EQ(state().measurements[1][0], state().object_x);
    EXPECT_EQ(state().measurements[1][1], state().object_y);
    EXPECT_TRUE(state().assistant.images.back().measurement.picked);
}

// Every label, button and check box of the drift window shows its whole text at the
// window's first size, in both languages (again on a screen scaled twice: ctest's
// ui_drift_window_at_scale_2), and no text that changes grows the window.
class DriftWindowTexts : public ::testing::TestWithParam<bool> {};

void expect_texts_fit(QWidget& window, const char* when) {
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty()) continue;
        const QRect room = label->contentsRect();
        const std::string name = std::string(when) + ": " + label->text().toStdString();
        if (label->wordWrap())
            EXPECT_LE(label->heightForWidth(label->width()), label->height()) << name;
        else
            EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), room.width()) << name;
    }
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (!button->isVisible() || button->text().isEmpty()) continue;
        EXPECT_LE(button->sizeHint().width(), button->width())
            << when << ": " << button->text().toStdString();
    }
}

TEST_P(DriftWindowTexts, FitTheirBoxesAndKeepTheWindowsSize) {
    const std::unique_ptr<testing::InEnglish> english =
        GetParam() ? std::make_unique<testing::InEnglish>() : nullptr;
    testing::Program program;
    DriftAssistantWindow& window = program.view().drift_window();
    window.show();
    const QSize first = window.size();
    // Whole on a 1920 x 1080 screen, its title bar too, whatever the scale.
    EXPECT_LE(first.width() * window.devicePixelRatio(), 1920);
    EXPECT_LE((first.height() + 32) * window.devicePixelRatio(), 1080);
    const auto shown = [&](const char* when) {
        program.view().show_drift_assistant(program.state().assistant);
        QApplication::processEvents();
        expect_texts_fit(window, when);
        EXPECT_EQ(window.size(), first) << when;
    };
    shown("before any star");
    set_drift_input(program.state().assistant, DriftInput::ha, 0);
    add_samples(program, 25, 0.0);
    shown("north not known");  // the longest headline
    set_drift_orientation(program.state().assistant, {}, AngleSource::typed);
    shown("the answer, and the knob to turn");
    window.controls().calibrate->click();
    EXPECT_EQ(program.state().assistant.calibrate_next, CalibrationMove::north);
    shown("calibrating");
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, DriftWindowTexts, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& row) {
                             return std::string(row.param ? "English" : "Japanese");
                         });

}  // namespace
}  // namespace trakora::ui
