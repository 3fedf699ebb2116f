// SPDX-License-Identifier: MIT
// A whole polar alignment through the desktop's windows over the simulated mount: the
// user does only what the drift window says (wait, turn the knob it offers by what it
// advises, slew where "where to point" says, calibrate when it asks for north) and the
// mount, whose axis is the truth, ends within 1′ of the pole on both axes in three rounds.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "camera/simulated_image.hpp"
#include "fits/fits_writer.hpp"
#include "session/alignment_step.hpp"
#include "session/where_to_point.hpp"
#include "ui_fixture.hpp"

namespace trakora::ui {
namespace {

namespace fs = std::filesystem;
using camera::SimulateOptions;

constexpr long long kFirstImageMs = 1'800'000'000'000;
constexpr long kMostImages = 1500;  // 50 minutes of the night

struct Night {
    const char* name;
    std::vector<std::string> mount;  // the camera's options for the first star
};

// The camera and the mount, its images written into the program's folder 2 s of
// simulated time apart as fast as the program measures them.
class GuidedNight {
  public:
    GuidedNight(testing::Program& program, std::vector<std::string> args) : program_(program) {
        args.insert(args.begin(), program.folder().path().string());
        for (const char* a : {"--size", "640x480", "--scale", "2.5", "--lon", "10"})
            args.emplace_back(a);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        std::string error;
        options_ =
            *camera::parse_simulate_options(static_cast<int>(argv.size()), argv.data(), error);
        params_ = camera::sky_params(options_);
        field_ = camera::make_sky_field(params_);
        params_.mount.ra_hours = camera::pointing_ra_hours(params_.mount, kFirstImageMs);
    }

    long long now_ms() const { return kFirstImageMs + 2000 * index_; }
    AxisOffset truth() const {
        return axis_offset(params_.mount.setup, camera::knobs_turned(params_.mount, index_));
    }
    Position star() const { return camera::guide_star_position(params_, field_, index_); }

    // The next image, then the program's tick.
    void image() {
        const fs::path file =
            program_.folder().file(camera::format_name(options_.name_pattern, index_ + 1));
        write_file_replacing(file, camera::simulated_image_file(options_, params_, field_, index_,
                                                                camera::iso_time(now_ms()))
                                       .bytes);
        std::error_code ec;
        fs::remove(program_.folder().file(camera::format_name(options_.name_pattern, index_ - 2)),
                   ec);
        ++index_;
        form1::Timer1_Timer(program_.state(), program_.view());
    }
    void turn(KnobTurn t) { params_.mount.knobs.push_back({t, index_}); }
    void nudge_north(double arcsec) { params_.mount.nudges.push_back({{arcsec, 0}, index_}); }
    void slew(double ha_hours, double dec_deg) {
        camera::slew_mount(params_.mount, ha_hours, dec_deg, index_, now_ms(), 2);
    }
    long images() const { return index_; }

