// SPDX-License-Identifier: MIT
#include "ui/phone_page.hpp"

#include <QDateTime>
#include <utility>

#include "web/serve_address.hpp"

namespace trakora::ui {
namespace {

constexpr int kRoundMs = 250;    // the page's buttons are pressed within this
constexpr int kQuietRounds = 8;  // the state is published at least every 2 s

}  // namespace

PhonePage::PhonePage(State& state, QtView& view, std::string lang)
    : state_(state), view_(view), lang_(std::move(lang)) {
    DriftAssistantWindow& drift = view_.drift_window();
    const auto changed = [this] { changed_ = true; };
    QObject::connect(view_.main_window().controls().timer1, &PollTimer::tick, this, [this] {
        ++tick_.count;
        tick_.unix_s = static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000;
        changed_ = true;
    });
    QObject::connect(&drift, &DriftAssistantWindow::newSegmentRequested, this, changed);
    QObject::connect(&drift, &DriftAssistantWindow::newStarRequested, this, changed);
    QObject::connect(&drift, &DriftAssistantWindow::calibrateRequested, this, changed);
    QObject::connect(drift.controls().knob_target, &KnobTargetView::turnRequested, this, changed);
    timer_.setInterval(kRoundMs);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { round(); });
}

PhonePage::~PhonePage() = default;

bool PhonePage::start(const web::ServeAddress& at, std::string token, std::string* error) {
    server_ = std::make_unique<web::WebServer>(
        mailbox_, token.empty() ? web::random_token() : std::move(token));
    if (!server_->start(at, error)) {
        server_.reset();
        return false;
    }
    view_.drift_window().set_page_address(QString::fromStdString(server_->phone_url()));
    round();
    timer_.start();
    return true;
}

std::string PhonePage::url() const { return server_ ? server_->phone_url() : std::string(); }

void PhonePage::round() {
    // The page's buttons as the drift window's: the same handlers run.
    DriftAssistantWindow& drift = view_.drift_window();
    for (const web::Action action : mailbox_.take_actions()) {
        switch (web::drift_action(action)) {
            case DriftAction::new_segment:
                emit drift.newSegmentRequested();
                break;
            case DriftAction::new_star:
                emit drift.newStarRequested();
                break;
            case DriftAction::calibrate:
                emit drift.calibrateRequested(*web::calibration_move(action));
                break;
            case DriftAction::turn_azimuth:
                emit drift.controls().knob_target->turnRequested(Knob::azimuth);
                break;
            case DriftAction::turn_altitude:
                emit drift.controls().knob_target->turnRequested(Knob::altitude);
                break;
        }
    }
    if (!changed_ && ++quiet_rounds_ < kQuietRounds) return;
    changed_ = false;
    quiet_rounds_ = 0;
    web::publish_session(mailbox_, state_.assistant, tick_, lang_);
}

}  // namespace trakora::ui
