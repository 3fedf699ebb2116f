// SPDX-License-Identifier: MIT
// The view of the headless driver: it keeps what the windows would hold (texts, timer,
// object window) and prints every visible change as one JSON line.
#pragma once

#include <cstdio>
#include <string>

#include "windowless/windowless_view.hpp"

namespace trakora::cli {

class ScriptView final : public WindowlessView {
  public:
    // Events go to `out`; the folder list and drive list start at `start_folder`.
    ScriptView(std::FILE* out, std::string start_folder, std::string start_drive);

    void message(const std::string& text) override;
    void set_text(TextBox box, const std::string& text) override;
    std::string selected_drive() const override { return drive_; }
    void set_timer_enabled(bool enabled) override;
    void set_timer_interval(int milliseconds) override;
    void show_object_window(const std::string& title, double scale_width, double scale_height,
                            const PictureImage& image) override;
    void draw_object_line(float x1, float y1, float x2, float y2, std::uint32_t colour) override;
    void plot_clear() override;
    void plot_set_scale(float width, float height) override;
    void plot_line(float x1, float y1, float x2, float y2, std::uint32_t colour) override;
    void plot_point(float x, float y, std::uint32_t colour) override;
    void set_label(const std::string& caption) override;

    // What the user does to the controls, without a handler.
    void type_text(TextBox box, const std::string& text) { WindowlessView::set_text(box, text); }
    void select_drive(const std::string& root) { drive_ = root; }

    const PictureImage& object_picture() const { return picture_; }

    // Prints an event line the driver built itself (state, render, pixels, status, error).
    void emit(const std::string& line);

  private:
    void line_event(const char* event, float x1, float y1, float x2, float y2,
                    std::uint32_t colour);

    std::FILE* out_;
    std::string drive_;
    PictureImage picture_;
};

}  // namespace trakora::cli
