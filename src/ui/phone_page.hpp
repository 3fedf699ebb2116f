// SPDX-License-Identifier: MIT
// The desktop's drift session on the page for a phone at the mount (docs/web.md), as
// `trakora --serve` starts it: the web face's server in its own thread, the state
// published after each tick and each action, and the page's buttons pressed as the drift
// window's own (its signals, so that the same handlers run).
//
//   PhonePage phone(state, view, "ja");
//   if (!phone.start({"0.0.0.0", 8080}, token, &error)) ...
//   std::printf("%s\n", phone.url().c_str());
#pragma once

#include <QObject>
#include <QTimer>
#include <memory>
#include <string>

#include "core/state.hpp"
#include "ui/qt_view.hpp"
#include "web/web_server.hpp"
#include "web/web_state.hpp"

namespace trakora::ui {

class PhonePage final : public QObject {
  public:
    // `state` and `view` outlive it; `lang` is the page's language ("ja" or "en").
    PhonePage(State& state, QtView& view, std::string lang);
    ~PhonePage() override;

    // Listens at `at` with `token` ("" for 128 random bits); false, with the reason, when
    // it cannot. Once listening, the drift window's "Show on phone" shows its address.
    bool start(const web::ServeAddress& at, std::string token, std::string* error);
    // The page's address with its token, as a phone reaches it (WebServer::phone_url).
    std::string url() const;

  private:
    void round();

    State& state_;
    QtView& view_;
    std::string lang_;
    web::Mailbox mailbox_;
    std::unique_ptr<web::WebServer> server_;
    web::TickFacts tick_;
    QTimer timer_;
    bool changed_ = true;
    int quiet_rounds_ = 0;
};

}  // namespace trakora::ui
