// SPDX-License-Identifier: MIT
// JSON numbers and strings as every Trakora writer of JSON writes them.
#pragma once

#include <string>
#include <string_view>

namespace trakora {

// Whole values without a decimal point or exponent (50, -999), others in the shortest form
// that reads back as the same double; an infinity as 1e999 / -1e999 (valid JSON that
// readers take as infinite).
void append_json_number(std::string& out, double value);
// A float drawing coordinate in the shortest form that reads back as the same float.
void append_json_float(std::string& out, float value);
// A JSON string; bytes that are not valid UTF-8 become U+FFFD.
void append_json_string(std::string& out, std::string_view text);

}  // namespace trakora
