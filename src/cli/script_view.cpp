// SPDX-License-Identifier: MIT
#include "cli/script_view.hpp"

#include <utility>

#include "cli/json_writer.hpp"

namespace trakora::cli {

namespace {
const char* control_name(TextBox box) {
    switch (box) {
        case TextBox::Text1:
            return "Text1";
        case TextBox::Text2:
            return "Text2";
        case TextBox::Text3:
            return "Text3";
    }
    return "";
}
}  // namespace

ScriptView::ScriptView(std::FILE* out, std::string start_folder, std::string start_drive)
    : WindowlessView(std::move(start_folder)), out_(out), drive_(std::move(start_drive)) {
    WindowlessView::set_text(TextBox::Text1, "");  // the load step fills it
}

void ScriptView::emit(const std::string& line) { std::fwrite(line.data(), 1, line.size(), out_); }

void ScriptView::message(const std::string& text) {
    emit(JsonLine("message").string("text", text).finish());  // answered with OK at once
}

void ScriptView::set_text(TextBox box, const std::string& text) {
    WindowlessView::set_text(box, text);
    emit(JsonLine("text").string("control", control_name(box)).string("text", text).finish());
}

void ScriptView::set_timer_enabled(bool enabled) {
    WindowlessView::set_timer_enabled(enabled);
    emit(JsonLine("timer")
             .boolean("enabled", enabled)
             .integer("interval", timer_interval())
             .finish());
}

void ScriptView::set_timer_interval(int milliseconds) {
    WindowlessView::set_timer_interval(milliseconds);
    emit(JsonLine("timer")
             .boolean("enabled", timer_enabled())
             .integer("interval", milliseconds)
             .finish());
}

void ScriptView::show_object_window(const std::string& title, double scale_width,
                                    double scale_height, const PictureImage& image) {
    WindowlessView::show_object_window(title, scale_width, scale_height, image);
    picture_ = image;
    emit(JsonLine("object_window")
             .string("title", title)
             .number("width", scale_width)
             .number("height", scale_height)
             .finish());
}

void ScriptView::line_event(const char* event, float x1, float y1, float x2, float y2,
                            std::uint32_t colour) {
    emit(JsonLine(event)
             .coordinate("x1", x1)
             .coordinate("y1", y1)
             .coordinate("x2", x2)
             .coordinate("y2", y2)
             .integer("color", colour)
             .finish());
}

void ScriptView::draw_object_line(float x1, float y1, float x2, float y2, std::uint32_t colour) {
    if (object_window_open()) line_event("object_line", x1, y1, x2, y2, colour);
}

void ScriptView::plot_clear() { emit(JsonLine("plot_clear").finish()); }

void ScriptView::plot_set_scale(float width, float height) {
    emit(JsonLine("plot_scale").coordinate("width", width).coordinate("height", height).finish());
}

void ScriptView::plot_line(float x1, float y1, float x2, float y2, std::uint32_t colour) {
    line_event("plot_line", x1, y1, x2, y2, colour);
}

void ScriptView::plot_point(float x, float y, std::uint32_t colour) {
    emit(JsonLine("plot_point")
             .coordinate("x", x)
             .coordinate("y", y)
             .integer("color", colour)
             .finish());
}

void ScriptView::set_label(const std::string& caption) {
    WindowlessView::set_label(caption);
    emit(JsonLine("label").string("text", caption).finish());
}

}  // namespace trakora::cli
