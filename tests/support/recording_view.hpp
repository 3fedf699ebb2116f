// SPDX-License-Identifier: MIT
// A view for scenario tests: it keeps what the windows would hold and records every
// visible change as one short line, so a test compares the whole sequence at once.
//   "message TEXT", "text Text1 TEXT", "timer on 5000", "object_window TITLE 64x48",
//   "object_line 0,20,64,20 red", "plot_clear", "plot_scale 50x220",
//   "plot_line 0,110,50,110 green", "plot_point 1,110 magenta", "label -5"
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/view.hpp"

namespace trakora::testing {

class RecordingView : public View {
  public:
    explicit RecordingView(std::string folder = "/") : folder_(std::move(folder)) {}

    std::vector<std::string> events;
    // Runs inside message(), as if the user took a while to close the box.
    std::function<void()> while_message_open;

    // The events recorded since the last call, which are then forgotten.
    std::vector<std::string> take();

    void message(const std::string& text) override;
    std::string text(TextBox box) const override { return texts_[static_cast<int>(box)]; }
    void set_text(TextBox box, const std::string& text) override;
    std::string folder_list_path() const override { return folder_; }
    void set_folder_list_path(const std::string& path) override { folder_ = path; }
    std::string selected_drive() const override { return drive_; }
    void set_timer_enabled(bool enabled) override;
    void set_timer_interval(int milliseconds) override;
    void set_busy_pointer(bool busy) override { busy_ = busy; }
    bool object_window_open() const override { return open_; }
    void close_object_window() override { open_ = false; }
    void show_object_window(const std::string& title, double w, double h,
                            const PictureImage& image) override;
    double object_scale_width() const override { return open_ ? width_ : 0; }
    double object_scale_height() const override { return open_ ? height_ : 0; }
    void draw_object_line(float x1, float y1, float x2, float y2, std::uint32_t colour) override;
    void plot_clear() override { events.push_back("plot_clear"); }
    void plot_set_scale(float width, float height) override;
    void plot_line(float x1, float y1, float x2, float y2, std::uint32_t colour) override;
    void plot_point(float x, float y, std::uint32_t colour) override;
    void set_label(const std::string& caption) override;

    // What the user does to the controls (no handler runs).
    void type(TextBox box, const std::string& text) { texts_[static_cast<int>(box)] = text; }
    void choose_drive(const std::string& root) { drive_ = root; }

    bool timer_enabled = false;
    int timer_interval = 5000;
    std::string label;
    bool busy() const { return busy_; }
    PictureImage picture;

  private:
    std::string folder_;
    std::string drive_ = "/";
    std::string texts_[3] = {"", "5", "50"};
    bool busy_ = false;
    bool open_ = false;
    double width_ = 0, height_ = 0;
};

}  // namespace trakora::testing
