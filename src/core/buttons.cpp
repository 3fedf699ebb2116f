// SPDX-License-Identifier: MIT
// The Start, Stop and object-setting buttons.
#include "core/handler_scope.hpp"
#include "core/handlers.hpp"
#include "core/load_newest_image.hpp"
#include "core/messages.hpp"
#include "session/assistant_handlers.hpp"

namespace trakora::form1 {

void Command1_Click(State& s, View& v) {
    HandlerScope scope(s);
    if (s.object_set == 1) {
        v.set_polling_enabled(true);
    } else {
        v.message(messages::kSetObjectFirst);
    }
}

void Command2_Click(State& s, View& v) {
    HandlerScope scope(s);
    v.set_polling_enabled(false);
    clear_measurements(s);
    s.object_set = 0;
    end_drift_session(s.assistant);
    v.message(messages::kObjectReleased);
}

void Command3_Click(State& s, View& v) {
    HandlerScope scope(s);
    s.object_pick_enabled = 1;
    const NewestImage newest = load_newest_image(s, v);
    if (newest == NewestImage::None) return;
    if (newest == NewestImage::Read) {
        compute_display_levels(s);
        show_object_window(s, v);
    }
    s.object_set = 1;  // also when the image could not be read
}

}  // namespace trakora::form1
