// SPDX-License-Identifier: MIT
// Timer1: a periodic timer with an enabled flag and an interval in milliseconds that
// ticks on the user-interface thread, and only while enabled with an interval above 0.
#pragma once

#include <QObject>
#include <QTimer>

#include "core/start_values.hpp"

namespace trakora::ui {

class PollTimer : public QObject {
    Q_OBJECT
  public:
    static constexpr int kStartInterval = kStartPollingInterval;

    explicit PollTimer(QObject* parent = nullptr);

    bool enabled() const { return enabled_; }
    int interval() const { return interval_; }
    // True while periods are being counted.
    bool running() const { return timer_.isActive(); }

    // Switching on a running timer leaves its period alone; switching off stops it.
    void set_enabled(bool enabled);
    // A new interval starts a fresh period when the timer runs; 0 (or less) pauses it
    // until a positive interval arrives.
    void set_interval(int milliseconds);

  signals:
    void tick();

  private:
    void apply(bool restart);

    QTimer timer_;
    bool enabled_ = false;
    int interval_ = kStartInterval;
};

}  // namespace trakora::ui
