// SPDX-License-Identifier: MIT
// The object window: showing the current image, and picking the star on it.
#include <cmath>

#include "base/rounding.hpp"
#include "core/crosshair.hpp"
#include "core/handler_scope.hpp"
#include "core/handlers.hpp"
#include "core/measured_image.hpp"
#include "core/messages.hpp"
#include "session/assistant_handlers.hpp"

namespace trakora {

void draw_crosshair(State& s, View& v, Number x, Number y, std::uint32_t colour) {
    const auto scaled = [&](Number position) {
        return static_cast<float>(s.crosshair_scale * position);
    };
    const float width = static_cast<float>(v.object_scale_width());
    v.draw_object_line(0, scaled(y), width, scaled(y), colour);
    const float height = static_cast<float>(v.object_scale_height());
    v.draw_object_line(scaled(x), 0, scaled(x), height, colour);
}

void show_object_window(State& s, View& v) {
    if (s.image_width != 0 && s.image_height != 0) {
        v.close_object_window();
        form4::Form_Load(s, v);
    } else {
        v.message(messages::kNoDataFile);
    }
}

namespace form4 {

void Form_Load(State& s, View& v) {
    v.set_busy_pointer(true);
    render_object_picture(s);
    const PictureImage image{s.object_picture.data(), s.object_picture_width,
                             s.object_picture_height, s.object_picture_width};
    v.open_object_window(s.fits_file_name, s.image_width, s.image_height, image);
    v.set_busy_pointer(false);
}

void Picture1_MouseDown(State& s, View& v, std::int16_t button, std::int16_t shift, float x,
                        float y) {
    HandlerScope scope(s);
    if (s.object_pick_enabled == 0) return;
    if (button != 1 || shift != 0) return;  // only a plain left press picks
    s.object_x = round_half_up(static_cast<double>(x));
    s.object_y = round_half_up(static_cast<double>(y));
    find_brightest_spot(s);
    s.reference_x = s.object_x;
    s.reference_y = s.object_y;
    s.measurements[1] = {s.object_x, s.object_y};
    draw_crosshair(s, v, s.object_x, s.object_y, kWhite);
    ImageMeasurement m = measured_image(s);
    m.slot = 1;
    if (start_drift_star(s.assistant, measured_plane(s), std::move(m)))
        v.show_drift_assistant(s.assistant);
}

}  // namespace form4
}  // namespace trakora
