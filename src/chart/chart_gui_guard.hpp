// SPDX-License-Identifier: MIT
// Painting text, even into an image or an SVG, needs a QGuiApplication. A headless tool
// that writes a chart holds one of these while it paints:
//
//   chart::ChartGuiGuard gui;  // only when a plot is asked for
//   if (!chart::write_drift_chart(path, chart, size, &error)) ...
//
// It makes a QGuiApplication when the program has none, on the "offscreen" platform unless
// QT_QPA_PLATFORM names another, so a dead or missing display cannot stop the tool. In a
// program that already has one (the desktop program, the tests) it does nothing.
#pragma once

#include <memory>

class QGuiApplication;

namespace trakora::chart {

class ChartGuiGuard {
  public:
    ChartGuiGuard();
    ~ChartGuiGuard();
    ChartGuiGuard(const ChartGuiGuard&) = delete;
    ChartGuiGuard& operator=(const ChartGuiGuard&) = delete;

    // Whether text can be painted now: false only when the program holds a plain
    // QCoreApplication, beside which no QGuiApplication can be made.
    bool ready() const;

  private:
    int argc_ = 0;
    char name_[16] = "trakora";
    char platform_option_[16] = "-platform";
    char platform_[16] = "offscreen";
    char* argv_[4] = {};
    std::unique_ptr<QGuiApplication> app_;
};

// Whether a QGuiApplication exists, so text can be painted.
bool can_paint_text();

}  // namespace trakora::chart
