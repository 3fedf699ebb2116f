// SPDX-License-Identifier: MIT
// The desktop program over a camera that writes its images in place, named as NINA names
// them: with the wider name rule every image is measured and no message box opens, though
// most ticks find the newest image still being written.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "core/state.hpp"
#include "ui_fixture.hpp"

namespace trakora::ui {
namespace {

using testing::BoxAnswerer;
using testing::Program;
using testing::spin_until;

constexpr int kImages = 6;
constexpr int kPieces = 5;  // each image is written in this many pieces, a tick after each

// A 64 x 48 image, zero but for one bright pixel that moves a pixel down per image.
std::string star_image(int n) {
    std::vector<double> samples(64 * 48, 0);
    samples[(20 + n) * 64 + 30] = 30000;
    char date[40];
    std::snprintf(date, sizeof date, "'2026-12-09T01:%02d:00'", n);
    return trakora::testing::make_fits(16, 64, 48, samples,
                                       {trakora::testing::fits_card("DATE-OBS", date)});
}

std::string image_name(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "Light_%04d.fits", n + 1);
    return name;
}

TEST(InPlaceCamera, ARunShowsNoMessageBox) {
    Program program;
    program.state().name_rule = NameRule::any;
    trakora::testing::write_file(program.folder().file(image_name(0)), star_image(0));
    BoxAnswerer answerer;
    program.controls().command3->click();
    ASSERT_TRUE(program.view().object_window_open());
    ObjectPicture& picture = program.view().object_window().picture();
    const QPointF at(30, 20);
    QMouseEvent press(QEvent::MouseButtonPress, at, picture.mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&picture, &press);
    program.view().set_timer_interval(1);
    program.controls().command1->click();
    ASSERT_TRUE(program.controls().timer1->enabled());

    // After each tick the camera writes the next piece of the image in hand.
    int image = 1;
    int piece = 0;
    std::ofstream file;
    std::string bytes;
    QObject::connect(program.controls().timer1, &PollTimer::tick, [&] {
        if (image > kImages) return;
        if (piece == 0) {
            bytes = star_image(image);
            file.open(program.folder().file(image_name(image)), std::ios::binary);
        }
        const std::size_t from = bytes.size() * static_cast<std::size_t>(piece) / kPieces;
        const std::size_t to = bytes.size() * static_cast<std::size_t>(piece + 1) / kPieces;
        file.write(bytes.data() + from, static_cast<std::streamsize>(to - from));
        file.flush();
        if (++piece == kPieces) {
            file.close();
            piece = 0;
            ++image;
        }
    });
    const auto measured_last = [&] {
        return image > kImages && program.state().fits_file_name == image_name(kImages) &&
               program.state().object_y == 20 + kImages - 3;
    };
    ASSERT_TRUE(spin_until(measured_last));
    // Every image in turn, once its samples were all there (the last piece is the block's
    // padding, so an image may be measured twice), and nothing else.
    std::vector<double> rows;
    for (const auto& slot : program.state().measurements)
        if (slot[1] != -999 && (rows.empty() || rows.back() != slot[1])) rows.push_back(slot[1]);
    std::vector<double> expected;
    for (int n = 0; n <= kImages; ++n) expected.push_back(17 + n);
    EXPECT_EQ(rows, expected);
    program.controls().command2->click();  // Stop: its own box, the only one

    EXPECT_EQ(answerer.texts(), std::vector<std::string>{"objectが解除されました"});
}

}  // namespace
}  // namespace trakora::ui
