// SPDX-License-Identifier: MIT
// The desktop program's View: carries out what the handlers ask on the Qt windows, the
// two of the series and the drift window.
#pragma once

#include <memory>
#include <string>

#include "core/view.hpp"
#include "ui/drift_assistant_window.hpp"
#include "ui/main_window.hpp"
#include "ui/object_window.hpp"

namespace trakora::ui {

class QtView : public View {
  public:
    // `form1` must outlive the view. The object window belongs to the view.
    explicit QtView(MainWindow& form1);
    ~QtView() override;
    QtView(const QtView&) = delete;
    QtView& operator=(const QtView&) = delete;

    void message(const std::string& text) override;

    std::string text(TextField box) const override;
    void set_text(TextField box, const std::string& text) override;

    std::string folder_list_path() const override;
    void set_folder_list_path(const std::string& path) override;
    std::string selected_drive() const override;

    void set_polling_enabled(bool enabled) override;
    void set_polling_interval(int milliseconds) override;

    void set_busy_pointer(bool busy) override;

    // The user may close the object window; it is open while it is on screen.
    bool object_window_open() const override;

    void clear_drift_plot() override;
    void set_drift_plot_scale(float width, float height) override;
    void draw_drift_line(float x1, float y1, float x2, float y2, std::uint32_t colour) override;
    void draw_drift_point(float x, float y, std::uint32_t colour) override;
    void set_drift_label(const std::string& caption) override;

    void show_drift_assistant(const DriftAssistant& assistant) override;

    ObjectWindow& object_window() { return *form4_; }
    MainWindow& main_window() { return form1_; }
    DriftAssistantWindow& drift_window() { return *drift_; }

  protected:
    void present_object_window(const std::string& title, double scale_width, double scale_height,
                               const PictureImage& image) override;
    void hide_object_window() override;
    void draw_object_picture_line(float x1, float y1, float x2, float y2,
                                  std::uint32_t colour) override;

  private:
    QLineEdit* box(TextField which) const;

    MainWindow& form1_;
    std::unique_ptr<ObjectWindow> form4_;
    std::unique_ptr<DriftAssistantWindow> drift_;
    bool busy_ = false;
};

}  // namespace trakora::ui
