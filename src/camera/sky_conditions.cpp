// SPDX-License-Identifier: MIT
#include "camera/sky_conditions.hpp"

#include <cmath>

namespace trakora::camera {
namespace {

constexpr long kCloudCycle = 60;

// A small hash of the seed, the same on every platform.
double seeded_share(std::uint64_t seed, std::uint64_t salt) {
    std::uint64_t z = seed * 0x9E3779B97F4A7C15ull + salt;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * 0x1.0p-53;
}

}  // namespace

void add_condition_options(std::vector<command_line::Option>& options, SkyConditions& c) {
    options.push_back({"clouds", "",
                       "passing clouds: of each 60 images, ten without stars\nand a few "
                       "where they dim by half",
                       0, command_line::flag(c.clouds)});
    options.push_back({"saturate", "",
                       "the guide star's peak 1.3 to 4 times the ceiling\n(a flat top)", 0,
                       command_line::flag(c.saturate)});
    options.push_back(
        {"undersampled", "", "stars drawn at whole pixels", 0, command_line::flag(c.undersampled)});
}

double cloud_transmission(const SkyConditions& c, std::uint64_t seed, long index) {
    if (!c.clouds) return 1;
    const long offset = static_cast<long>(seeded_share(seed, 1) * 10);
    const long k = ((index - offset) % kCloudCycle + kCloudCycle) % kCloudCycle;
    if (k >= 22 && k <= 31) return 0;
    if ((k >= 18 && k <= 21) || (k >= 32 && k <= 33) || (k >= 46 && k <= 48)) return 0.5;
    return 1;
}

double guide_peak(const SkyConditions& c, std::uint64_t seed, double full_scale, double sky,
                  double usual) {
    if (!c.saturate) return usual;
    const double times = 1.3 + 2.7 * seeded_share(seed, 2);
    return times * full_scale - sky;
}

Position drawn_at(const SkyConditions& c, Position place) {
    if (!c.undersampled) return place;
    return {std::round(place.x), std::round(place.y)};
}

}  // namespace trakora::camera
