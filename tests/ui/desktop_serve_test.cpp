// SPDX-License-Identifier: MIT
// trakora --serve: the desktop prints the page's address with its token, serves its own
// drift session, answers a knob's turn the session does not offer with 409, and presses
// the page's "New star" as the drift window's button.
#include <gtest/gtest.h>
#include <signal.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <string>
#include <thread>

#include "support/fits_files.hpp"
#include "support/http_client.hpp"
#include "support/run_program.hpp"

namespace {

using trakora::testing::http_get;
using trakora::testing::http_post;

constexpr const char* kToken = "desktop-test-token";

TEST(DesktopServe, ServesTheDriftSessionAndTakesTheDriftWindowsActions) {
    trakora::testing::TempDir dir;
    const std::uint16_t port = trakora::testing::free_port();
    QJsonObject state;
    int refused = 0, new_star = 0;
    std::string reason;
    const auto run = trakora::testing::run_program(
        {TRAKORA_DESKTOP_PATH, "--folder", dir.path().string(), "--lang", "en", "--serve",
         std::to_string(port), "--token", kToken},
        {.while_running = [&](pid_t pid) {
            const auto state_until = [&](auto done) {
                for (int attempt = 0; attempt < 400; ++attempt) {
                    const auto reply = http_get(port, "/api/state", kToken);
                    state = QJsonDocument::fromJson(QByteArray::fromStdString(reply.body)).object();
                    if (reply.status == 200 && done()) return;
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                }
            };
            state_until([&] { return state["phase"].isObject(); });
            const auto turn = http_post(port, "/api/action/turn-azimuth", kToken);
            refused = turn.status;
            reason = turn.body;
            new_star = http_post(port, "/api/action/new-star", kToken).status;
            state_until([&] { return state["segment_requested"].toString() == "new_star"; });
            ::kill(pid, SIGTERM);
        }});
    EXPECT_NE(run.out.find("http://127.0.0.1:" + std::to_string(port) + "/?token=" + kToken),
              std::string::npos)
        << run.out << run.err;
    EXPECT_EQ(refused, 409);
    EXPECT_NE(reason.find("knob_not_now"), std::string::npos) << reason;
    EXPECT_EQ(new_star, 202);
    EXPECT_EQ(state["lang"].toString(), "en");
    EXPECT_EQ(state["phase"].toObject()["name"].toString(), "measure_azimuth");
    EXPECT_EQ(state["segment_requested"].toString(), "new_star");
}

}  // namespace
