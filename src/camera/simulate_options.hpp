// SPDX-License-Identifier: MIT
// The command line of `trakora-cli simulate`, parsed into plain values.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace trakora::camera {

struct SimulateOptions {
    std::filesystem::path folder;
    long count = 0;         // images to write; 0 writes until stopped
    double interval_s = 2;  // seconds between images, wall clock and simulated time
    int width = 765;
    int height = 510;
    int bitpix = 16;
    bool colour = false;  // three planes, BITPIX -32
    double drift_x_per_min = 0;
    double drift_y_per_min = 2;
    double seeing = 0.5;
    std::uint64_t seed = 1;
    std::string name_pattern = "drift_%04d.FIT";
    bool in_place = false;
    long keep = 0;  // keep only the newest N images of this run; 0 keeps all
    bool help = false;
};

// Parses the arguments after "simulate". Returns nullopt and sets `error` to a one-line
// reason for a bad command line.
std::optional<SimulateOptions> parse_simulate_options(int argc, char** argv, std::string& error);

// The usage text printed by --help.
std::string simulate_usage();

// Checks a printf-style name pattern: exactly one integer conversion (%d, %4d, %04d),
// "%%" for a percent sign, nothing that leads out of the folder. Returns the reason when
// it is bad, nullopt when it is good.
std::optional<std::string> check_name_pattern(std::string_view pattern);

// The file name for image number `number` (a pattern that passed check_name_pattern).
std::string format_name(std::string_view pattern, long number);

}  // namespace trakora::camera
