// SPDX-License-Identifier: MIT
// The web face's server on localhost, through a plain socket client: the token rule before
// everything, the status of each kind of request, an action queued for the cycle, the
// 32-client limit and a client that sends half a request and stops.
#include "web/web_server.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/http_client.hpp"

namespace trakora::web {
namespace {

using trakora::testing::http_get;
using trakora::testing::http_post;
using trakora::testing::http_request;
using trakora::testing::RawConnection;

constexpr const char* kToken = "0123456789abcdef0123456789abcdef";

class WebServerTest : public ::testing::Test {
  protected:
    std::uint16_t serve(Limits limits = {}) {
        server_ = std::make_unique<WebServer>(mailbox_, kToken, limits);
        std::string error;
        EXPECT_TRUE(server_->start({"127.0.0.1", 0}, &error)) << error;
        mailbox_.publish("{\"summary\": {}}\n", {});
        return server_->port();
    }

    Mailbox mailbox_;
    std::unique_ptr<WebServer> server_;
};

struct RequestRow {
    const char* name;
    std::string request;  // the first line and any headers, without the blank line
    std::string body;
    int status;
    const char* body_holds = "";  // a text the answer's body holds
};

TEST_F(WebServerTest, AnswersEachRequestByTheRules) {
    const std::uint16_t port = serve();
    const std::string t = std::string("token=") + kToken;
    const std::vector<RequestRow> rows = {
        {"no_token", "GET /api/state HTTP/1.1", "", 401},
        {"wrong_token", "GET /api/state?token=0123456789abcdef0123456789abcdee HTTP/1.1", "", 401},
        {"short_token", "GET /api/state?token=0123 HTTP/1.1", "", 401},
        {"no_token_unknown_path", "GET /etc/passwd HTTP/1.1", "", 401},
        {"no_token_action", "POST /api/action/new-segment HTTP/1.1", "", 401},
        {"query_token", "GET /api/state?" + t + " HTTP/1.1", "", 200, "\"summary\""},
        {"header_token", "GET /api/state HTTP/1.1\r\nX-Trakora-Token: " + std::string(kToken), "",
         200, "\"summary\""},
        {"page", "GET /?" + t + " HTTP/1.1", "", 200, "/api/state"},
        {"words", "GET /words.json?" + t + " HTTP/1.1", "", 200, "\"ja\""},
        {"no_cutout_yet", "GET /api/cutout.png?" + t + " HTTP/1.1", "", 404},
        {"unknown_path", "GET /api/nothing?" + t + " HTTP/1.1", "", 404},
        {"unknown_action", "POST /api/action/explode?" + t + " HTTP/1.1", "", 404},
        {"state_by_post", "POST /api/state?" + t + " HTTP/1.1", "", 405},
        {"action_by_get", "GET /api/action/new-segment?" + t + " HTTP/1.1", "", 405},
        {"malformed_body", "POST /api/action/new-segment?" + t + " HTTP/1.1", "{not json", 400},
        {"body_too_large", "POST /api/action/new-segment?" + t + " HTTP/1.1",
         std::string(16 * 1024 + 1, ' '), 413},
        {"calibrate_without_way", "POST /api/action/calibrate?" + t + " HTTP/1.1", "", 400},
        {"calibrate_unknown_way", "POST /api/action/calibrate?dir=up&" + t + " HTTP/1.1", "", 400},
    };
    for (const RequestRow& row : rows) {
        const auto reply = http_request(
            port, row.request + "\r\nContent-Length: " + std::to_string(row.body.size()) +
                      "\r\n\r\n" + row.body);
        EXPECT_EQ(reply.status, row.status) << row.name;
        EXPECT_TRUE(row.status != 401 || reply.body.empty()) << row.name << ": nothing else";
        EXPECT_NE(reply.body.find(row.body_holds), std::string::npos) << row.name;
    }
    EXPECT_TRUE(mailbox_.take_actions().empty()) << "no refused request acts";
}

TEST_F(WebServerTest, QueuesActionsForTheCycle) {
    const std::uint16_t port = serve();
    EXPECT_EQ(http_post(port, "/api/action/new-segment", kToken).status, 202);
    EXPECT_EQ(http_post(port, "/api/action/turn-altitude", kToken, "{}").status, 202);
    EXPECT_EQ(http_post(port, "/api/action/new-star", kToken).status, 202);
    EXPECT_EQ(http_request(port, "POST /api/action/calibrate?dir=east&token=" +
                                     std::string(kToken) + " HTTP/1.1\r\nContent-Length: 0\r\n\r\n")
                  .status,
              202);
    EXPECT_EQ(http_post(port, "/api/action/calibrate", kToken, "{\"dir\": \"west\"}").status, 202);
    EXPECT_EQ(mailbox_.take_actions(),
              (std::vector<Action>{Action::new_segment, Action::turn_altitude, Action::new_star,
                                   Action::calibrate_east, Action::calibrate_west}));
    EXPECT_TRUE(mailbox_.take_actions().empty());
}

// 32 clients that say nothing hold every place; the 33rd is closed unanswered, and a place
// freed serves again.
TEST_F(WebServerTest, HoldsAtMost32Clients) {
    const std::uint16_t port = serve();
    std::vector<std::unique_ptr<RawConnection>> quiet;
    for (int k = 0; k < 32; ++k) quiet.push_back(std::make_unique<RawConnection>(port));
    for (const auto& c : quiet) ASSERT_TRUE(c->connected());
    EXPECT_EQ(http_get(port, "/api/state", kToken).status, 0);
    quiet.pop_back();
    int status = 0;
    for (int attempt = 0; attempt < 200 && status == 0; ++attempt)
        status = http_get(port, "/api/state", kToken).status;
    EXPECT_EQ(status, 200);
}

// Half a request holds its place only until the idle limit, and others are served meanwhile.
TEST_F(WebServerTest, ClosesAClientThatStopsHalfway) {
    const std::uint16_t port = serve({.clients = 32, .idle_ms = 300, .body_bytes = 16 * 1024});
    RawConnection half(port);
    half.send("GET /api/state?token=" + std::string(kToken) + " HTTP/1.1\r\nHost: 127.0");
    EXPECT_EQ(http_get(port, "/api/state", kToken).status, 200);
    EXPECT_TRUE(half.closed_by_server(20));
}

}  // namespace
}  // namespace trakora::web
