// SPDX-License-Identifier: MIT
// The view of the headless driver: it keeps what the windows would hold (texts, timer,
// object window) and prints every visible change as one JSON line.
#pragma once

#include <cstdio>
#include <string>

#include "core/view.hpp"

namespace trakora::cli {

class ScriptView final : public View {
public:
    // Events go to `out`; the folder list and drive list start at `start_folder`.
    ScriptView(std::FILE* out, std::string start_folder, std::string start_drive);

    void message(const std::string& text) override;
    std::string text(TextBox box) const override;
    void set_text(TextBox box, const std::string& text) override;
    std::string folder_list_path() const override { return folder_; }
    void set_folder_list_path(const std::string& path) override { folder_ = path; }
    std::string selected_drive() const override { return drive_; }
    void set_timer_enabled(bool enabled) override;
    void set_timer_interval(int milliseconds) override;
    void set_busy_pointer(bool) override {}
    bool object_window_open() const override { return object_open_; }
    void close_object_window() override { object_open_ = false; }
    void show_object_window(const std::string& title, double scale_width, double scale_height,
                            const PictureImage& image) override;
    double object_scale_width() const override { return object_open_ ? object_width_ : 0; }
    double object_scale_height() const override { return object_open_ ? object_height_ : 0; }
    void draw_object_line(float x1, float y1, float x2, float y2, std::uint32_t colour) override;
    void plot_clear() override;
    void plot_set_scale(float width, float height) override;
    void plot_line(float x1, float y1, float x2, float y2, std::uint32_t colour) override;
    void plot_point(float x, float y, std::uint32_t colour) override;
    void set_label(const std::string& caption) override;

    // What the user does to the controls, without a handler.
    void type_text(TextBox box, const std::string& text) { texts_[index(box)] = text; }
    void select_drive(const std::string& root) { drive_ = root; }

    bool timer_enabled() const { return timer_enabled_; }
    int timer_interval() const { return timer_interval_; }
    const std::string& label() const { return label_; }
    const PictureImage& object_picture() const { return picture_; }

    // Prints an event line the driver built itself (state, render, pixels, status, error).
    void emit(const std::string& line);

private:
    static int index(TextBox box) { return static_cast<int>(box); }
    void line_event(const char* event, float x1, float y1, float x2, float y2,
                    std::uint32_t colour);

    std::FILE* out_;
    std::string folder_;
    std::string drive_;
    std::string texts_[3] = {"", "5", "50"};  // Text1, Text2, Text3 as laid out
    std::string label_;
    bool timer_enabled_ = false;
    int timer_interval_ = 5000;
    bool object_open_ = false;
    double object_width_ = 0, object_height_ = 0;
    PictureImage picture_;
};

}  // namespace trakora::cli
