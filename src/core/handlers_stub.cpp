// SPDX-License-Identifier: MIT
// Temporary: replaced by the real handlers.
#include "core/handlers.hpp"

namespace trakora {
namespace form1 {
void Form_Load(State&, View&) {}
void Form_Unload(State&, View&) {}
void Drive1_Change(State&, View&) {}
void Dir1_Change(State&, View&) {}
void Text2_Change(State&, View&) {}
void Text3_KeyPress(State&, View&, std::int16_t&) {}
void Command1_Click(State&, View&) {}
void Command2_Click(State&, View&) {}
void Command3_Click(State&, View&) {}
void Timer1_Timer(State&, View&) {}
}  // namespace form1
namespace form4 {
void Form_Load(State&, View&) {}
void Picture1_MouseDown(State&, View&, std::int16_t, std::int16_t, float, float) {}
}  // namespace form4
void file_name_set(State&, View&) {}
void show_object_window(State&, View&) {}
void draw_drift_plot(State&, View&, int) {}
void new_fits_file_name(State&, View&) {}
std::int16_t read_fits_image(State&, View&) { return -1; }
}  // namespace trakora
