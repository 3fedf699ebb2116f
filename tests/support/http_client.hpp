// SPDX-License-Identifier: MIT
// A plain HTTP/1.1 client for tests of the web face, on POSIX sockets so that it does not
// share the server's code: one request, its status and body; or a bare connection that
// sends what a test says and then waits.
//
//   HttpReply r = http_request(port, "GET /api/state?token=abc HTTP/1.1\r\n\r\n");
//   EXPECT_EQ(r.status, 200);
#pragma once

#include <cstdint>
#include <string>

namespace trakora::testing {

struct HttpReply {
    int status = 0;  // 0 when the server closed without an answer
    std::string body;
};

// Sends `request` (Host and Connection: close are added after its first line) and reads the
// answer; status 0 when the connection fails or the server closes first.
HttpReply http_request(std::uint16_t port, const std::string& request);
// GET or POST `path` with the token in the query, unless it is empty.
HttpReply http_get(std::uint16_t port, const std::string& path, const std::string& token);
HttpReply http_post(std::uint16_t port, const std::string& path, const std::string& token,
                    const std::string& body = "");

// A connection that stays open until closed or destroyed.
class RawConnection {
  public:
    explicit RawConnection(std::uint16_t port);
    ~RawConnection();
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;
    bool connected() const { return fd_ >= 0; }
    void send(const std::string& bytes);
    // Whether the server closes the connection before `seconds` pass without a byte
    // (bytes that come are read and dropped).
    bool closed_by_server(int seconds);

  private:
    int fd_ = -1;
};

// A port no one listens on now (bound to 0 and let go).
std::uint16_t free_port();

}  // namespace trakora::testing
