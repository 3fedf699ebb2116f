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
#include <memory>
#include <string>

#include "arrival/folder_memory.hpp"
#include "arrival/name_rule.hpp"
#include "arrival/short_file.hpp"
#include "base/image_buffer.hpp"
#include "base/position.hpp"
#include "fits/header_cards.hpp"
#include "fits/header_facts.hpp"
#include "fits/sample_values.hpp"
#include "session/drift_assistant.hpp"

namespace trakora {

using Number = double;

inline constexpr int kSlotCount = 301;  // measurement slots 0..300; 1..300 hold measurements
inline constexpr int kMaxCount = 300;   // the largest usable max_count
// header_cards 0..500; 0 is never filled
inline constexpr std::size_t kHeaderCardSlots = kMaxHeaderCards + 1;
inline constexpr Number kEmptySlot = -999;  // marks an empty measurement slot

struct State {
    // Folder and file
    std::string fits_file_name;  // bare name of the newest image, in the folder field's folder

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

    // The current image as the reader found it, beyond the variables above: the folder it
    // was read from and what its header says, made once per new header.
    std::string image_folder;
    std::shared_ptr<const HeaderFacts> image_facts;
    // A single-plane float image's samples as measured values (fits/sample_values.hpp),
    // their range, and whether the star is measured on them: when the samples lie well
    // inside +-1000 (a normalised 0..1 image rounds to nothing but 0 and 1). The picture,
    // pixel_min and pixel_max and the star search's found position stay those of the
    // rounded image.
    ImageBuffer sample_values;
    FloatRange sample_value_range;
    bool measured_from_values = false;
    // Where the last star search started from (object_x, object_y before it ran).
    Position spot_search_start;

    // What the object window painted when it was last opened (colour values, rows of
    // object_picture_width), kept so a repaint or a later look shows the same picture.
    ColourBuffer object_picture;
    int object_picture_width = 0;
    int object_picture_height = 0;

    // How many handlers are running; a timer tick that falls due meanwhile is dropped.
    int handlers_running = 0;

    // Which names count as images (trakora --names, the script's `names`).
    NameRule name_rule = NameRule::specified;
    // A newest image still being written, as the last ticks found it.
    ShortFileWatch short_file;
    // What the newest-image scan knows of the folder from earlier ticks, and the newest
    // image's greatest DATE-OBS card as the scan found it (80 characters; empty when
    // there is no newest image).
    FolderMemory folder_memory;
    std::string newest_date_card;

    // The drift assistant's session: a look beyond the series, which it never changes.
    DriftAssistant assistant;

    State();
};

// Plane p of the current image: image_width x image_height whole pixels.
inline PlaneView image_plane(const State& s, int p) {
    return s.image_pixels.plane(p, pixel_extent(s.image_width), pixel_extent(s.image_height));
}

// Empties every slot of the measurement series.
void clear_measurements(State& s);

}  // namespace trakora
