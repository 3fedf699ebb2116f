// SPDX-License-Identifier: MIT
#include "support/http_client.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace trakora::testing {
namespace {

int connect_to(std::uint16_t port, int timeout_s) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    timeval limit{timeout_s, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(port);
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void send_all(int fd, const std::string& bytes) {
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
    }
}

}  // namespace

HttpReply http_request(std::uint16_t port, const std::string& request) {
    HttpReply reply;
    const int fd = connect_to(port, 20);
    if (fd < 0) return reply;
    const auto line_end = request.find("\r\n");
    send_all(fd, request.substr(0, line_end + 2) + "Host: 127.0.0.1\r\nConnection: close\r\n" +
                     request.substr(line_end + 2));
    std::string got;
    char buffer[65536];
    for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) {
        got.append(buffer, static_cast<std::size_t>(n));
        // Enough once the headers and Content-Length bytes are in.
        const auto head_end = got.find("\r\n\r\n");
        if (head_end == std::string::npos) continue;
        std::size_t length = 0;
        const auto at = got.find("\r\nContent-Length: ");
        if (at != std::string::npos && at < head_end)
            length = std::strtoul(got.c_str() + at + 18, nullptr, 10);
        if (got.size() >= head_end + 4 + length) break;
    }
    ::close(fd);
    if (got.rfind("HTTP/1.1 ", 0) != 0) return reply;
    reply.status = std::atoi(got.c_str() + 9);
    const auto head_end = got.find("\r\n\r\n");
    if (head_end != std::string::npos) reply.body = got.substr(head_end + 4);
    return reply;
}

HttpReply http_get(std::uint16_t port, const std::string& path, const std::string& token) {
    const std::string query = token.empty() ? ""
                                            : (path.find('?') == std::string::npos ? "?" : "&") +
                                                  std::string("token=") + token;
    return http_request(port, "GET " + path + query + " HTTP/1.1\r\n\r\n");
}

HttpReply http_post(std::uint16_t port, const std::string& path, const std::string& token,
                    const std::string& body) {
    const std::string query = token.empty() ? "" : "?token=" + token;
    return http_request(port, "POST " + path + query + " HTTP/1.1\r\nContent-Length: " +
                                  std::to_string(body.size()) + "\r\n\r\n" + body);
}

RawConnection::RawConnection(std::uint16_t port) : fd_(connect_to(port, 20)) {}

RawConnection::~RawConnection() {
    if (fd_ >= 0) ::close(fd_);
}

void RawConnection::send(const std::string& bytes) {
    if (fd_ >= 0) send_all(fd_, bytes);
}

bool RawConnection::closed_by_server(int seconds) {
    if (fd_ < 0) return true;
    timeval limit{seconds, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n == 0) return true;
        if (n < 0) return errno == ECONNRESET;
    }
}

std::uint16_t free_port() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof at;
    ::bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&at), &size);
    ::close(fd);
    return ntohs(at.sin_port);
}

}  // namespace trakora::testing
