// SPDX-License-Identifier: MIT
// `trakora-cli where`: where to point for each phase of the alignment, from the site and
// the clock, as one JSON object.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/sky_patches.hpp"
#include "base/command_line.hpp"
#include "base/json_text.hpp"
#include "camera/simulated_image.hpp"
#include "cli/commands.hpp"
#include "fits/observation_time.hpp"

namespace trakora::cli {
namespace {

// Nearer the meridian than this a star measures mostly azimuth.
constexpr double kMixedWithinHours = 2;

struct WhereOptions {
    std::optional<double> lat_deg, lon_deg;
    std::optional<double> unix_s;
    std::string time_text;
};

command_line::Syntax where_command_line(WhereOptions& o) {
    using command_line::Refusal;
    using Values = std::span<const std::string_view>;
    const auto degrees = [](std::optional<double>& out, double limit) {
        return [&out, limit](Values v) -> Refusal {
            double value = 0;
            if (auto refusal = command_line::number(value, -limit, limit, "degrees")(v))
                return refusal;
            out = value;
            return std::nullopt;
        };
    };
    command_line::Syntax syntax{
        "trakora-cli", "where",
        "Where to point for each phase of a drift alignment, from the site and the\n"
        "clock: the patch of sky and up to three bright stars near it, as one JSON object."};
    syntax.options = {
        {"lat", "DEG", "the site's latitude, south negative", 1, degrees(o.lat_deg, 90)},
        {"lon", "DEG", "the site's longitude, east positive", 1, degrees(o.lon_deg, 180)},
        {"time", "ISO8601", "the time, UTC, yyyy-mm-ddThh:mm:ss[.f][Z] (default: now)", 1,
         [&o](Values v) -> Refusal {
             o.unix_s = parse_iso_date_time(v[0]);
             if (!o.unix_s)
                 return "expected a UTC time yyyy-mm-ddThh:mm:ss, not '" + std::string(v[0]) + "'";
             o.time_text = std::string(v[0]);
             return std::nullopt;
         }},
    };
    syntax.notes =
        "azimuth: on the meridian, within 20 degrees of the equator, at least 30\n"
        "degrees high. altitude_east, altitude_west: 30 to 45 degrees above that horizon,\n"
        "within 20 degrees of the equator, as far from the meridian as that allows.\n"
        "A phase with no such sky at the site is null, and \"notes\" says why. Star\n"
        "places are J2000; altitudes are without refraction.\n";
    syntax.check = [&o]() -> Refusal {
        if (!o.lat_deg || !o.lon_deg) return "give the site by --lat and --lon";
        return std::nullopt;
    };
    return syntax;
}

// Rounded to what a pointing needs, not the floating point's noise: hours to 1e-4 (a
// third of a second), degrees to a hundredth; the stars' places as the table holds them.
void number(std::string& out, std::string_view key, double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    out += '"';
    out += key;
    out += "\":";
    append_json_number(out, std::round(value * scale) / scale);
}

void patch_json(std::string& out, const std::optional<SkyPatch>& patch) {
    if (!patch) {
        out += "null";
        return;
    }
    out += '{';
    number(out, "ha_hours", patch->ha_hours, 4);
    out += ',';
    number(out, "dec_deg", patch->dec_deg, 2);
    out += ',';
    number(out, "ra_hours", patch->ra_hours, 4);
    out += ',';
    number(out, "altitude_deg", patch->altitude_deg, 2);
    out += ",\"stars\":[";
    for (std::size_t i = 0; i < patch->stars.size(); ++i) {
        const PatchStar& s = patch->stars[i];
        out += i ? ",{\"name\":" : "{\"name\":";
        append_json_string(out, s.name);
        out += ',';
        number(out, "ra_hours", s.ra_hours, 4);
        out += ',';
        number(out, "dec_deg", s.dec_deg, 4);
        out += ',';
        number(out, "mag", s.mag, 2);
        out += ',';
        number(out, "ha_hours", s.ha_hours, 4);
        out += ',';
        number(out, "altitude_deg", s.altitude_deg, 2);
        out += '}';
    }
    out += "]}";
}

// Why a phase has no patch at this latitude, why its patch has no star, or why a side's
// patch measures less than it should.
void add_notes(std::vector<std::string>& notes, std::string_view phase,
               const std::optional<SkyPatch>& patch, bool meridian) {
    const std::string name(phase);
    if (patch && !meridian && std::abs(patch->ha_hours) < kMixedWithinHours) {
        char text[160];
        std::snprintf(text, sizeof text,
                      ": at this latitude the patch is only %.1f h from the meridian, where a "
                      "star measures azimuth and altitude together",
                      std::abs(patch->ha_hours));
        notes.push_back(name + text);
    }
    if (!patch)
        notes.push_back(name + ": " +
                        (meridian
                             ? "no declination within 20 degrees of the equator stands 30 degrees "
                               "high on the meridian at this latitude"
                             : "no declination within 20 degrees of the equator rises 30 degrees "
                               "above that horizon at this latitude"));
    else if (patch->stars.empty())
        notes.push_back(name +
                        ": no star of magnitude 3.5 or brighter near the patch now; any star "
                        "there does");
}

}  // namespace

int run_where(int argc, char** argv) {
    WhereOptions o;
    if (const auto status = command_line::parse_or_exit(where_command_line(o), argc, argv))
        return *status;
    const double unix_s =
        o.unix_s
            ? *o.unix_s
            : std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
                  .count();
    const double lst = local_sidereal_hours(unix_s, *o.lon_deg);
    const SkyPlan plan = sky_plan(*o.lat_deg, lst);

    std::string out = "{\"time\":";
    append_json_string(out, camera::iso_time(std::llround(unix_s * 1000)) + "Z");
    out += ',';
    number(out, "lat_deg", *o.lat_deg, 6);
    out += ',';
    number(out, "lon_deg", *o.lon_deg, 6);
    out += ',';
    number(out, "local_sidereal_hours", lst, 4);
    out += ",\"azimuth\":";
    patch_json(out, plan.azimuth);
    out += ",\"altitude_east\":";
    patch_json(out, plan.altitude_east);
    out += ",\"altitude_west\":";
    patch_json(out, plan.altitude_west);
    std::vector<std::string> notes;
    add_notes(notes, "azimuth", plan.azimuth, true);
    add_notes(notes, "altitude_east", plan.altitude_east, false);
    add_notes(notes, "altitude_west", plan.altitude_west, false);
    out += ",\"notes\":[";
    for (std::size_t i = 0; i < notes.size(); ++i) {
        if (i) out += ',';
        append_json_string(out, notes[i]);
    }
    out += "]}\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}

}  // namespace trakora::cli
