// SPDX-License-Identifier: MIT
// The one door from the core to the outside world. The desktop program implements it
// with Qt widgets, the headless driver by printing events; the core never shows anything
// any other way.
//
// Coordinates passed to drawing calls are the picture's own drawing coordinates: for the
// object window's picture one unit per image pixel, for the plot picture the scale last
// set with plot_set_scale (origin top left, y downward). Colours are colour values,
// red + 256 * green + 65536 * blue.
#pragma once

#include <cstdint>
#include <string>

namespace trakora {

struct DriftAssistant;

enum class TextBox { Text1, Text2, Text3 };

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

    // Text boxes of the main window.
    virtual std::string text(TextBox box) const = 0;
    virtual void set_text(TextBox box, const std::string& text) = 0;

    // The folder list (Dir1) and the drive list (Drive1). Setting the folder list's path
    // runs no handler; the caller runs Dir1_Change itself when the path changed.
    virtual std::string folder_list_path() const = 0;
    virtual void set_folder_list_path(const std::string& path) = 0;
    virtual std::string selected_drive() const = 0;

    // Timer1. Every call is an assignment, even when the value does not change.
    virtual void set_timer_enabled(bool enabled) = 0;
    virtual void set_timer_interval(int milliseconds) = 0;

    // The screen's mouse pointer: the busy (hourglass) pointer or the default one.
    virtual void set_busy_pointer(bool busy) = 0;

    // The object window (Form4). show_object_window opens it anew: title, a picture whose
    // drawing coordinates span scale_width x scale_height, the image painted on it, no
    // earlier drawing. close_object_window does nothing when it is not open.
    virtual bool object_window_open() const = 0;
    virtual void close_object_window() = 0;
    virtual void show_object_window(const std::string& title, double scale_width,
                                    double scale_height, const PictureImage& image) = 0;
    // The extent of the object window picture's drawing coordinates (0 when not open).
    virtual double object_scale_width() const = 0;
    virtual double object_scale_height() const = 0;
    // A line on the object window's picture; nothing happens when the window is not open.
    virtual void draw_object_line(float x1, float y1, float x2, float y2, std::uint32_t colour) = 0;

    // The main window's plot picture (Picture1) and its result label (Label5). Lines and
    // points are drawn with the picture's drawing width.
    virtual void plot_clear() = 0;
    virtual void plot_set_scale(float width, float height) = 0;
    virtual void plot_line(float x1, float y1, float x2, float y2, std::uint32_t colour) = 0;
    virtual void plot_point(float x, float y, std::uint32_t colour) = 0;
    virtual void set_label(const std::string& caption) = 0;

    // The drift assistant after it changed (a new sample, segment or typed input). Faces
    // that do not show it need not override this.
    virtual void show_drift_assistant(const DriftAssistant& assistant) { (void)assistant; }
};

inline constexpr std::uint32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return r + 256 * g + 65536 * b;
}

}  // namespace trakora
