// SPDX-License-Identifier: MIT
#include "camera/simulate_options.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <span>
#include <vector>

#include "base/image_buffer.hpp"
#include "fits/file_names.hpp"
#include "fits/observation_time.hpp"

namespace trakora::camera {
namespace {

constexpr int kMinSide = 16;

// A whole number as every option reads one (command_line::to_whole).
bool parse_long(std::string_view text, long& out) {
    const auto v = command_line::to_whole(text);
    if (!v || *v < std::numeric_limits<long>::min() || *v > std::numeric_limits<long>::max())
        return false;
    out = static_cast<long>(*v);
    return true;
}

bool parse_size(std::string_view text, int& width, int& height) {
    const auto x = text.find_first_of("xX");
    if (x == std::string_view::npos) return false;
    long w = 0, h = 0;
    if (!parse_long(text.substr(0, x), w) || !parse_long(text.substr(x + 1), h)) return false;
    if (w < kMinSide || h < kMinSide || w > kBufferSide || h > kBufferSide) return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

// One integer conversion after '%': optional '0', up to two width digits, then 'd'.
// Returns the length of the conversion after the '%', or 0 when it is not one.
std::size_t integer_conversion_length(std::string_view rest) {
    std::size_t i = 0;
    if (i < rest.size() && rest[i] == '0') ++i;
    std::size_t digits = 0;
    while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9' && digits < 2) {
        ++i;
        ++digits;
    }
    return i < rest.size() && rest[i] == 'd' ? i + 1 : 0;
}

// "DIR:ARCSEC:IMAGE": the telescope moved DIR (north, south, east or west) by ARCSEC
// before image IMAGE, counted from 1.
std::optional<Nudge> parse_nudge(std::string_view text) {
    const auto first = text.find(':');
    const auto second = first == std::string_view::npos ? first : text.find(':', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const std::string_view dir = text.substr(0, first);
    const auto arcsec = command_line::to_number(text.substr(first + 1, second - first - 1));
    const auto image = command_line::to_whole(text.substr(second + 1));
    if (!arcsec || *arcsec <= 0 || *arcsec > 3600 || !image || *image < 1) return std::nullopt;
    Nudge nudge;
    nudge.image = static_cast<long>(*image - 1);
    if (dir == "north")
        nudge.telescope.north_arcsec = *arcsec;
    else if (dir == "south")
        nudge.telescope.north_arcsec = -*arcsec;
    else if (dir == "east")
        nudge.telescope.east_arcsec = *arcsec;
    else if (dir == "west")
        nudge.telescope.east_arcsec = -*arcsec;
    else
        return std::nullopt;
    return nudge;
}

}  // namespace

std::optional<std::string> check_name_pattern(std::string_view pattern) {
    int conversions = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '/') return "must be a file name, without '/'";
        if (pattern[i] != '%') continue;
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            ++i;
            continue;
        }
        const std::size_t length = integer_conversion_length(pattern.substr(i + 1));
        if (length == 0) return "allows only %d, %4d or %04d and %% after '%'";
        ++conversions;
        i += length;
    }
    if (conversions != 1) return "needs exactly one image number, for example drift_%04d.FIT";
    const std::string sample = format_name(pattern, 1);
    if (sample == "." || sample == "..") return "must be a file name";
    return std::nullopt;
}

std::string format_name(std::string_view pattern, long number) {
    std::string name;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            name += pattern[i];
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            name += '%';
            ++i;
            continue;
        }
        const std::string_view rest = pattern.substr(i + 1);
        const std::size_t length = integer_conversion_length(rest);
        if (length == 0) {  // not a conversion: keep it as it stands
            name += '%';
            continue;
        }
        const bool zero_fill = rest[0] == '0';
        int width = 0;
        for (std::size_t k = zero_fill ? 1 : 0; k + 1 < length; ++k)
            width = width * 10 + (rest[k] - '0');
        std::string digits = std::to_string(number);
        if (static_cast<int>(digits.size()) < width)
            digits.insert(0, static_cast<std::size_t>(width) - digits.size(),
                          zero_fill ? '0' : ' ');
        name += digits;
        i += length;
    }
    return name;
}

namespace {

// Every one of them writes in place, under the final name.
constexpr CaptureStyle kCaptureStyles[] = {
    {"ekos", "Light_%03d.fits", true},             // KStars/Ekos
    {"nina", "Light_%04d.fits", false},            // N.I.N.A.
    {"phd2", "PHD2_CameraFrame_%04d.fit", false},  // PHD2 saving its camera frames
};

}  // namespace

