// SPDX-License-Identifier: MIT
#include "chart/chart_gui_guard.hpp"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdlib>

namespace trakora::chart {

ChartGuiGuard::ChartGuiGuard() {
    if (QCoreApplication::instance() != nullptr) return;
    argv_[argc_++] = name_;
    const char* asked = std::getenv("QT_QPA_PLATFORM");
    if (asked == nullptr || *asked == '\0') {
        argv_[argc_++] = platform_option_;
        argv_[argc_++] = platform_;
    }
    argv_[argc_] = nullptr;
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

ChartGuiGuard::~ChartGuiGuard() = default;

bool ChartGuiGuard::ready() const { return can_paint_text(); }

bool can_paint_text() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

}  // namespace trakora::chart
