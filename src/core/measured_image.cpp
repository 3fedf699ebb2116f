// SPDX-License-Identifier: MIT
#include "core/measured_image.hpp"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "fits/header_cards.hpp"

namespace trakora {
namespace {

std::optional<double> modified_unix_s(const std::filesystem::path& path) {
    std::error_code ec;
    const auto written = std::filesystem::last_write_time(path, ec);
    if (ec) return std::nullopt;
    const auto since_1970 = std::chrono::file_clock::to_sys(written).time_since_epoch();
    return std::chrono::duration<double>(since_1970).count();
}

// The largest value a sample of the image's format can hold.
double sample_range_top(const State& s) {
    const double bits = std::abs(s.fits_bitpix);
    if (bits == 8) return 255;
    if (bits == 16) return 65535;
    return 2147483647.0;
}

}  // namespace

ImageMeasurement measured_image(const State& s) {
    const std::string& folder = s.image_folder;
    ImageMeasurement m;
    m.folder = folder;
    m.file = s.fits_file_name;
    if (!s.newest_date_card.empty()) m.date_obs = card_string_value(s.newest_date_card);
    if (s.image_facts) {
        m.keywords = s.image_facts->keywords;
        m.plate = s.image_facts->plate;
    }
    m.found = {s.object_x, s.object_y};
    m.time = m.keywords.time;
    if (!m.time)
        if (const auto modified = modified_unix_s(std::filesystem::path(folder) / s.fits_file_name))
            m.time = ObservationTime{*modified, TimeSource::file};
    return m;
}

MeasuredPlane measured_plane(const State& s) {
    return {image_plane(s, 0),
            {sample_range_top(s), static_cast<double>(s.pixel_max)},
            s.image_width,
            s.image_height};
}

}  // namespace trakora
