// SPDX-License-Identifier: MIT
#include "web/serve_address.hpp"

#include <QHostAddress>
#include <QRandomGenerator>
#include <QString>
#include <algorithm>
#include <charconv>

namespace trakora::web {

std::optional<ServeAddress> serve_address_from_text(std::string_view text) {
    ServeAddress at;
    const auto colon = text.rfind(':');
    std::string_view port = text;
    if (colon != std::string_view::npos) {
        const std::string host(text.substr(0, colon));
        port = text.substr(colon + 1);
        QHostAddress address;
        // Four dotted numbers, not the shorter forms inet_aton also reads ("1.2.3").
        const bool dotted_quad = std::count(host.begin(), host.end(), '.') == 3;
        if (host != "localhost" &&
            (!dotted_quad || !address.setAddress(QString::fromStdString(host)) ||
             address.protocol() != QAbstractSocket::IPv4Protocol))
            return std::nullopt;
        at.host = host == "localhost" ? "127.0.0.1" : host;
    }
    unsigned value = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (port.empty() || error != std::errc{} || end != port.data() + port.size() || value > 65535)
        return std::nullopt;
    at.port = static_cast<std::uint16_t>(value);
    return at;
}

bool token_usable(std::string_view text) {
    return text.size() >= 8 && text.find_first_of(" &#?%+/\"'<>") == std::string_view::npos;
}

std::string random_token() {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string token;
    for (int k = 0; k < 4; ++k) {
        const quint32 bits = QRandomGenerator::system()->generate();
        for (int shift = 28; shift >= 0; shift -= 4) token += kHex[(bits >> shift) & 0xF];
    }
    return token;
}

}  // namespace trakora::web
