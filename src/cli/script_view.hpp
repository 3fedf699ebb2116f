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
    void set_text(TextField box, const std::string& text) override;
    void set_polling_enabled(bool enabled) override;
    void set_polling_interval(int milliseconds) override;
    void clear_drift_plot() override;
    void set_drift_plot_scale(float width, float height) override;
    void draw_drift_line(float x1, float y1, float x2, float y2, std::uint32_t colour) override;
    void draw_drift_point(float x, float y, std::uint32_t colour) override;
    void set_drift_label(const std::string& caption) override;

    // Prints an event line the driver built itself (state, render, pixels, status, error).
    void emit(const std::string& line);

  protected:
    void present_object_window(const std::string& title, double scale_width, double scale_height,
                               const PictureImage& image) override;
    void draw_object_picture_line(float x1, float y1, float x2, float y2,
                                  std::uint32_t colour) override;

  private:
    void line_event(const char* event, float x1, float y1, float x2, float y2,
                    std::uint32_t colour);

    std::FILE* out_;
};

}  // namespace trakora::cli
