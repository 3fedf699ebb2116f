// SPDX-License-Identifier: MIT
// A view without windows, for tools and checks that run the handlers headless: it keeps
// what the windows would hold (setting fields, folder, timer, the object window, the
// drift label) and shows nothing. Messages are dropped unless a subclass overrides
// message(); drawing is dropped unless it overrides the drawing calls.
#pragma once

#include <array>
#include <string>
#include <utility>

#include "core/view.hpp"

namespace trakora {

class WindowlessView : public View {
  public:
    // The folder list starts at `folder`, and so does the folder field.
    explicit WindowlessView(std::string folder);

    void message(const std::string&) override {}
    std::string text(TextField field) const override { return texts_[index(field)]; }
    void set_text(TextField field, const std::string& text) override {
        texts_[index(field)] = text;
    }
    std::string folder_list_path() const override { return folder_; }
    void set_folder_list_path(const std::string& path) override { folder_ = path; }
    std::string selected_drive() const override { return drive_; }
    void set_polling_enabled(bool enabled) override { timer_enabled_ = enabled; }
    void set_polling_interval(int milliseconds) override { timer_interval_ = milliseconds; }
    void set_busy_pointer(bool) override {}
    void clear_drift_plot() override {}
    void set_drift_plot_scale(float, float) override {}
    void draw_drift_line(float, float, float, float, std::uint32_t) override {}
    void draw_drift_point(float, float, std::uint32_t) override {}
    void set_drift_label(const std::string& caption) override { label_ = caption; }

    // What the user does to the controls, without a handler: typing replaces a field's
    // text even where a subclass reports the program's own set_text.
    void type_text(TextField field, const std::string& text) {
        WindowlessView::set_text(field, text);
    }
    void select_drive(std::string root) { drive_ = std::move(root); }

    bool timer_enabled() const { return timer_enabled_; }
    int timer_interval() const { return timer_interval_; }
    // Whether the timer would tick now.
    bool polling() const;
    const std::string& label() const { return label_; }

  protected:
    void present_object_window(const std::string&, double, double, const PictureImage&) override {}
    void hide_object_window() override {}
    void draw_object_picture_line(float, float, float, float, std::uint32_t) override {}

  private:
    static std::size_t index(TextField field) { return static_cast<std::size_t>(field); }

    std::string folder_;
    std::string drive_ = "/";
    std::array<std::string, 3> texts_;  // Folder, Interval, Count
    bool timer_enabled_ = false;
    int timer_interval_;
    std::string label_;
};

}  // namespace trakora
