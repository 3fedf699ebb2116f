// SPDX-License-Identifier: MIT
#include "cli/script_view.hpp"

#include <utility>

#include "cli/json_writer.hpp"

namespace trakora::cli {

namespace {
const char* control_name(TextField box) {
    switch (box) {
        case TextField::Folder:
            return "Text1";
        case TextField::Interval:
            return "Text2";
        case TextField::Count:
            return "Text3";
    }
    return "";
}
}  // namespace

ScriptView::ScriptView(std::FILE* out, std::string start_folder, std::string start_drive)
    : WindowlessView(std::move(start_folder)), out_(out) {
    select_drive(std::move(start_drive));
    WindowlessView::set_text(TextField::Folder, "");  // the load step fills it
}

void ScriptView::emit(const std::string& line) { std::fwrite(line.data(), 1, line.size(), out_); }

void ScriptView::message(const std::string& text) {
    emit(JsonLine("message").string("text", text).finish());  // answered with OK at once
}

void ScriptView::set_text(TextField box, const std::string& text) {
    WindowlessView::set_text(box, text);
    emit(JsonLine("text").string("control", control_name(box)).string("text", text).finish());
}

void ScriptView::set_polling_enabled(bool enabled) {
    WindowlessView::set_polling_enabled(enabled);
    emit(JsonLine("timer")
             .boolean("enabled", enabled)
             .integer("interval", timer_interval())
             .finish());
}

void ScriptView::set_polling_interval(int milliseconds) {
    WindowlessView::set_polling_interval(milliseconds);
    emit(JsonLine("timer")
             .boolean("enabled", timer_enabled())
             .integer("interval", milliseconds)
             .finish());
}

void ScriptView::present_object_window(const std::string& title, double scale_width,
                                       double scale_height, const PictureImage&) {
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

void ScriptView::draw_object_picture_line(float x1, float y1, float x2, float y2,
                                          std::uint32_t colour) {
    line_event("object_line", x1, y1, x2, y2, colour);
}

void ScriptView::clear_drift_plot() { emit(JsonLine("plot_clear").finish()); }

void ScriptView::set_drift_plot_scale(float width, float height) {
    emit(JsonLine("plot_scale").coordinate("width", width).coordinate("height", height).finish());
}

void ScriptView::draw_drift_line(float x1, float y1, float x2, float y2, std::uint32_t colour) {
    line_event("plot_line", x1, y1, x2, y2, colour);
}

void ScriptView::draw_drift_point(float x, float y, std::uint32_t colour) {
    emit(JsonLine("plot_point")
             .coordinate("x", x)
             .coordinate("y", y)
             .integer("color", colour)
             .finish());
}

void ScriptView::set_drift_label(const std::string& caption) {
    WindowlessView::set_drift_label(caption);
    emit(JsonLine("label").string("text", caption).finish());
}

}  // namespace trakora::cli
