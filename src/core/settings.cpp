// SPDX-License-Identifier: MIT
// The main window's load and unload steps and its settings: folder, interval and count.
#include <cmath>

#include "base/number_text.hpp"
#include "base/rounding.hpp"
#include "core/handler_scope.hpp"
#include "core/handlers.hpp"
#include "core/messages.hpp"
#include "core/start_values.hpp"

namespace trakora {

// In this program the object window's drawing coordinates are image pixels, so the
// crosshair needs no correction factor.
inline constexpr Number kCrosshairScale = 1;

namespace form1 {

void Form_Load(State& s, View& v) {
    HandlerScope scope(s);
    v.set_text(TextField::Folder, v.folder_list_path());
    s.object_set = 0;
    s.object_pick_enabled = 0;
    s.crosshair_scale = kCrosshairScale;
    clear_measurements(s);
    s.max_count = kStartMaxCount;
}

void Form_Unload(State& s, View& v) {
    HandlerScope scope(s);
    v.close_object_window();
}

void Drive1_Change(State& s, View& v) {
    HandlerScope scope(s);
    // A volume's root is the folder the list shows for it.
    const std::string root = v.selected_drive();
    if (v.folder_list_path() != root) {
        v.set_folder_list_path(root);
        Dir1_Change(s, v);
    }
    file_name_set(s, v);
}

void Dir1_Change(State& s, View& v) {
    HandlerScope scope(s);
    file_name_set(s, v);
}

void Text2_Change(State& s, View& v) {
    HandlerScope scope(s);
    const double milliseconds = read_number(v.text(TextField::Interval)) * 1000;
    // Out of range (also 65 s and more) leaves the interval in force, without a word.
    if (milliseconds > 0 && milliseconds < 65000) {
        v.set_polling_interval(static_cast<int>(round_half_even(milliseconds)));
    }
}

void Text3_KeyPress(State& s, View& v, std::int16_t& key_ascii) {
    HandlerScope scope(s);
    if (key_ascii != 13) return;
    const double typed = read_number(v.text(TextField::Count));
    if (typed > kMaxCount) {
        v.message(messages::kCountAtMost300);
        s.max_count = kMaxCount;
        v.set_text(TextField::Count, "300");
        return;
    }
    // The series needs a whole number of slots from 1 up.
    const double count = round_half_even(typed);
    if (!(count >= 1)) {
        v.message(messages::kCountAtLeast1);
        s.max_count = 1;
        v.set_text(TextField::Count, "1");
        return;
    }
    s.max_count = count;
    if (count != typed) v.set_text(TextField::Count, plain_number_text(count));
    v.message(std::string(messages::kCountConfirmed) + signed_number_text(count));
}

}  // namespace form1

void file_name_set(State&, View& v) { v.set_text(TextField::Folder, v.folder_list_path()); }

}  // namespace trakora
