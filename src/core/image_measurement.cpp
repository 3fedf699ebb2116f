// SPDX-License-Identifier: MIT
#include "core/image_measurement.hpp"

#include <chrono>
#include <filesystem>
#include <system_error>

#include "core/state.hpp"
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

}  // namespace trakora
