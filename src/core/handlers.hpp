// SPDX-License-Identifier: MIT
// The event handlers of both windows, named after their control and event. Each takes
// the shared state and the view; the faces call them when the user or the timer acts.
//
// Usage, for a face:
//   1. create one State and a View, then call form1::Form_Load once;
//   2. forward every user action to its handler (Command1_Click for the Start button,
//      form4::Picture1_MouseDown for a press on the image, ...);
//   3. call Timer1_Timer on every timer period while polling_ticks (core/polling_cycle.hpp)
//      says the timer runs; a tick that falls due while another handler is still running
//      (a message box open) returns at once, so the face needs no guard of its own;
//   4. call form1::Form_Unload when the main window closes.
#pragma once

#include <cstdint>

#include "core/state.hpp"
#include "core/view.hpp"

namespace trakora {

namespace form1 {
void Form_Load(State& s, View& v);
void Form_Unload(State& s, View& v);
void Drive1_Change(State& s, View& v);
void Dir1_Change(State& s, View& v);
void Text2_Change(State& s, View& v);
void Text3_KeyPress(State& s, View& v, std::int16_t& key_ascii);
void Command1_Click(State& s, View& v);  // Start
void Command2_Click(State& s, View& v);  // Stop
void Command3_Click(State& s, View& v);  // object setting
void Timer1_Timer(State& s, View& v);
}  // namespace form1

namespace form4 {
// The object window's load step: renders the current image and opens the window.
void Form_Load(State& s, View& v);
void Picture1_MouseDown(State& s, View& v, std::int16_t button, std::int16_t shift, float x,
                        float y);
}  // namespace form4

// Routines of the main window.
void file_name_set(State& s, View& v);
void show_object_window(State& s, View& v);
void draw_drift_plot(State& s, View& v, int current_slot);
// draw_drift_plot with the drift label's text already made (the tick makes it once).
void show_drift_plot(State& s, View& v, int current_slot, const std::string& row_change);
void new_fits_file_name(State& s, View& v);
// Reads fits_file_name (in the folder the folder field names); shows the reader's message on a
// rejection. Returns the status: 0 when the image was read, -1 otherwise.
std::int16_t read_fits_image(State& s, View& v);

// Routines on the current image (plane 0).
// Moves object_x, object_y onto the brightest 7 x 7 box whose centre lies within 15
// pixels of them; (0, 0) when no box sum is above 0; unchanged without pixels.
void find_brightest_spot(State& s);
// Sets display_low and display_range from the histogram of the current image.
void compute_display_levels(State& s);
// Paints the current image with the current display levels into object_picture and
// sets object_picture_width and object_picture_height. Grey from plane 0, or red, green
// and blue from planes 0 to 2 when image_planes is 3.
void render_object_picture(State& s);

}  // namespace trakora
