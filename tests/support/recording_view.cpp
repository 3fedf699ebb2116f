// SPDX-License-Identifier: MIT
#include "support/recording_view.hpp"

#include <cstdio>
#include <utility>

namespace trakora::testing {
namespace {

std::string num(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

std::string colour_name(std::uint32_t c) {
    switch (c) {
        case 0x0000FF:
            return "red";
        case 0xFFFFFF:
            return "white";
        case 0x00FF00:
            return "green";
        case 0xFF00FF:
            return "magenta";
    }
    return std::to_string(c);
}

std::string line(const char* what, float x1, float y1, float x2, float y2, std::uint32_t c) {
    return std::string(what) + " " + num(x1) + "," + num(y1) + "," + num(x2) + "," + num(y2) + " " +
           colour_name(c);
}

}  // namespace

RecordingView::RecordingView(std::string folder) : WindowlessView(std::move(folder)) {
    WindowlessView::set_text(TextField::Folder, "");
}

std::vector<std::string> RecordingView::take() {
    std::vector<std::string> out;
    out.swap(events);
    return out;
}

void RecordingView::message(const std::string& text) {
    events.push_back("message " + text);
    if (while_message_open) while_message_open();
}

void RecordingView::set_text(TextField field, const std::string& text) {
    WindowlessView::set_text(field, text);
    static const char* names[] = {"Text1", "Text2", "Text3"};
    events.push_back(std::string("text ") + names[static_cast<int>(field)] + " " + text);
}

void RecordingView::set_polling_enabled(bool enabled) {
    WindowlessView::set_polling_enabled(enabled);
    events.push_back(std::string("timer ") + (enabled ? "on " : "off ") +
                     std::to_string(timer_interval()));
}

void RecordingView::set_polling_interval(int milliseconds) {
    WindowlessView::set_polling_interval(milliseconds);
    events.push_back(std::string("timer ") + (timer_enabled() ? "on " : "off ") +
                     std::to_string(milliseconds));
}

void RecordingView::present_object_window(const std::string& title, double w, double h,
                                          const PictureImage&) {
    events.push_back("object_window " + title + " " + num(w) + "x" + num(h));
}

void RecordingView::draw_object_picture_line(float x1, float y1, float x2, float y2,
                                             std::uint32_t colour) {
    events.push_back(line("object_line", x1, y1, x2, y2, colour));
}

void RecordingView::set_drift_plot_scale(float width, float height) {
    events.push_back("plot_scale " + num(width) + "x" + num(height));
}

void RecordingView::draw_drift_line(float x1, float y1, float x2, float y2, std::uint32_t colour) {
    events.push_back(line("plot_line", x1, y1, x2, y2, colour));
}

void RecordingView::draw_drift_point(float x, float y, std::uint32_t colour) {
    events.push_back("plot_point " + num(x) + "," + num(y) + " " + colour_name(colour));
}

void RecordingView::set_drift_label(const std::string& caption) {
    WindowlessView::set_drift_label(caption);
    events.push_back("label " + caption);
}

}  // namespace trakora::testing
