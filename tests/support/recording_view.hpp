// SPDX-License-Identifier: MIT
// A view for scenario tests: the windowless view, recording every visible change as one
// short line, so a test compares the whole sequence at once. Fields carry the main
// window's control names, as the user sees them:
//   "message TEXT", "text Text1 TEXT", "timer on 5000", "object_window TITLE 64x48",
//   "object_line 0,20,64,20 red", "plot_clear", "plot_scale 50x220",
//   "plot_line 0,110,50,110 green", "plot_point 1,110 magenta", "label -5"
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "windowless/windowless_view.hpp"

namespace trakora::testing {

class RecordingView : public WindowlessView {
  public:
    // The folder list starts at `folder`; the folder field starts empty.
    explicit RecordingView(std::string folder = "/");

    std::vector<std::string> events;
    // Runs inside message(), as if the user took a while to close the box.
    std::function<void()> while_message_open;

    // The events recorded since the last call, which are then forgotten.
    std::vector<std::string> take();

    void message(const std::string& text) override;
    void set_text(TextField field, const std::string& text) override;
    void set_polling_enabled(bool enabled) override;
    void set_polling_interval(int milliseconds) override;
    void set_busy_pointer(bool busy) override { busy_ = busy; }
    void clear_drift_plot() override { events.push_back("plot_clear"); }
    void set_drift_plot_scale(float width, float height) override;
    void draw_drift_line(float x1, float y1, float x2, float y2, std::uint32_t colour) override;
    void draw_drift_point(float x, float y, std::uint32_t colour) override;
    void set_drift_label(const std::string& caption) override;

    bool busy() const { return busy_; }

  protected:
    void present_object_window(const std::string& title, double w, double h,
                               const PictureImage& image) override;
    void draw_object_picture_line(float x1, float y1, float x2, float y2,
                                  std::uint32_t colour) override;

  private:
    bool busy_ = false;
};

}  // namespace trakora::testing
