// SPDX-License-Identifier: MIT
// Where the web face listens and the token every request must bring.
//
//   const auto at = serve_address_from_text("8080");      // 127.0.0.1:8080
//   const auto lan = serve_address_from_text("0.0.0.0:8080");
//   const std::string token = random_token();             // 32 hex digits
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trakora::web {

struct ServeAddress {
    std::string host = "127.0.0.1";  // only this machine unless an address is given
    std::uint16_t port = 0;          // 0: any free port
};

// "[ADDRESS:]PORT": an IPv4 address (or "localhost") and a port from 0 to 65535;
// nullopt for anything else.
std::optional<ServeAddress> serve_address_from_text(std::string_view text);

// A token given on the command line: at least 8 characters, none that a URL would escape.
bool token_usable(std::string_view text);

// 128 random bits from the system's generator, as 32 lower-case hex digits.
std::string random_token();

}  // namespace trakora::web