  private:
    testing::Program& program_;
    SimulateOptions options_;
    camera::SkyParams params_;
    camera::SkyField field_;
    long index_ = 0;
};

// With TRAKORA_SHOTS=DIR, on X (xvfb-run -s '-screen 0 1920x1080x24'), the drift window
// at each view of the first round as DIR/drift-window-LANG-VIEW.png, LANG from
// TRAKORA_SHOTS_LANG (ja, or en), scrolled to `part` as a user would.
void shoot(DriftAssistantWindow& window, const char* view, QWidget* part = nullptr) {
    static std::vector<std::string> taken;
    const char* dir = std::getenv("TRAKORA_SHOTS");
    if (dir == nullptr || std::find(taken.begin(), taken.end(), view) != taken.end()) return;
    taken.emplace_back(view);
    window.raise();
    window.controls().body->ensureWidgetVisible(part ? part : window.controls().chart);
    for (int k = 0; k < 20; ++k) QApplication::processEvents();
    const char* lang = std::getenv("TRAKORA_SHOTS_LANG");
    // On the screen's pixels, which a scale factor multiplies.
    const qreal r = window.devicePixelRatioF();
    const QRect g = window.geometry();
    const QRect at(qRound(g.x() * r), qRound(g.y() * r), qRound(g.width() * r),
                   qRound(g.height() * r));
    const std::string command =
        QString::asprintf(
            "xwd -root -silent | xwdtopnm 2>/dev/null | pnmcut %d %d %d %d | "
            "pnmtopng > %s/drift-window-%s-%s.png",
            at.x(), at.y(), at.width(), at.height(), dir, lang ? lang : "ja", view)
            .toStdString();
    EXPECT_EQ(std::system(command.c_str()), 0);
}

// "時角 -0.5h・赤緯 10°・..." ("HA -0.5h, Dec 10°, ..."): the patch the window names.
std::pair<double, double> patch_shown(const QLabel* label) {
    static const QRegularExpression patch(QStringLiteral("([-+0-9.]+)h\\D+?([-+]?[0-9]+)°"));
    const QRegularExpressionMatch m = patch.match(label->text());
    EXPECT_TRUE(m.hasMatch()) << label->text().toStdString();
    return {m.captured(1).toDouble(), m.captured(2).toDouble()};
}

class GuidedAlignment : public ::testing::TestWithParam<Night> {};

TEST_P(GuidedAlignment, EndsWithinAnArcminuteInThreeRounds) {
    const char* lang = std::getenv("TRAKORA_SHOTS_LANG");
    const std::unique_ptr<testing::InEnglish> english =
        lang && std::string(lang) == "en" ? std::make_unique<testing::InEnglish>() : nullptr;
    testing::Program program;
    testing::BoxAnswerer answerer;
    GuidedNight night(program, GetParam().mount);
    DriftAssistantWindow& window = program.view().drift_window();
    const DriftWindowControls& c = window.controls();
    const DriftAssistant& a = program.state().assistant;
    program.form1().show();

    // The first image, the object window, and a click on the star.
    night.image();
    program.controls().command3->click();
    ObjectPicture& picture = program.view().object_window().picture();
    const QPointF at(std::round(night.star().x), std::round(night.star().y));
    QMouseEvent press(QEvent::MouseButtonPress, at, picture.mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&picture, &press);
    window.open();

    int turns[2] = {0, 0};
    bool calibrating = false;
    while (night.images() < kMostImages) {
        const AlignmentStep step = alignment_step(a);
        SCOPED_TRACE(std::string(step_action_name(step.action)) + " at image " +
                     std::to_string(night.images()));
        // Where to point names the star of the phase the window is in.
        const NextPhase next = where_to_point(a, std::nullopt, 1.8e9).next;
        if (step.phase == AlignmentPhase::measure_azimuth) {
            EXPECT_NE(next, NextPhase::altitude);
        } else if (step.phase == AlignmentPhase::measure_altitude) {
            EXPECT_NE(next, NextPhase::azimuth);
        }
        if (step.action == StepAction::wait && step.elapsed_min > 1) shoot(window, "measuring");
        if (step.action == StepAction::done) {
            shoot(window, "aligned");
            break;
        }
        switch (step.action) {
            case StepAction::give_orientation:
                // Once: the north button pressed a second or so into the armed segment.
                ASSERT_FALSE(calibrating) << "the calibration did not take";
                calibrating = true;
                c.calibrate_way->setCurrentIndex(0);
                c.calibrate->click();
                night.image();
                night.nudge_north(45);
                break;
            case StepAction::turn_azimuth_knob:
            case StepAction::turn_altitude_knob: {
                const bool az = step.action == StepAction::turn_azimuth_knob;
                shoot(window, "answer");
                ASSERT_TRUE(step.knob_allowed && step.direction_known);
                (az ? c.knob_target->azimuth : c.knob_target->altitude)->click();
                ASSERT_TRUE(a.adjusting.has_value());
                const double advised = a.adjusting->adjust.error_arcmin;
                const double truth = az ? night.truth().az_arcmin : night.truth().alt_arcmin;
                if (std::abs(truth) > 2) {
                    EXPECT_EQ(advised > 0, truth > 0) << advised << "′ advised, " << truth;
                }
                ++turns[az ? 0 : 1];
                // Turned in four goes, an image after each, then on until the target.
                for (int k = 0; k < 4; ++k) {
                    night.turn(az ? KnobTurn{-advised / 4, 0} : KnobTurn{0, -advised / 4});
                    night.image();
                    if (k == 1) shoot(window, "turning", c.knob_target);
                }
                for (int k = 0; k < 5 && !a.adjusting->reached; ++k) night.image();
                EXPECT_TRUE(a.adjusting->reached) << "the star never reached its target";
                shoot(window, "target", c.knob_target);
                c.new_segment->click();
                break;
            }
            case StepAction::target_reached:
                c.new_segment->click();
                break;
            case StepAction::slew_altitude_star:
            case StepAction::slew_check_star:
            case StepAction::other_star: {
                const bool altitude =
                    step.action == StepAction::slew_altitude_star ||
                    (step.action == StepAction::other_star && next == NextPhase::altitude);
                const auto [ha, dec] = patch_shown(altitude ? c.where->west() : c.where->azimuth());
                night.slew(ha, dec);
                c.new_star->click();
                night.image();
                break;
            }
            case StepAction::give_scale:
            case StepAction::give_hour_angle:
                FAIL() << "the headers tell the scale and the hour angle";
            default:
                night.image();
        }
    }
    const AxisOffset truth = night.truth();
    EXPECT_EQ(alignment_step(a).action, StepAction::done);
    EXPECT_LT(std::abs(truth.az_arcmin), 1) << "azimuth";
    EXPECT_LT(std::abs(truth.alt_arcmin), 1) << "altitude";
    EXPECT_LE(std::max(turns[0], turns[1]), 3) << "rounds";
    EXPECT_TRUE(answerer.seen().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Nights, GuidedAlignment,
    ::testing::Values(Night{"north_plate_solved",
                            {"--lat", "50", "--dec", "5", "--ha", "0.2", "--az-offset", "7",
                             "--alt-offset", "-5", "--rotation", "20", "--wcs"}},
                      Night{"camera_turned_without_plate",
                            {"--lat", "50", "--dec", "10", "--ha", "-0.3", "--az-offset", "-5",
                             "--alt-offset", "6", "--rotation", "140"}},
                      Night{"south_plate_solved",
                            {"--lat", "-35", "--dec", "-15", "--ha", "0.3", "--az-offset", "6",
                             "--alt-offset", "4", "--rotation", "10", "--wcs"}}),
    [](const ::testing::TestParamInfo<Night>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace trakora::ui
