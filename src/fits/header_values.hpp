// SPDX-License-Identifier: MIT
// A header as plain keyword -> value text, for the readings that go beyond the reader's
// own keywords (observation time, plate scale, pointing, site).
//
// Usage:
//   HeaderValues h = header_values(cards);          // 80-character cards, END or not
//   if (auto v = header_value(h, "DATE-OBS")) ...   // the value text, unquoted
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace trakora {

using HeaderValues = std::map<std::string, std::string, std::less<>>;

// Keyword -> value text of every card with a value indicator ("=" in column 9). String
// values are taken from between their quotes, doubled quotes made single and trailing
// blanks dropped; other values are the text up to the comment, trimmed. A comment starts
// at a "/" that follows a blank, so an unquoted "09/12/96" stays whole. The first card of
// a keyword wins; reading stops at END.
HeaderValues header_values(std::span<const std::string> cards);
// The same for cards laid end to end, 80 characters each, as the reader keeps them.
HeaderValues header_values(std::string_view cards);

// The value text of `keyword`, nullopt when the header has none or it is blank.
std::optional<std::string> header_value(const HeaderValues& header, std::string_view keyword);

}  // namespace trakora
