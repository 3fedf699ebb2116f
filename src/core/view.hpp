// SPDX-License-Identifier: MIT
// The one door from the core to the outside world. The desktop program implements it
// with Qt widgets, the headless driver by printing events; the core never shows anything
// any other way. The interface speaks of what the program shows (the folder text, the
// drift plot, the object picture); which control shows it is each face's own business.
//
// Coordinates passed to drawing calls are the picture's own drawing coordinates: for the
// object window's picture one unit per image pixel, for the drift plot the scale last
// set with set_drift_plot_scale (origin top left, y downward). Colours are colour values,
// red + 256 * green + 65536 * blue.
#pragma once

#include <cstdint>
#include <string>

namespace trakora {

// The main window's setting fields: the watched folder, the polling interval in seconds
// and the largest number of measurements.
enum class TextField { Folder, Interval, Count };

struct DriftAssistant;

// What the object window shows when it opens: colour values (see ColourBuffer), row by
// row, `stride` values apart. The memory stays valid and unchanged while the window
// that received it is open.
struct PictureImage {
    const std::uint32_t* colours = nullptr;
    int width = 0;   // painted columns
    int height = 0;  // painted rows
    int stride = 0;
};

class View {
  public:
    virtual ~View() = default;

    // A modal message box titled "Trakora" with this text and a single OK button;
    // returns once the user has closed it.
    virtual void message(const std::string& text) = 0;

    // The setting fields.
    virtual std::string text(TextField field) const = 0;
    virtual void set_text(TextField field, const std::string& text) = 0;

    // The folder list and the drive list. Setting the folder list's path runs no
    // handler; the caller runs the folder list's change handler itself when the path
    // changed.
    virtual std::string folder_list_path() const = 0;
    virtual void set_folder_list_path(const std::string& path) = 0;
    virtual std::string selected_drive() const = 0;

    // The polling timer. Every call is an assignment, even when the value does not
    // change; it ticks while polling_ticks (core/polling_cycle.hpp) says so.
    virtual void set_polling_enabled(bool enabled) = 0;
    virtual void set_polling_interval(int milliseconds) = 0;

    // The screen's mouse pointer: the busy (hourglass) pointer or the default one.
    virtual void set_busy_pointer(bool busy) = 0;

    // The object window, kept here for every face. open_object_window opens it anew:
    // title, an object picture whose drawing coordinates span scale_width x scale_height,
    // the image painted on it, no earlier drawing. close_object_window does nothing when
    // it is not open.
    void open_object_window(const std::string& title, double scale_width, double scale_height,
                            const PictureImage& image);
    void close_object_window();
    // A face whose window the user can close tells here whether it is still open.
    virtual bool object_window_open() const { return object_window_open_; }
    // The extent of the object picture's drawing coordinates (0 when not open).
    double object_scale_width() const { return object_window_open() ? scale_width_ : 0; }
    double object_scale_height() const { return object_window_open() ? scale_height_ : 0; }
    // The image the object window was last opened with.
    const PictureImage& object_picture() const { return object_picture_; }
    // A line on the object picture; nothing happens when the window is not open.
    void draw_object_line(float x1, float y1, float x2, float y2, std::uint32_t colour);

    // The drift plot and the drift label beside it (the change of the star's row). Lines
    // and points are drawn with the plot's drawing width.
    virtual void clear_drift_plot() = 0;
    virtual void set_drift_plot_scale(float width, float height) = 0;
    virtual void draw_drift_line(float x1, float y1, float x2, float y2, std::uint32_t colour) = 0;
    virtual void draw_drift_point(float x, float y, std::uint32_t colour) = 0;
    virtual void set_drift_label(const std::string& caption) = 0;

    // The drift assistant after it changed (a new sample, segment or typed input). Faces
    // that do not show it need not override this.
    virtual void show_drift_assistant(const DriftAssistant& assistant) { (void)assistant; }

  protected:
    // What each face does for the object window; the bookkeeping above is done already.
    virtual void present_object_window(const std::string& title, double scale_width,
                                       double scale_height, const PictureImage& image) = 0;
    virtual void hide_object_window() = 0;
    virtual void draw_object_picture_line(float x1, float y1, float x2, float y2,
                                          std::uint32_t colour) = 0;

  private:
    bool object_window_open_ = false;
    double scale_width_ = 0;
    double scale_height_ = 0;
    PictureImage object_picture_;
};

inline constexpr std::uint32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return r + 256 * g + 65536 * b;
}

}  // namespace trakora
