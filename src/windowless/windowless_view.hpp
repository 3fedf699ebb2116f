// SPDX-License-Identifier: MIT
// A view without windows, for tools and checks that run the handlers headless: it keeps
// what the windows would hold (texts, folder, timer, whether the object window is open
// and its extents, the result label) and shows nothing. Messages are dropped unless a
// subclass overrides message(); drawing is dropped unless it overrides the drawing calls.
#pragma once

#include <string>
#include <utility>

#include "core/view.hpp"

namespace trakora {

class WindowlessView : public View {
  public:
    explicit WindowlessView(std::string folder);

    void message(const std::string&) override {}
    std::string text(TextBox box) const override { return texts_[static_cast<int>(box)]; }
    void set_text(TextBox box, const std::string& text) override {
        texts_[static_cast<int>(box)] = text;
    }
    std::string folder_list_path() const override { return folder_; }
    void set_folder_list_path(const std::string& path) override { folder_ = path; }
    std::string selected_drive() const override { return "/"; }
    void set_timer_enabled(bool enabled) override { timer_enabled_ = enabled; }
    void set_timer_interval(int milliseconds) override { timer_interval_ = milliseconds; }
    void set_busy_pointer(bool) override {}
    bool object_window_open() const override { return open_; }
    void close_object_window() override { open_ = false; }
    void show_object_window(const std::string&, double scale_width, double scale_height,
                            const PictureImage&) override {
        open_ = true;
        width_ = scale_width;
        height_ = scale_height;
    }
    double object_scale_width() const override { return open_ ? width_ : 0; }
    double object_scale_height() const override { return open_ ? height_ : 0; }
    void draw_object_line(float, float, float, float, std::uint32_t) override {}
    void plot_clear() override {}
    void plot_set_scale(float, float) override {}
    void plot_line(float, float, float, float, std::uint32_t) override {}
    void plot_point(float, float, std::uint32_t) override {}
    void set_label(const std::string& caption) override { label_ = caption; }

    bool timer_enabled() const { return timer_enabled_; }
    int timer_interval() const { return timer_interval_; }
    const std::string& label() const { return label_; }

  private:
    std::string folder_;
    std::string texts_[3] = {"", "5", "50"};  // Text1, Text2, Text3 as laid out
    bool timer_enabled_ = false;
    int timer_interval_ = 5000;
    bool open_ = false;
    double width_ = 0, height_ = 0;
    std::string label_;
};

}  // namespace trakora
