// SPDX-License-Identifier: MIT
// A small writer for one JSON object per line, as the driver prints its events.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/json_text.hpp"

namespace trakora::cli {

// Builds {"event":"name","field":value,...}.
class JsonLine {
  public:
    explicit JsonLine(std::string_view event);
    JsonLine& number(std::string_view key, double value);
    JsonLine& coordinate(std::string_view key, float value);
    JsonLine& integer(std::string_view key, std::int64_t value);
    JsonLine& boolean(std::string_view key, bool value);
    JsonLine& string(std::string_view key, std::string_view value);
    // A value already written as JSON.
    JsonLine& raw(std::string_view key, std::string_view json);
    // Starts a field whose value the caller appends to text() directly.
    std::string& open_field(std::string_view key);
    // The finished line, with a newline.
    std::string finish();

  private:
    void key(std::string_view name);
    std::string text_;
};

}  // namespace trakora::cli
