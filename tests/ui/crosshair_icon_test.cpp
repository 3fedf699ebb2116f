// SPDX-License-Identifier: MIT
#include "ui/crosshair_icon.hpp"

#include <gtest/gtest.h>

namespace trakora::ui {
namespace {

// The arms as rectangles: {first column, last column, first row, last row}.
struct Arm {
    const char* name;
    int c0, c1, r0, r1;
};
constexpr Arm kArms[] = {{"upper", 15, 16, 6, 13},
                         {"lower", 15, 16, 18, 25},
                         {"left", 6, 13, 15, 16},
                         {"right", 18, 25, 15, 16}};

const char* arm_at(int column, int row) {
    for (const Arm& a : kArms)
        if (column >= a.c0 && column <= a.c1 && row >= a.r0 && row <= a.r1) return a.name;
    return nullptr;
}

TEST(CrosshairIcon, PixelsFollowTheArmTable) {
    const QImage image = crosshair_image();
    ASSERT_EQ(image.size(), QSize(32, 32));
    ASSERT_TRUE(image.hasAlphaChannel());
    int red = 0;
    for (int row = 0; row < 32; ++row) {
        for (int column = 0; column < 32; ++column) {
            const QRgb pixel = image.pixel(column, row);
            if (const char* arm = arm_at(column, row)) {
                ++red;
                EXPECT_EQ(pixel, qRgba(255, 0, 0, 255))
                    << arm << " arm at " << column << "," << row;
            } else {
                EXPECT_EQ(qAlpha(pixel), 0)
                    << "opaque outside the arms at " << column << "," << row;
            }
        }
    }
    EXPECT_EQ(red, 4 * 16);
    for (int i = 14; i <= 17; ++i) EXPECT_EQ(qAlpha(image.pixel(i, i)), 0) << "centre " << i;
}

TEST(CrosshairIcon, CursorHotSpotIsTheCrossCentre) {
    const QCursor cursor = crosshair_cursor();
    EXPECT_EQ(cursor.hotSpot(), QPoint(16, 16));
    EXPECT_EQ(cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32), crosshair_image());
}

}  // namespace
}  // namespace trakora::ui
