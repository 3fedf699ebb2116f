// SPDX-License-Identifier: MIT
// Which file names count as images when the newest one is sought.
#pragma once

#include <optional>
#include <string_view>

namespace trakora {

enum class NameRule {
    specified,  // names ending in "Fit", "FIT", "FTS" or "Fts", case included (the default)
    any,        // those, and names ending in .fit, .fits, .fts, .fz or .xisf in any case
};

// The rule a word names on a command line or in a script: "specified" or "any".
inline std::optional<NameRule> name_rule_named(std::string_view word) {
    if (word == "specified") return NameRule::specified;
    if (word == "any") return NameRule::any;
    return std::nullopt;
}

}  // namespace trakora