std::string name_pattern_for(const std::string& pattern, CameraFileFormat format) {
    if (format == CameraFileFormat::fits) return pattern;
    std::string base = pattern;
    const std::size_t dot = base.rfind('.');
    if (dot != std::string::npos && base.find('%', dot) == std::string::npos) base.resize(dot);
    return base + (format == CameraFileFormat::fz ? ".fits.fz" : ".xisf");
}

const CaptureStyle* capture_style(std::string_view name) {
    for (const CaptureStyle& style : kCaptureStyles)
        if (style.name == name) return &style;
    return nullptr;
}

std::string ignored_name_warning(const std::string& first_name) {
    if (first_name.front() == '.')
        return "trakora takes no names starting with '.' for images; '" + first_name +
               "' will be ignored";
    if (has_fits_ending(first_name)) return {};
    if (has_fits_extension(first_name) || has_compressed_fits_extension(first_name) ||
        has_xisf_extension(first_name))
        return "'" + first_name +
               "': trakora takes such names only when started with --names any (by default "
               "only names ending in FIT, Fit, FTS or Fts)";
    return "trakora takes only names ending in FIT, Fit, FTS or Fts (or, with --names any, "
           ".fit, .fits or .fts in any case) for images; '" +
           first_name + "' will be ignored";
}

