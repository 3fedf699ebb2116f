// SPDX-License-Identifier: MIT
#include "cli/drift_options.hpp"

#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "session/assistant_handlers.hpp"

namespace trakora::cli {
namespace {

// A geometry input, read as the drift window reads it.
command_line::Setter drift_input(std::optional<double>& out, DriftInput which, std::string what) {
    return [&out, which, what](std::span<const std::string_view> v) -> command_line::Refusal {
        const auto n = drift_input_from_text(which, v[0]);
        if (!n) return "expected " + what + ", not '" + std::string(v[0]) + "'";
        out = *n;
        return std::nullopt;
    };
}

}  // namespace

command_line::Operand folder_operand(std::string& folder, const char* help) {
    return {"FOLDER", help, true,
            [&folder](std::span<const std::string_view> v) -> command_line::Refusal {
                if (v[0].empty()) return "the folder name is empty";
                folder = std::string(v[0]);
                return std::nullopt;
            }};
}

command_line::Option pick_option(std::optional<std::pair<float, float>>& pick, const char* help) {
    return {"pick", "X Y", help, 2,
            [&pick](std::span<const std::string_view> v) -> command_line::Refusal {
                const auto x = command_line::to_number(v[0]);
                const auto y = command_line::to_number(v[1]);
                if (!x || !y)
                    return "expected two numbers, not '" + std::string(v[!x ? 0 : 1]) + "'";
                pick = {{static_cast<float>(*x), static_cast<float>(*y)}};
                return std::nullopt;
            }};
}

command_line::Option names_option(NameRule& names) {
    return {"names", "RULE",
            "which names count as images: specified (default: ending in\n"
            "FIT, Fit, FTS or Fts) or any (also .fit, .fits, .fts in any case,\n"
            ".fz and .xisf)",
            1, [&names](std::span<const std::string_view> v) -> command_line::Refusal {
                const std::optional<NameRule> rule = name_rule_named(v[0]);
                if (!rule) return "expected any or specified, not '" + std::string(v[0]) + "'";
                names = *rule;
                return std::nullopt;
            }};
}

std::vector<command_line::Option> drift_input_options(DriftOptions& o) {
    using command_line::Refusal;
    using Values = std::span<const std::string_view>;
    return {
        {"scale", "ARCSEC", "plate scale per pixel (default: from the header)", 1,
         drift_input(o.inputs.scale_arcsec_per_px, DriftInput::scale,
                     "arcseconds per pixel above 0")},
        {"dec", "DEGREES",
         "the star's declination, degrees or \"+dd mm ss\" (default:\n"
         "OBJCTDEC or DEC)",
         1, drift_input(o.inputs.dec_deg, DriftInput::dec, "a declination from -90 to 90")},
        {"ha", "HOURS",
         "the star's hour angle at the first image of the fit, west positive\n"
         "(default: from OBJCTRA or RA, SITELONG and the time)",
         1, drift_input(o.inputs.ha_hours, DriftInput::ha, "hours from -24 to 24")},
        {"lat", "DEGREES", "site latitude, south negative (default: SITELAT)", 1,
         drift_input(o.inputs.lat_deg, DriftInput::lat, "a latitude from -90 to 90")},
        {"north", "SIDE",
         "where north lies in the image as the object window shows it, roughly:\n"
         "up, down, left or right (default: the header's plate solution, else up,\n"
         "assumed); the star's RA motion may refine it",
         1,
         [&o](Values v) -> Refusal {
             const auto north = north_named(v[0]);
             if (!north) return "expected up, down, left or right, not '" + std::string(v[0]) + "'";
             if (o.inputs.angle_source == AngleSource::typed) return std::nullopt;
             o.inputs.orientation.north_deg = *north;
             o.inputs.angle_source = AngleSource::coarse;
             return std::nullopt;
         }},
        {"angle", "DEG",
         "north's exact angle in the image as the object window shows it, from\n"
         "up toward the right: up 0, right 90, down 180, left 270",
         1,
         [&o](Values v) -> Refusal {
             const auto angle = command_line::to_number(v[0]);
             if (!angle || !std::isfinite(*angle))
                 return "expected an angle in degrees, not '" + std::string(v[0]) + "'";
             o.inputs.orientation.north_deg = std::fmod(std::fmod(*angle, 360.0) + 360.0, 360.0);
             o.inputs.angle_source = AngleSource::typed;
             return std::nullopt;
         }},
        {"mirror", "", "the image is mirrored (east on the other side of north)", 0,
         command_line::flag(o.inputs.orientation.mirror)},
        {"calibrate", "MOVE[:N]",
         "the telescope was moved north, south, east or west by the hand\n"
         "controller, from the N-th image on (default 1): its jump, looked for\n"
         "over 60 images from there, gives north's angle",
         1,
         [&o](Values v) -> Refusal {
             const std::string_view text = v[0];
             const auto colon = text.find(':');
             const auto move = calibration_named(text.substr(0, colon));
             if (!move)
                 return "expected north, south, east or west, not '" +
                        std::string(text.substr(0, colon)) + "'";
             long image = 1;
             if (colon != std::string_view::npos) {
                 const auto n = command_line::to_number(text.substr(colon + 1));
                 if (!n || *n < 1 || std::trunc(*n) != *n || *n > 1e9)
                     return "expected an image number of 1 or more after the colon, not '" +
                            std::string(text.substr(colon + 1)) + "'";
                 image = static_cast<long>(*n);
             }
             o.calibrate = DriftOptions::Calibrate{*move, image};
             return std::nullopt;
         }},
        {"no-refraction", "", "leave the air's refraction in the drift", 0,
         command_line::flag(o.no_refraction)},
        {"temperature", "C",
         "the air's temperature, -60 to 50, when the header has no AMBTEMP in\n"
         "that range (default 10)",
         1,
         [&o](Values v) -> Refusal {
             const auto n = command_line::to_number(v[0]);
             if (!n || !(*n >= -60 && *n <= 50))
                 return "expected degrees C from -60 to 50, not '" + std::string(v[0]) + "'";
             o.inputs.temperature_c = *n;
             return std::nullopt;
         }},
        {"pressure", "HPA",
         "the air's pressure, 500 to 1100, when the header has no PRESSURE in\n"
         "that range (default 1010)",
         1,
         [&o](Values v) -> Refusal {
             const auto n = command_line::to_number(v[0]);
             if (!n || !(*n >= 500 && *n <= 1100))
                 return "expected hPa from 500 to 1100, not '" + std::string(v[0]) + "'";
             o.inputs.pressure_hpa = *n;
             return std::nullopt;
         }},
        {"target", "POLE", "the pole to aim at: true (default) or refracted", 1,
         [&o](Values v) -> Refusal {
             if (v[0] == "true")
                 o.inputs.target = PoleTarget::true_pole;
             else if (v[0] == "refracted")
                 o.inputs.target = PoleTarget::refracted;
             else
                 return "expected true or refracted, not '" + std::string(v[0]) + "'";
             return std::nullopt;
         }},
    };
}

void type_drift_options(DriftAssistant& a, View& view, const DriftOptions& o) {
    const PolarInputs& typed = o.inputs;
    const auto show = [&] { view.show_drift_assistant(a); };
    const auto type = [&](DriftInput which, const std::optional<double>& value) {
        if (value && set_drift_input(a, which, *value)) show();
    };
    type(DriftInput::scale, typed.scale_arcsec_per_px);
    type(DriftInput::dec, typed.dec_deg);
    type(DriftInput::lat, typed.lat_deg);
    set_drift_orientation(a, typed.orientation, typed.angle_source);
    show();
    set_drift_air(a, !o.no_refraction, typed.temperature_c, typed.pressure_hpa, typed.target);
    show();
    set_drift_calibration(a, typed.calibration);
    show();
}

void type_drift_hour_angle(DriftAssistant& a, View& view, const DriftOptions& o) {
    if (o.inputs.ha_hours && set_drift_input(a, DriftInput::ha, *o.inputs.ha_hours))
        view.show_drift_assistant(a);
}

}  // namespace trakora::cli
