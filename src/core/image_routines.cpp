// SPDX-License-Identifier: MIT
// The routines that run the analysis on the current image and keep its results in the
// shared state.
#include <array>
#include <span>

#include "analysis/brightest_spot.hpp"
#include "analysis/display_levels.hpp"
#include "analysis/render_colours.hpp"
#include "core/handlers.hpp"

namespace trakora {

void find_brightest_spot(State& s) {
    s.spot_search_start = Position{s.object_x, s.object_y};
    const Position spot = brightest_spot_near(image_plane(s, 0), Position{s.object_x, s.object_y});
    s.object_x = spot.x;
    s.object_y = spot.y;
}

void compute_display_levels(State& s) {
    const DisplayLevels levels =
        choose_display_levels(image_plane(s, 0), PixelRange{s.pixel_min, s.pixel_max},
                              DisplayLevels{s.display_low, s.display_range});
    s.display_low = levels.low;
    s.display_range = levels.range;
}

void render_object_picture(State& s) {
    const std::array<PlaneView, 3> planes = {image_plane(s, 0), image_plane(s, 1),
                                             image_plane(s, 2)};
    const std::size_t count = s.image_planes == 3 ? 3 : 1;
    s.object_picture_width = planes[0].width;
    s.object_picture_height = planes[0].height;
    render_colours(std::span(planes.data(), count), DisplayLevels{s.display_low, s.display_range},
                   s.object_picture.data());
}

}  // namespace trakora
