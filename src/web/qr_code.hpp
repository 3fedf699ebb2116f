// SPDX-License-Identifier: MIT
// The page's address as a QR code for a phone's camera, made by libqrencode: a square of
// modules, dark or light, without the quiet zone around it (a painter leaves four modules
// of light on each side).
//
//   const std::optional<QrCode> code = qr_code(server.phone_url());
//   for (int y = 0; y < code->size; ++y) ... code->dark(x, y) ...
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace trakora::web {

struct QrCode {
    int size = 0;               // modules on a side
    std::vector<bool> modules;  // row by row, true for dark
    bool dark(int x, int y) const {
        return modules[static_cast<std::size_t>(y) * static_cast<std::size_t>(size) +
                       static_cast<std::size_t>(x)];
    }
};

// Medium error correction (a phone reads it from a screen at arm's length); nullopt when
// the text is too long for any QR code.
std::optional<QrCode> qr_code(std::string_view text);

}  // namespace trakora::web
