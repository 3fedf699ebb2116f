// SPDX-License-Identifier: MIT
// A field of a CSV file, as every Trakora writer of CSV writes it.
#pragma once

#include <string>
#include <string_view>

namespace trakora {

// A CSV field: quoted (with inner quotes doubled) when it holds a comma, a quote or a
// line break, as it stands otherwise.
inline std::string csv_field(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

}  // namespace trakora
