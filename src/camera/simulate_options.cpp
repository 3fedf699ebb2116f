// SPDX-License-Identifier: MIT
#include "camera/simulate_options.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "base/image_buffer.hpp"

namespace trakora::camera {
namespace {

constexpr int kMinSide = 16;

bool parse_long(std::string_view text, long& out) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc{} && ptr == end && !text.empty();
}

bool parse_double(std::string_view text, double& out) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc{} && ptr == end && !text.empty() && std::isfinite(out);
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

// One conversion spec after '%': optional '0', up to two width digits, then 'd'.
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

}  // namespace

std::optional<std::string> check_name_pattern(std::string_view pattern) {
    int conversions = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '/') return "--name must be a file name, without '/'";
        if (pattern[i] != '%') continue;
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            ++i;
            continue;
        }
        const std::size_t length = integer_conversion_length(pattern.substr(i + 1));
        if (length == 0) return "--name allows only %d, %4d or %04d and %% after '%'";
        ++conversions;
        i += length;
    }
    if (conversions != 1)
        return "--name needs exactly one image number, for example drift_%04d.FIT";
    const std::string sample = format_name(pattern, 1);
    if (sample == "." || sample == "..") return "--name must be a file name";
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

std::string simulate_usage() {
    return "usage: trakora-cli simulate FOLDER [options]\n"
           "A simulated camera: writes one FITS image of a drifting guide star after another\n"
           "into FOLDER (created if missing), until stopped with Ctrl-C or SIGTERM.\n"
           "\n"
           "  --count N          stop after N images (default: until stopped)\n"
           "  --interval SECONDS time between images, fractions allowed (default 2)\n"
           "  --size WxH         image size in pixels, 16 to 3073 a side (default 765x510)\n"
           "  --bitpix B         8, 16, 32 or -32 (default 16, stored with BZERO 32768)\n"
           "  --colour           three planes (red, green, blue), BITPIX -32\n"
           "  --drift-x PIXELS   guide star drift per minute along the rows (default 0)\n"
           "  --drift-y PIXELS   guide star drift per minute along the columns (default 2)\n"
           "  --seeing PIXELS    random jitter of the star per image, standard deviation\n"
           "                     (default 0.5)\n"
           "  --seed N           the sky and its noise (default 1)\n"
           "  --name PATTERN     file names, one %d for the number (default drift_%04d.FIT)\n"
           "  --in-place         write each file in place, slowly, in several pieces; by\n"
           "                     default a file is written under a hidden temporary name and\n"
           "                     renamed, so the folder never shows a partial image\n"
           "  --keep N           delete this run's older images, keeping the newest N\n"
           "                     (default: keep all)\n"
           "  --help             this text\n"
           "\n"
           "The drift follows the simulated time, image number x interval. DATE-OBS is the\n"
           "wall clock (UTC) when the image is written, with milliseconds, always later\n"
           "than the image before. Existing files are never overwritten: numbering skips\n"
           "names already in the folder. One line per image goes to standard output.\n";
}

std::optional<SimulateOptions> parse_simulate_options(int argc, char** argv, std::string& error) {
    SimulateOptions o;
    bool bitpix_given = false;
    bool folder_given = false;
    for (int i = 0; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            o.help = true;
            return o;
        }
        if (arg.size() < 2 || arg.substr(0, 2) != "--") {
            if (folder_given) {
                error = "more than one folder given: '" + std::string(arg) + "'";
                return std::nullopt;
            }
            if (arg.empty()) {
                error = "the folder name is empty";
                return std::nullopt;
            }
            o.folder = std::string(arg);
            folder_given = true;
            continue;
        }

        std::string name(arg);
        std::string value;
        bool has_inline_value = false;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
            has_inline_value = true;
        }
        if (name == "--colour" || name == "--color" || name == "--in-place") {
            if (has_inline_value) {
                error = name + " takes no value";
                return std::nullopt;
            }
            (name == "--in-place" ? o.in_place : o.colour) = true;
            continue;
        }
        const bool known = name == "--count" || name == "--interval" || name == "--size" ||
                           name == "--bitpix" || name == "--drift-x" || name == "--drift-y" ||
                           name == "--seeing" || name == "--seed" || name == "--name" ||
                           name == "--keep";
        if (!known) {
            error = "unknown option '" + name + "'";
            return std::nullopt;
        }
        if (!has_inline_value) {
            if (i + 1 >= argc) {
                error = name + " needs a value";
                return std::nullopt;
            }
            value = argv[++i];
        }

        const auto bad = [&](const std::string& what) {
            error = name + ": " + what + ", not '" + value + "'";
            return std::nullopt;
        };
        long n = 0;
        double d = 0;
        if (name == "--count") {
            if (!parse_long(value, n) || n < 1) return bad("expected a whole number of at least 1");
            o.count = n;
        } else if (name == "--keep") {
            if (!parse_long(value, n) || n < 1) return bad("expected a whole number of at least 1");
            o.keep = n;
        } else if (name == "--interval") {
            if (!parse_double(value, d) || d < 0 || d > 86400)
                return bad("expected seconds from 0 to 86400");
            o.interval_s = d;
        } else if (name == "--size") {
            if (!parse_size(value, o.width, o.height))
                return bad("expected WxH, each from 16 to 3073");
        } else if (name == "--bitpix") {
            if (!parse_long(value, n) || (n != 8 && n != 16 && n != 32 && n != -32))
                return bad("expected 8, 16, 32 or -32");
            o.bitpix = static_cast<int>(n);
            bitpix_given = true;
        } else if (name == "--drift-x" || name == "--drift-y") {
            if (!parse_double(value, d) || std::abs(d) > 1000)
                return bad("expected pixels per minute from -1000 to 1000");
            (name == "--drift-x" ? o.drift_x_per_min : o.drift_y_per_min) = d;
        } else if (name == "--seeing") {
            // Beyond 2 pixels two images' jitters can differ by more than the star
            // search's 15-pixel reach, and the program would lose the star.
            if (!parse_double(value, d) || d < 0 || d > 2)
                return bad("expected pixels from 0 to 2");
            o.seeing = d;
        } else if (name == "--seed") {
            unsigned long long seed = 0;
            const char* end = value.data() + value.size();
            const auto [ptr, ec] = std::from_chars(value.data(), end, seed);
            if (ec != std::errc{} || ptr != end || value.empty())
                return bad("expected a whole number of at least 0");
            o.seed = seed;
        } else if (name == "--name") {
            if (const auto reason = check_name_pattern(value)) {
                error = *reason + ", not '" + value + "'";
                return std::nullopt;
            }
            o.name_pattern = value;
        }
    }
    if (!folder_given) {
        error = "no folder given";
        return std::nullopt;
    }
    if (o.colour) {
        if (bitpix_given && o.bitpix != -32) {
            error = "--colour images are written with BITPIX -32, not " + std::to_string(o.bitpix);
            return std::nullopt;
        }
        o.bitpix = -32;
    }
    return o;
}

}  // namespace trakora::camera
