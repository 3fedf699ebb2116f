// SPDX-License-Identifier: MIT
// The Start, Stop and object-setting buttons.
#include "analysis/display_levels.hpp"
#include "core/handler_scope.hpp"
#include "core/handlers.hpp"
#include "core/messages.hpp"

namespace trakora::form1 {

void Command1_Click(State& s, View& v) {
    HandlerScope scope(s);
    if (s.object_set == 1) {
        v.set_timer_enabled(true);
    } else {
        v.message(messages::kSetObjectFirst);
    }
}

void Command2_Click(State& s, View& v) {
    HandlerScope scope(s);
    v.set_timer_enabled(false);
    clear_measurements(s);
    s.object_set = 0;
    v.message(messages::kObjectReleased);
}

void Command3_Click(State& s, View& v) {
    HandlerScope scope(s);
    s.object_pick_enabled = 1;
    new_fits_file_name(s, v);
    if (s.fits_file_name.empty()) {
        v.message(messages::kNoFitsFile);
        return;
    }
    if (read_fits_image(s, v) != 0) {
        v.message(messages::kFileOpenError);
    } else {
        compute_display_levels(s);
        show_object_window(s, v);
    }
    s.object_set = 1;
}

}  // namespace trakora::form1
