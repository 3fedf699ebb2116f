// SPDX-License-Identifier: MIT
// The shared state of the whole program: every variable that outlives one handler.
//
// Numbers that the program keeps as dynamically typed values (16-bit integer, 32-bit
// integer or double, empty before the first assignment) are held as doubles here: the
// empty value counts as 0 and whole numbers compare and compute the same whatever kind
// holds them, so a double carries every value they can take.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/image_buffer.hpp"

namespace trakora {

using Number = double;

inline constexpr int kSlotCount = 301;        // measurement slots 0..300; 1..300 hold measurements
inline constexpr int kMaxCount = 300;         // the largest usable max_count
inline constexpr int kHeaderCardSlots = 501;  // header_cards 0..500; 0 is never filled
inline constexpr int kMaxHeaderCards = 500;
inline constexpr Number kEmptySlot = -999;  // marks an empty measurement slot

struct State {
    // Folder and file
    std::string fits_file_name;  // bare name of the newest image; the folder is Text1

    // Object, measurement series and flags
    Number object_set = 0;
    Number object_pick_enabled = 0;
    Number object_x = 0, object_y = 0;
    Number reference_x = 0, reference_y = 0;
    Number crosshair_scale = 0;
    Number max_count = 0;
    std::array<std::array<Number, 2>, kSlotCount> measurements;  // [slot][0 = x, 1 = y]

    // Image and header
    std::array<std::string, kHeaderCardSlots> header_cards;
    Number header_end_card = 0;
    Number fits_bitpix = 0;
    Number image_width = 0;
    Number image_height = 0;
    Number image_planes = 0;
    Number fits_bzero = 0;
    Number fits_bscale = 0;
    ImageBuffer image_pixels;  // 3073 x 3073 x 3, allocated once for the run
    std::int32_t pixel_min = 0, pixel_max = 0;
    std::int32_t display_low = 0, display_range = 0;

    // What the object window painted when it was last opened (colour values, rows of
    // object_picture_width), kept so a repaint or a later look shows the same picture.
    ColourBuffer object_picture;
    int object_picture_width = 0;
    int object_picture_height = 0;

    // How many handlers are running; a timer tick that falls due meanwhile is dropped.
    int handlers_running = 0;

    State();
};

// The number of whole pixels a size covers: columns 0, 1, ... while x <= size - 1,
// never more than the buffer holds. Fractional sizes count their whole part; sizes of
// 0 or less cover nothing.
inline int pixel_extent(Number size) {
    if (!(size >= 1)) return 0;
    if (size >= kBufferSide) return kBufferSide;
    return static_cast<int>(std::floor(size));
}

// Empties every slot of the measurement series.
void clear_measurements(State& s);

}  // namespace trakora