command_line::Syntax simulate_command_line(SimulateOptions& o) {
    using command_line::Refusal;
    using command_line::whole;
    using Values = std::span<const std::string_view>;
    // --colour forbids another BITPIX than -32 given in any order; the table remembers it.
    const auto bitpix_given = std::make_shared<bool>(false);
    // A misaligned mount makes the drift itself; the default drift would come on top.
    const auto mount_given = std::make_shared<bool>(false);
    const auto north_given = std::make_shared<int>(0);  // --north and --rotation
    const auto drift_y_given = std::make_shared<bool>(false);
    // A simulated mount sees a real sky unless told otherwise: the air, a little periodic
    // error. --no-refraction and --pe 0 make a laboratory sky.
    const auto air_given = std::make_shared<bool>(false);
    const auto pe_given = std::make_shared<bool>(false);
    // --name wins over the pattern of a --style, in any order.
    const auto name_given = std::make_shared<bool>(false);
    const auto style = std::make_shared<const CaptureStyle*>(nullptr);
    // --compression is read once --format is known, in any order.
    const auto compression = std::make_shared<std::optional<std::string>>();
    const auto not_value = [](Values v) { return ", not '" + std::string(v[0]) + "'"; };
    command_line::Syntax syntax{
        "trakora-cli", "simulate",
        "A simulated camera: writes one FITS image of a drifting guide star after another\n"
        "into FOLDER (created if missing), until stopped with Ctrl-C or SIGTERM."};
    syntax.operands = {{"FOLDER", "where the images go", true, [&o](Values v) -> Refusal {
                            if (v[0].empty()) return "the folder name is empty";
                            o.folder = std::string(v[0]);
                            return std::nullopt;
                        }}};
    syntax.options = {
        {"count", "N", "stop after N images (default: until stopped)", 1,
         whole(o.count, 1, std::numeric_limits<long>::max())},
        {"interval", "SECONDS", "time between images, fractions allowed (default 2)", 1,
         command_line::number(o.interval_s, 0, 86400, "seconds")},
        {"size", "WxH", "image size in pixels, 16 to 3073 a side (default 765x510)", 1,
         [&o, not_value](Values v) -> Refusal {
             if (!parse_size(v[0], o.width, o.height))
                 return "expected WxH, each from 16 to 3073" + not_value(v);
             return std::nullopt;
         }},
        {"bitpix", "B", "8, 16, 32 or -32 (default 16, stored with BZERO 32768)", 1,
         [&o, bitpix_given, not_value](Values v) -> Refusal {
             long n = 0;
             if (!parse_long(v[0], n) || (n != 8 && n != 16 && n != 32 && n != -32))
                 return "expected 8, 16, 32 or -32" + not_value(v);
             o.bitpix = static_cast<int>(n);
             *bitpix_given = true;
             return std::nullopt;
         }},
        {"colour", "", "three planes (red, green, blue), BITPIX -32", 0,
         command_line::flag(o.colour), "color"},
        {"float", "", "samples from 0 to 1, BITPIX -32, as normalised images are", 0,
         command_line::flag(o.normalised)},
        {"format", "FORMAT",
         "fits (default), fz (tile-compressed FITS, .fits.fz) or xisf\n"
         "(.xisf); trakora takes fz and xisf names with --names any",
         1,
         [&o, not_value](Values v) -> Refusal {
             if (v[0] == "fits") {
                 o.file_format = CameraFileFormat::fits;
             } else if (v[0] == "fz") {
                 o.file_format = CameraFileFormat::fz;
             } else if (v[0] == "xisf") {
                 o.file_format = CameraFileFormat::xisf;
             } else {
                 return "expected fits, fz or xisf" + not_value(v);
             }
             return std::nullopt;
         }},
        {"compression", "NAME",
         "fz: rice (default), gzip1, gzip2, hcompress or plio; xisf:\n"
         "none (default), zlib, lz4 or zstd, +sh for byte shuffling",
         1,
         [compression](Values v) -> Refusal {
             *compression = std::string(v[0]);
             return std::nullopt;
         }},
        {"drift-x", "PIXELS", "guide star drift per minute along the rows (default 0)", 1,
         command_line::number(o.drift_x_per_min, -1000, 1000, "pixels per minute")},
        {"drift-y", "PIXELS",
         "guide star drift per minute along the columns (default 2,\n0 with --az-offset or "
         "--alt-offset)",
         1,
         [&o, drift_y_given](Values v) -> Refusal {
             *drift_y_given = true;
             return command_line::number(o.drift_y_per_min, -1000, 1000, "pixels per minute")(v);
         }},
        // Beyond 2 pixels two images' jitters can differ by more than the star search's
        // 15-pixel reach, and the program would lose the star.
        {"seeing", "PIXELS",
         "random jitter of the star per image, standard deviation\n(default 0.5)", 1,
         command_line::number(o.seeing, 0, 2, "pixels")},
        {"seed", "N", "the sky and its noise (default 1)", 1,
         [&o, not_value](Values v) -> Refusal {
             unsigned long long seed = 0;
             const char* end = v[0].data() + v[0].size();
             const auto [ptr, ec] = std::from_chars(v[0].data(), end, seed);
             if (ec != std::errc{} || ptr != end || v[0].empty())
                 return "expected a whole number of at least 0" + not_value(v);
             o.seed = seed;
             return std::nullopt;
         }},
        {"name", "PATTERN", "file names, one %d for the number (default drift_%04d.FIT)", 1,
         [&o, name_given, not_value](Values v) -> Refusal {
             if (const auto reason = check_name_pattern(v[0])) return *reason + not_value(v);
             o.name_pattern = std::string(v[0]);
             *name_given = true;
             return std::nullopt;
         }},
        {"in-place", "",
         "write each file in place, slowly, in several pieces; by\n"
         "default a file is written under a hidden temporary name and\n"
         "renamed, so the folder never shows a partial image",
         0, command_line::flag(o.in_place)},
        {"style", "PROGRAM",
         "name and write images as a capture program does, in place:\n"
         "ekos (Light_001.fits, the file created empty first),\n"
         "nina (Light_0001.fits) or phd2 (PHD2_CameraFrame_0001.fit);\n"
         "trakora takes such names with --names any",
         1,
         [style, not_value](Values v) -> Refusal {
             *style = capture_style(v[0]);
             if (*style == nullptr) return "expected ekos, nina or phd2" + not_value(v);
             return std::nullopt;
         }},
        {"keep", "N", "delete this run's older images, keeping the newest N\n(default: keep all)",
         1, whole(o.keep, 1, std::numeric_limits<long>::max())},
        // ---- the simulated mount: its values are written into each header ----
        {"az-offset", "ARCMIN", "polar axis error on the sky, + = too far west (default 0)", 1,
         [&o, mount_given](Values v) -> Refusal {
             *mount_given = true;
             return command_line::number(o.az_offset_arcmin, -600, 600, "arcminutes")(v);
         }},
        {"alt-offset", "ARCMIN", "polar axis error on the sky, + = too high (default 0)", 1,
         [&o, mount_given](Values v) -> Refusal {
             *mount_given = true;
             return command_line::number(o.alt_offset_arcmin, -600, 600, "arcminutes")(v);
         }},
        {"lat", "DEGREES", "site latitude, south negative (default 50)", 1,
         command_line::number(o.lat_deg, -89, 89, "degrees")},
        {"lon", "DEGREES", "site longitude, east positive (default 0)", 1,
         command_line::number(o.lon_deg, -180, 360, "degrees")},
        {"dec", "DEGREES", "guide star declination (default 0)", 1,
         command_line::number(o.dec_deg, -89, 89, "degrees")},
        {"ha", "HOURS", "its hour angle at the first image, west positive (default 0)", 1,
         command_line::number(o.ha_hours, -12, 12, "hours")},
        {"scale", "ARCSEC", "plate scale per pixel (default 1.5)", 1,
         command_line::number(o.scale_arcsec_per_px, 0.01, 100, "arcseconds per pixel")},
        {"north", "SIDE",
         "where north lies in the image: up, down, left or right\n(default up; east is a quarter "
         "turn counterclockwise)",
         1,
         [&o, north_given, not_value](Values v) -> Refusal {
             const auto north = north_named(v[0]);
             if (!north) return "expected up, down, left or right" + not_value(v);
             o.orientation.north_deg = *north;
             ++*north_given;
             return std::nullopt;
         }},
        {"rotation", "DEG",
         "where north lies in the image, degrees from up toward the\nright: up 0, right 90, "
         "down 180, left 270",
         1,
         [&o, north_given](Values v) -> Refusal {
             ++*north_given;
             if (const Refusal r =
                     command_line::number(o.orientation.north_deg, 0, 360, "degrees")(v))
                 return r;
             if (o.orientation.north_deg == 360) o.orientation.north_deg = 0;
             return std::nullopt;
         }},
        {"mirror", "", "the image is mirrored: east a quarter turn clockwise from north", 0,
         command_line::flag(o.orientation.mirror)},
        {"pe", "ARCSEC",
         "periodic error of the drive, peak, turning the RA axis\n(default 2 with a simulated "
         "mount, else 0; the star moves by\nit times cos dec)",
         1,
         [&o, mount_given, pe_given](Values v) -> Refusal {
             *mount_given = true;
             *pe_given = true;
             return command_line::number(o.pe_arcsec, 0, 600, "arcseconds")(v);
         }},
        {"pe-period", "MIN", "the periodic error's period (default 8)", 1,
         command_line::number(o.pe_period_min, 0.1, 1440, "minutes")},
        {"pe-phase", "DEG", "the periodic error's phase at the first image (default from\n--seed)",
         1,
         [&o](Values v) -> Refusal {
             double phase = 0;
             if (const Refusal r = command_line::number(phase, -360, 360, "degrees")(v)) return r;
             o.pe_phase_deg = phase;
             return std::nullopt;
         }},
        {"track-rate", "PERMILLE",
         "drive rate error, parts per thousand of sidereal, + = too\nfast (default 0)", 1,
         [&o, mount_given](Values v) -> Refusal {
             *mount_given = true;
             return command_line::number(o.track_rate_permille, -100, 100, "parts per thousand")(v);
         }},
        {"refraction", "",
         "the air lifts the star (Saemundsson), AMBTEMP and PRESSURE\nwritten (the default "
         "with a simulated mount)",
         0,
         [&o, mount_given, air_given](Values v) -> Refusal {
             *mount_given = true;
             *air_given = true;
             o.weather_given = true;
             return command_line::flag(o.refraction)(v);
         }},
        {"no-refraction", "", "no air: the star is not lifted, no AMBTEMP or PRESSURE", 0,
         [&o, air_given](Values) -> Refusal {
             *air_given = true;
             o.refraction = false;
             return std::nullopt;
         }},
        {"temperature", "C", "air temperature, written as AMBTEMP (default 10)", 1,
         [&o](Values v) -> Refusal {
             o.weather_given = true;
             return command_line::number(o.temperature_c, -60, 50, "degrees Celsius")(v);
         }},
        {"pressure", "HPA", "air pressure, written as PRESSURE (default 1010)", 1,
         [&o](Values v) -> Refusal {
             o.weather_given = true;
             return command_line::number(o.pressure_hpa, 500, 1100, "hectopascals")(v);
         }},
        {"wcs", "", "write a TAN plate solution (CTYPE, CRPIX, CRVAL, CD)", 0,
         command_line::flag(o.wcs)},
        {"nudge", "DIR:ARCSEC:IMAGE",
         "the telescope moved DIR (north, south, east, west) by\nARCSEC just before image IMAGE "
         "(from 1); repeatable",
         1,
         [&o, mount_given, not_value](Values v) -> Refusal {
             const auto nudge = parse_nudge(v[0]);
             if (!nudge)
                 return "expected DIR:ARCSEC:IMAGE (north, south, east or west; above 0 up "
                        "to 3600 arcseconds; an image from 1)" +
                        not_value(v);
             *mount_given = true;
             o.nudges.push_back(*nudge);
             return std::nullopt;
         }},
        {"knobs", "",
         "read the knobs' turns from standard input while running:\nlines az ARCMIN and alt "
         "ARCMIN, on the sky, signed as\n--az-offset and --alt-offset, from the next image; "
         "slew HOURS\nDEGREES points at another star (its hour angle and\ndeclination) and "
         "centres it; nudge DIR ARCSEC presses the hand\ncontroller's button; after a turn the "
         "image's line tells\nwhere the axis now points",
         0, command_line::flag(o.knobs)},
        {"clock", "KIND",
         "wall (default) or simulated: DATE-OBS = start + image\nnumber x interval, all images "
         "written without pause",
         1,
         [&o, not_value](Values v) -> Refusal {
             if (v[0] != "wall" && v[0] != "simulated")
                 return "expected wall or simulated" + not_value(v);
             o.simulated_clock = v[0] == "simulated";
             return std::nullopt;
         }},
        {"start", "ISO8601",
         "with --clock simulated: the first image's DATE-OBS, UTC,\nyyyy-mm-ddThh:mm:ss[.f] "
         "(default: now); a second night\ncontinues the first one's clock with it",
         1,
         [&o](Values v) -> Refusal {
             const std::optional<double> s = parse_iso_date_time(v[0]);
             if (!s)
                 return "expected a UTC time yyyy-mm-ddThh:mm:ss, not '" + std::string(v[0]) + "'";
             o.start_ms = std::llround(*s * 1000);
             return std::nullopt;
         }},
    };
    syntax.notes =
        "The drift follows the simulated time, image number x interval: the mount's\n"
        "tracking error plus --drift-x and --drift-y. DATE-OBS is the wall clock (UTC)\n"
        "when the image is written, with milliseconds, always later than the image\n"
        "before. --interval 0 and --clock simulated need --count or --keep. Existing\n"
        "files are never overwritten: numbering skips names already in the folder. One\n"
        "line per image goes to standard output.\n";
    add_condition_options(syntax.options, o.conditions);
    syntax.check = [&o, bitpix_given, mount_given, drift_y_given, name_given, style, north_given,
                    air_given, pe_given, compression]() -> Refusal {
        if (*north_given > 1) return "give where north lies once, by --north or --rotation";
        if (const CaptureStyle* s = *style) {
            if (!*name_given) o.name_pattern = std::string(s->name_pattern);
            o.in_place = true;
            o.empty_first = s->empty_first;
        }
        if (!*name_given) o.name_pattern = name_pattern_for(o.name_pattern, o.file_format);
        if (*compression) {
            const std::string& word = **compression;
            if (o.file_format == CameraFileFormat::fz) {
                const auto c = tile_compression_named(word);
                if (!c)
                    return "--compression for fz: rice, gzip1, gzip2, hcompress or plio, not '" +
                           word + "'";
                o.tile_compression = *c;
            } else if (o.file_format == CameraFileFormat::xisf) {
                const auto c = xisf_compression_named(word);
                if (!c)
                    return "--compression for xisf: none, zlib, lz4 or zstd (+sh), not '" + word +
                           "'";
                o.xisf_compression = *c;
            } else {
                return std::string("--compression needs --format fz or xisf");
            }
        }
        if (o.normalised) {
            if (*bitpix_given && o.bitpix != -32)
                return "--float images are written with BITPIX -32, not " +
                       std::to_string(o.bitpix);
            o.bitpix = -32;
        }
        if (o.colour) {
            if (*bitpix_given && o.bitpix != -32)
                return "--colour images are written with BITPIX -32, not " +
                       std::to_string(o.bitpix);
            o.bitpix = -32;
        }
        if (*mount_given && !*drift_y_given) o.drift_y_per_min = 0;
        if (*mount_given && !*air_given) o.refraction = o.weather_given = true;
        if (*mount_given && !*pe_given) o.pe_arcsec = kRealSkyPeArcsec;
        // Without pauses nothing but the disk would stop the camera.
        if (o.count == 0 && o.keep == 0 && (o.interval_s == 0 || o.simulated_clock))
            return std::string(o.simulated_clock ? "--clock simulated" : "--interval 0") +
                   " writes images without pause: give --count or --keep";
        if (o.start_ms && !o.simulated_clock)
            return std::string("--start sets the simulated clock: give --clock simulated too");
        return std::nullopt;
    };
    return syntax;
}

std::optional<SimulateOptions> parse_simulate_options(int argc, char** argv, std::string& error) {
    SimulateOptions o;
    const std::vector<std::string_view> args(argv, argv + argc);
    const command_line::Parsed parsed = command_line::parse(simulate_command_line(o), args);
    switch (parsed.outcome) {
        case command_line::Outcome::run:
            return o;
        case command_line::Outcome::help:
            error = "--help";
            return std::nullopt;
        case command_line::Outcome::version:
            error = "--version";
            return std::nullopt;
        case command_line::Outcome::error:
            break;
    }
    error = parsed.error;
    return std::nullopt;
}

}  // namespace trakora::camera
