// SPDX-License-Identifier: MIT
// The command line of `trakora-cli simulate`, parsed into plain values.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/command_line.hpp"
#include "camera/simulated_sky.hpp"
#include "fits/compressed_fits_writer.hpp"
#include "fits/xisf_writer.hpp"

namespace trakora::camera {

// The periodic error a simulated mount's drive has unless --pe says otherwise, arcseconds.
inline constexpr double kRealSkyPeArcsec = 2;

// The kind of file the camera writes.
enum class CameraFileFormat {
    fits,  // plain FITS (the default)
    fz,    // tile-compressed FITS, .fz
    xisf,  // XISF, .xisf
};

struct SimulateOptions {
    std::filesystem::path folder;
    long count = 0;         // images to write; 0 writes until stopped
    double interval_s = 2;  // seconds between images, wall clock and simulated time
    int width = 765;
    int height = 510;
    int bitpix = 16;
    bool colour = false;      // three planes, BITPIX -32
    bool normalised = false;  // BITPIX -32 with samples from 0 to 1 (--float)
    CameraFileFormat file_format = CameraFileFormat::fits;
    TileCompression tile_compression = TileCompression::rice;  // fz
    XisfWriteFormat xisf_compression;                          // xisf: its codec
    double drift_x_per_min = 0;
    double drift_y_per_min = 2;
    double seeing = 0.5;
    std::uint64_t seed = 1;
    std::string name_pattern = "drift_%04d.FIT";
    bool in_place = false;
    bool empty_first = false;  // in place: create the file empty and pause before writing
    long keep = 0;             // keep only the newest N images of this run; 0 keeps all

    // The simulated mount: a polar axis off the pole, the site, the pointing and the
    // optics, written into the header and followed by the guide star's path.
    double az_offset_arcmin = 0;   // on the sky; + = the axis points too far west
    double alt_offset_arcmin = 0;  // + = the axis points too high
    double lat_deg = 50;
    double lon_deg = 0;  // east positive
    double dec_deg = 0;
    double ha_hours = 0;  // at the first image, west positive
    double scale_arcsec_per_px = 1.5;
    Orientation orientation;       // where north lies in the image
    bool simulated_clock = false;  // DATE-OBS = start + index x interval, written at once
    // The simulated clock's first DATE-OBS, ms since 1970 UTC; the wall clock when unset
    // (a second night continues the first one's clock with it).
    std::optional<long long> start_ms;

    // The drive and the air, as in MountSetup; the periodic error's phase is drawn from
    // the seed when not given.
    double track_rate_permille = 0;
    double pe_arcsec = 0;
    double pe_period_min = 8;
    std::optional<double> pe_phase_deg;
    bool refraction = false;
    double temperature_c = 10;
    double pressure_hpa = 1010;
    bool weather_given = false;  // AMBTEMP and PRESSURE go into the header
    bool wcs = false;            // a TAN plate solution goes into the header
    std::vector<Nudge> nudges;   // image counted from 0
    bool knobs = false;          // turns of the knobs read from standard input as it runs
    SkyConditions conditions;    // --clouds, --saturate, --undersampled
};

// The options of "simulate", each written into `o`, which must outlive the table.
command_line::Syntax simulate_command_line(SimulateOptions& o);

// Parses the arguments after "simulate". Returns nullopt and sets `error` to a one-line
// reason for a bad command line (or "--help" / "--version" when one of them was asked for).
std::optional<SimulateOptions> parse_simulate_options(int argc, char** argv, std::string& error);

// Checks a printf-style name pattern: exactly one integer conversion (%d, %4d, %04d),
// "%%" for a percent sign, nothing that leads out of the folder. Returns the reason when
// it is bad, nullopt when it is good.
std::optional<std::string> check_name_pattern(std::string_view pattern);

// The file name for image number `number` (a pattern that passed check_name_pattern).
std::string format_name(std::string_view pattern, long number);

// The name pattern for files of `format` from a FITS pattern: its extension becomes
// ".fits.fz" or ".xisf" ("drift_%04d.FIT" -> "drift_%04d.xisf"); a FITS pattern stays.
std::string name_pattern_for(const std::string& pattern, CameraFileFormat format);

// The naming and writing habits of a common capture program, for --style.
struct CaptureStyle {
    std::string_view name;          // "ekos", "nina", "phd2"
    std::string_view name_pattern;  // lower-case extensions, as those programs write them
    bool empty_first;               // creates the file empty before writing it
};

// The style called `name`, or nullptr.
const CaptureStyle* capture_style(std::string_view name);

// The warning for images named `first_name` that trakora would not take by its default
// rule; empty when it takes them.
std::string ignored_name_warning(const std::string& first_name);

}  // namespace trakora::camera
