// SPDX-License-Identifier: MIT
#include "base/json_text.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace trakora {

void append_json_number(std::string& out, double value) {
    if (std::isnan(value)) {
        out += "null";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-1e999" : "1e999";
        return;
    }
    if (value == 0) {  // also -0
        out += '0';
        return;
    }
    char buf[400];
    const auto format =
        std::trunc(value) == value ? std::chars_format::fixed : std::chars_format::general;
    const auto result = format == std::chars_format::fixed
                            ? std::to_chars(buf, buf + sizeof buf, value, format)
                            : std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, result.ptr);
}

void append_json_float(std::string& out, float value) {
    if (!std::isfinite(value) || std::trunc(value) == value) {
        append_json_number(out, value);
        return;
    }
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, result.ptr);
}

namespace {

// Length of the valid UTF-8 sequence at s[i], or 0 when the bytes there are not one.
std::size_t utf8_sequence(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    std::size_t n;
    std::uint32_t cp;
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0) {
        n = 2;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    const bool overlong =
        (n == 2 && cp < 0x80) || (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000);
    if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

}  // namespace

void append_json_string(std::string& out, std::string_view text) {
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const std::size_t n = utf8_sequence(text, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        if (n > 1) {
            out.append(text.substr(i, n));
            i += n;
            continue;
        }
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
                    out += buf;
                } else {
                    out += c;
                }
        }
        ++i;
    }
    out += '"';
}

}  // namespace trakora
