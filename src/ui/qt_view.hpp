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

    std::string text(TextBox box) const override;
    void set_text(TextBox box, const std::string& text) override;

    std::string folder_list_path() const override;
    void set_folder_list_path(const std::string& path) override;
    std::string selected_drive() const override;

    void set_timer_enabled(bool enabled) override;
    void set_timer_interval(int milliseconds) override;

    void set_busy_pointer(bool busy) override;

    bool object_window_open() const override;
    void close_object_window() override;
    void show_object_window(const std::string& title, double scale_width, double scale_height,
                            const PictureImage& image) override;
    double object_scale_width() const override;
    double object_scale_height() const override;
    void draw_object_line(float x1, float y1, float x2, float y2, std::uint32_t colour) override;

    void plot_clear() override;
    void plot_set_scale(float width, float height) override;
    void plot_line(float x1, float y1, float x2, float y2, std::uint32_t colour) override;
    void plot_point(float x, float y, std::uint32_t colour) override;
    void set_label(const std::string& caption) override;

    void show_drift_assistant(const DriftAssistant& assistant) override;

    ObjectWindow& object_window() { return *form4_; }
    MainWindow& main_window() { return form1_; }
    DriftAssistantWindow& drift_window() { return *drift_; }

  private:
    QLineEdit* box(TextBox which) const;

    MainWindow& form1_;
    std::unique_ptr<ObjectWindow> form4_;
    std::unique_ptr<DriftAssistantWindow> drift_;
    bool busy_ = false;
};

}  // namespace trakora::ui
