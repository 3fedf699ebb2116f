// SPDX-License-Identifier: MIT
// One tick of the polling timer: one measurement of the newest image.
#include "core/crosshair.hpp"
#include "core/handler_scope.hpp"
#include "core/handlers.hpp"
#include "core/load_newest_image.hpp"
#include "core/measured_image.hpp"
#include "core/series.hpp"
#include "session/assistant_handlers.hpp"

namespace trakora::form1 {

void Timer1_Timer(State& s, View& v) {
    if (s.handlers_running > 0) return;  // a message box is open: this tick is dropped
    HandlerScope scope(s);

    // Without a readable newest image nothing is recorded and the plot stays as it was;
    // one the camera is still writing is left for a later tick without a word.
    if (load_newest_image(s, v, WhileWriting::wait) != NewestImage::Read) return;
    v.clear_drift_plot();
    find_brightest_spot(s);
    compute_display_levels(s);
    show_object_window(s, v);
    draw_crosshair(s, v, s.object_x, s.object_y, kRed);          // where the star is now
    draw_crosshair(s, v, s.reference_x, s.reference_y, kWhite);  // where it was picked
    ImageMeasurement m = measured_image(s);
    m.slot = record_position(s);
    m.row_change = row_change_text(s, m.slot);
    show_drift_plot(s, v, m.slot, m.row_change);
    if (update_drift_assistant(s.assistant, measured_plane(s), std::move(m)))
        v.show_drift_assistant(s.assistant);
}

}  // namespace trakora::form1
