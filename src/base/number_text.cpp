// SPDX-License-Identifier: MIT
#include "base/number_text.hpp"

#include <locale.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace trakora {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// strtod follows LC_NUMERIC, which a desktop program inherits from the user; numbers
// in files and boxes always use "." whatever the user's locale says.
locale_t c_locale() {
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

}  // namespace

double read_number(std::string_view text) {
    // Gather the characters that form the number, blanks left out, then convert them.
    std::string number;
    number.reserve(text.size());
    enum class Stage { Sign, Mantissa, ExponentSign, ExponentDigits } stage = Stage::Sign;
    bool seen_point = false;
    bool mantissa_digits = false;
    std::size_t before_exponent = 0;  // length of number without a dangling exponent
    for (char c : text) {
        if (is_blank(c)) continue;
        if (stage == Stage::Sign) {
            stage = Stage::Mantissa;
            if (c == '+' || c == '-') {
                number += c;
                continue;
            }
        }
        if (stage == Stage::Mantissa) {
            if (is_digit(c)) {
                number += c;
                mantissa_digits = true;
                continue;
            }
            if (c == '.' && !seen_point) {
                number += c;
                seen_point = true;
                continue;
            }
            if ((c == 'E' || c == 'e' || c == 'D' || c == 'd') && mantissa_digits) {
                before_exponent = number.size();
                number += 'e';
                stage = Stage::ExponentSign;
                continue;
            }
            break;
        }
        if (stage == Stage::ExponentSign) {
            stage = Stage::ExponentDigits;
            if (c == '+' || c == '-') {
                number += c;
                continue;
            }
        }
        if (is_digit(c)) {  // Stage::ExponentDigits
            number += c;
            before_exponent = 0;
            continue;
        }
        break;
    }
    if (!mantissa_digits) return 0.0;
    if (stage == Stage::ExponentSign || (stage == Stage::ExponentDigits && before_exponent != 0)) {
        number.resize(before_exponent);  // an exponent without digits is not part of it
    }
    return strtod_l(number.c_str(), nullptr, c_locale());
}

std::optional<double> exact_number(std::string_view text) {
    // from_chars takes a leading "-" but no "+"; one "+" is dropped here, and what follows
    // must then start with a digit or a point.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return std::nullopt;
    }
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc{} || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string plain_number_text(double value) {
    if (value == 0) return "0";  // also for -0
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
    // Fixed notation with the shortest digits that read back exactly; whole numbers come
    // out without a decimal point.
    char buf[400];
    auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    return std::string(buf, result.ptr);
}

std::string signed_number_text(double value) {
    if (value < 0) return plain_number_text(value);
    return " " + plain_number_text(value);
}

std::string fixed_text(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

}  // namespace trakora
