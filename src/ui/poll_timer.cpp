// SPDX-License-Identifier: MIT
#include "ui/poll_timer.hpp"

#include "core/polling_cycle.hpp"

namespace trakora::ui {

PollTimer::PollTimer(QObject* parent) : QObject(parent) {
    connect(&timer_, &QTimer::timeout, this, &PollTimer::tick);
}

void PollTimer::set_enabled(bool enabled) {
    enabled_ = enabled;
    apply(false);
}

void PollTimer::set_interval(int milliseconds) {
    interval_ = milliseconds;
    apply(true);
}

void PollTimer::apply(bool restart) {
    if (!polling_ticks(enabled_, interval_)) {
        timer_.stop();
        return;
    }
    if (restart || !timer_.isActive()) timer_.start(interval_);
}

}  // namespace trakora::ui
