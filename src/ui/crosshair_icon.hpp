// SPDX-License-Identifier: MIT
// The red crosshair: the main window's icon and the pointer over the object picture.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QImage>

namespace trakora::ui {

inline constexpr int kCrosshairSide = 32;

// The cross's centre is the corner shared by pixels 15 and 16, so the hot spot pixel
// (16, 16) puts that corner exactly on the pointer position the picture reports.
inline constexpr int kCrosshairHotSpot = 16;

// True for the pixels of the four red arms: rows or columns 15 and 16, between 6 and 25,
// leaving 14..17 free in the middle.
bool crosshair_pixel_is_red(int column, int row);

// 32 x 32 ARGB, transparent but for the arms in RGB(255, 0, 0).
QImage crosshair_image();
QIcon crosshair_icon();
QCursor crosshair_cursor();

}  // namespace trakora::ui
