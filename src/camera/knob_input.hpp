// SPDX-License-Identifier: MIT
// The simulated mount's knobs, turned from standard input while the camera runs: lines
// "az ARCMIN" and "alt ARCMIN", on the sky, signed as --az-offset and --alt-offset (so
// "az -5" takes a 5' westward error away); "slew HOURS DEGREES" to another star and
// "nudge DIR ARCSEC", the hand controller's button (a calibration move).
//
//   KnobInput input(STDIN_FILENO);
//   for (const KnobLine& line : input.ready_lines())  // never waits
//       if (line.turn) mount.knobs.push_back({*line.turn, next_image});
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "camera/mount_model.hpp"

namespace trakora::camera {

// The largest turn one line may ask for, arcminutes (the offsets' own limit).
inline constexpr double kLargestKnobTurnArcmin = 600;

// The telescope slewed to another star and centred it: "slew HOURS DEGREES", its hour
// angle (west positive, -12 to 12) and declination.
struct Slew {
    double ha_hours = 0;
    double dec_deg = 0;
};

// One line read: the turn, the slew or the hand controller's press, or the reason it was
// not taken; a blank line is none of them.
struct KnobLine {
    std::optional<KnobTurn> turn;
    std::optional<Slew> slew;
    std::string refusal;  // empty when taken or blank
    // "nudge DIR ARCSEC": the telescope moved north, south, east or west, arcseconds.
    std::optional<SkyOffset> nudge = std::nullopt;
};

// "az -5", "alt 2.5", "slew -4.5 10", "nudge north 30", with any spaces around the words.
KnobLine parse_knob_line(std::string_view line);

// The lines that have arrived on a file descriptor, read without waiting. At the end of
// the input it reads no more; a last line without its line end is taken then.
class KnobInput {
  public:
    explicit KnobInput(int fd) : fd_(fd) {}
    std::vector<KnobLine> ready_lines();

  private:
    int fd_;
    bool ended_ = false;
    std::string pending_;
};

}  // namespace trakora::camera
