// SPDX-License-Identifier: MIT
#include "web/qr_code.hpp"

#include <qrencode.h>

#include <memory>
#include <string>

namespace trakora::web {

std::optional<QrCode> qr_code(std::string_view text) {
    const std::string data(text);
    // 8-bit mode: the address as its bytes, whatever characters it holds.
    const std::unique_ptr<QRcode, void (*)(QRcode*)> code(
        QRcode_encodeString8bit(data.c_str(), 0, QR_ECLEVEL_M), QRcode_free);
    if (!code) return std::nullopt;
    QrCode out;
    out.size = code->width;
    const std::size_t count =
        static_cast<std::size_t>(out.size) * static_cast<std::size_t>(out.size);
    out.modules.resize(count);
    // Bit 0 of each byte is the module's colour; the others say what part of the code it is.
    for (std::size_t k = 0; k < count; ++k) out.modules[k] = (code->data[k] & 1) != 0;
    return out;
}

}  // namespace trakora::web
