// SPDX-License-Identifier: MIT
// The web face's server: Qt's HTTP server in a thread of its own, so nothing a request
// does can stall or end the measurement cycle. The cycle publishes the state after each
// tick into a Mailbox and takes the page's actions from it between ticks; the server only
// reads the last state and queues actions.
//
// Every request needs the token (`?token=...` or the header X-Trakora-Token), else 401
// with nothing else; GET reads (/, /words.json, /api/state, /api/cutout.png), POST acts
// (/api/action/new-segment, new-star, calibrate with dir, turn-azimuth, turn-altitude);
// bodies over Limits::body_bytes get 413, an action body that is not empty or a JSON
// object 400 (as does a calibration without its way), an unknown path 404, a known path
// with the other method 405, an action the session refuses at the last state 409 with
// {"refused": REASON}. At most Limits::clients connections at once (more
// are closed as they come), and a connection that sends nothing for Limits::idle_ms is
// closed: QHttpServer 6.4 has neither limit, so they are kept by the QTcpServer it listens
// through.
//
//   Mailbox mailbox;
//   WebServer server(mailbox, random_token());
//   if (!server.start({"127.0.0.1", 8080}, &error)) ...
//   mailbox.publish(web_state_json(...), cutout);    // after each tick
//   for (Action a : mailbox.take_actions()) ...      // between ticks
#pragma once

#include <QByteArray>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/geometry.hpp"
#include "session/drift_actions.hpp"
#include "web/serve_address.hpp"

namespace trakora::web {

// What the page's buttons do, as the drift window's buttons do it; "Calibrate" with the
// hand controller's button the window's list names.
enum class Action {
    new_segment,
    turn_azimuth,
    turn_altitude,
    new_star,
    calibrate_north,  // the four in the order of CalibrationMove
    calibrate_south,
    calibrate_east,
    calibrate_west,
};
// "new-segment", "turn-azimuth", "turn-altitude", "new-star", and "calibrate" with `dir`
// "north", "south", "east" or "west".
std::optional<Action> action_named(std::string_view name, std::string_view dir = {});
DriftAction drift_action(Action action);
std::optional<CalibrationMove> calibration_move(Action action);

// Why the session would refuse each action now (drift_refusal_name), kept with the state
// it was decided on: the server answers 409 from it at once.
using Refusals = std::map<DriftAction, std::string>;

class Mailbox {
  public:
    void publish(std::string state_json, QByteArray cutout_png, Refusals refusals = {});
    std::string state() const;
    QByteArray cutout() const;
    // The reason `action` is refused, "" when it is taken.
    std::string refusal(Action action) const;
    void post(Action action);
    std::vector<Action> take_actions();

  private:
    mutable std::mutex mutex_;
    std::string state_ = "{}";
    QByteArray cutout_;
    Refusals refusals_;
    std::vector<Action> actions_;
};

struct Limits {
    int clients = 32;
    int idle_ms = 30000;
    long long body_bytes = 16 * 1024;
};

class WebServer {
  public:
    WebServer(Mailbox& mailbox, std::string token, Limits limits = {});
    ~WebServer();  // stops the thread, closing every connection
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    // Listens at `at` from a thread of its own; false, with the reason, when it cannot.
    // Called from the program's main thread: the server's thread needs Qt's application
    // object, made here (and kept while the server lives) when the program has none.
    bool start(const ServeAddress& at, std::string* error);
    std::uint16_t port() const;
    // The page's address with the token, for people: http://HOST:PORT/?token=...
    std::string url() const;
    // The same for a phone on the network: listening on every network (0.0.0.0), the
    // address carries this machine's first IPv4 address that is not its own loopback.
    std::string phone_url() const;

  private:
    struct Thread;
    struct Application;
    std::unique_ptr<Application> application_;
    std::unique_ptr<Thread> thread_;
};

}  // namespace trakora::web
