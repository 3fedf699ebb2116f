// SPDX-License-Identifier: MIT
#include "fits/keyword_text.hpp"

#include <cmath>
#include <string>
#include <vector>

#include "base/number_text.hpp"
#include "fits/header_cards.hpp"

namespace trakora {

std::optional<double> keyword_number(std::string_view text) {
    std::string t(trimmed_blanks(text));
    for (char& c : t)
        if (c == 'D' || c == 'd') c = 'E';
    return exact_number(t);
}

std::optional<double> parse_sexagesimal(std::string_view text, bool* sexagesimal) {
    text = trimmed_blanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const auto is_separator = [](char c) {
        return c == ' ' || c == ':' || c == 'h' || c == 'm' || c == 's' || c == 'd';
    };
    std::vector<std::string_view> parts;
    std::size_t i = 0;
    bool separated = false;
    while (i < text.size()) {
        if (is_separator(text[i])) {
            separated = true;
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < text.size() && !is_separator(text[i])) ++i;
        parts.push_back(text.substr(start, i - start));
    }
    if (parts.empty() || parts.size() > 3) return std::nullopt;
    double value = 0, unit = 1;
    bool carried = false;  // a field of 60 was met: only zeros may follow it
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (parts[k].front() == '+' || parts[k].front() == '-') return std::nullopt;
        const auto v = keyword_number(parts[k]);
        if (!v || *v < 0 || (k > 0 && *v > 60) || (carried && *v != 0)) return std::nullopt;
        // 60 itself adds one of the unit above, which is the carry.
        carried = carried || (k > 0 && *v == 60);
        value += *v / unit;
        unit *= 60;
    }
    if (sexagesimal) *sexagesimal = separated;
    return negative ? -value : value;
}

std::optional<double> parse_degrees(std::string_view text, double limit) {
    const auto v = parse_sexagesimal(text);
    if (!v || std::abs(*v) > limit) return std::nullopt;
    return v;
}

std::optional<double> parse_right_ascension_hours(std::string_view text) {
    bool sexagesimal = false;
    const auto v = parse_sexagesimal(text, &sexagesimal);
    if (!v) return std::nullopt;
    const double hours = sexagesimal ? *v : *v / 15;
    if (hours < 0 || hours >= 24) return std::nullopt;
    return hours;
}

}  // namespace trakora
