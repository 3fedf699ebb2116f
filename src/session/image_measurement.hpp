// SPDX-License-Identifier: MIT
// What the program learnt about one image when it measured it: made once, by the tick or
// the pick, and read by everyone after (the drift assistant, both faces' CSV, replay).
//
// The tick fills it in the order it learns things (core/measured_image.hpp makes both):
//   ImageMeasurement m = measured_image(s);           // file, header, time, position
//   m.slot = record_position(s);                       // the series slot it filled
//   m.row_change = row_change_text(s, m.slot);         // the drift label's text
//   if (update_drift_assistant(s.assistant, measured_plane(s), std::move(m)))  // the star
//       v.show_drift_assistant(s.assistant);                                    // and fit
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "analysis/star_measurement.hpp"
#include "base/plane_view.hpp"
#include "base/position.hpp"
#include "fits/header_facts.hpp"
#include "fits/observation_time.hpp"
#include "fits/observing_keywords.hpp"
#include "fits/plate_solution.hpp"

namespace trakora {

struct ImageMeasurement {
    std::string folder;          // the watched folder it was found in
    std::string file;            // bare file name
    std::string date_obs;        // the newest DATE-OBS card's value text, "" without one
    ObservingKeywords keywords;  // what its header says of optics, pointing, site, air
    PlateReading plate;          // its header's plate solution, or why there is none
    // When it was taken: the header's time, else the file's modification time; nullopt
    // when neither is known.
    std::optional<ObservationTime> time;
    Position found;          // the whole-pixel position the star search found
    int slot = 0;            // the series slot it filled when it was measured
    bool picked = false;     // made by a pick on the object window, not by a tick
    std::string row_change;  // the drift label's text: the row change since slot - 1
    // The drift assistant's precise look; nullopt when the assistant did not take the
    // image (the same image as the last one it took).
    std::optional<StarMeasurement> star;
};

// The image itself, as the drift assistant measures the star on it: its plane 0, the
// levels of its samples, and its size as read (no pixels unless both are above 0).
struct MeasuredPlane {
    PlaneView plane;
    StarLevels levels;
    double width = 0;
    double height = 0;
};

// The facts of an image that the tick knows once the star search has run: the folder it
// was read from, the file, what its header says (`header`; null when nothing was read), the
// greatest DATE-OBS card the scan found ("" without one) and the found position. The
// file's modification time is looked up only when the header gives no time.
ImageMeasurement image_measurement(const HeaderFacts* header, std::string folder, std::string file,
                                   std::string_view date_card, Position found);

}  // namespace trakora
