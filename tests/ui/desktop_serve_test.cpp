// SPDX-License-Identifier: MIT
// trakora --serve: the desktop prints the page's address with its token, serves its own
// drift session, answers a knob's turn the session does not offer with 409, and presses
// the page's "New star" as the drift window's button.
#include <gtest/gtest.h>
#include <signal.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <thread>

#include "support/fits_files.hpp"
#include "support/http_client.hpp"
#include "support/run_program.hpp"

TEST(DesktopServe, ServesTheDriftSessionAndTakesTheDriftWindowsActions) {
    using trakora::testing::http_post;
    const std::string token = "desktop-test-token";
    trakora::testing::TempDir dir;
    const std::uint16_t port = trakora::testing::free_port();
    QJsonObject state;
    trakora::testing::HttpReply turn;
    int new_star = 0;
    const auto state_until = [&](const char* key, const char* value) {
        for (int attempt = 0; attempt < 400 && state[key].toString() != value; ++attempt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const std::string body = trakora::testing::http_get(port, "/api/state", token).body;
            state = QJsonDocument::fromJson(QByteArray::fromStdString(body)).object();
        }
    };
    const auto run = trakora::testing::run_program(
        {TRAKORA_DESKTOP_PATH, "--folder", dir.path().string(), "--lang", "en", "--serve",
         std::to_string(port), "--token", token},
        {.while_running = [&](pid_t pid) {
            state_until("lang", "en");
            turn = http_post(port, "/api/action/turn-azimuth", token);
            new_star = http_post(port, "/api/action/new-star", token).status;
            state_until("segment_requested", "new_star");
            ::kill(pid, SIGTERM);
        }});
    EXPECT_NE(run.out.find("http://127.0.0.1:" + std::to_string(port) + "/?token=" + token),
              std::string::npos)
        << run.out << run.err;
    EXPECT_EQ(turn.status, 409);
    EXPECT_EQ(turn.body, "{\"refused\": \"knob_not_now\"}\n");
    EXPECT_EQ(new_star, 202);
    EXPECT_EQ(state["phase"].toObject()["name"].toString(), "measure_azimuth");
    EXPECT_EQ(state["segment_requested"].toString(), "new_star");
}
