// SPDX-License-Identifier: MIT
#include "cli/json_writer.hpp"

namespace trakora::cli {

JsonLine::JsonLine(std::string_view event) {
    text_ = "{\"event\":";
    append_json_string(text_, event);
}

void JsonLine::key(std::string_view name) {
    text_ += ',';
    append_json_string(text_, name);
    text_ += ':';
}

JsonLine& JsonLine::number(std::string_view name, double value) {
    key(name);
    append_json_number(text_, value);
    return *this;
}

JsonLine& JsonLine::coordinate(std::string_view name, float value) {
    key(name);
    append_json_float(text_, value);
    return *this;
}

JsonLine& JsonLine::integer(std::string_view name, std::int64_t value) {
    key(name);
    text_ += std::to_string(value);
    return *this;
}

JsonLine& JsonLine::boolean(std::string_view name, bool value) {
    key(name);
    text_ += value ? "true" : "false";
    return *this;
}

JsonLine& JsonLine::string(std::string_view name, std::string_view value) {
    key(name);
    append_json_string(text_, value);
    return *this;
}

JsonLine& JsonLine::raw(std::string_view name, std::string_view json) {
    key(name);
    text_ += json;
    return *this;
}

std::string& JsonLine::open_field(std::string_view name) {
    key(name);
    return text_;
}

std::string JsonLine::finish() {
    text_ += "}\n";
    return std::move(text_);
}

}  // namespace trakora::cli
