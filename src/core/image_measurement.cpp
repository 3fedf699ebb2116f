// SPDX-License-Identifier: MIT
#include "core/image_measurement.hpp"

#include <chrono>
#include <filesystem>
#include <system_error>

#include "core/state.hpp"

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
    m.date_obs = s.image_date_obs;
    m.header = s.image_header;
    m.found = {s.object_x, s.object_y};
    m.time = observation_time(m.header, std::nullopt);
    if (!m.time)
        m.time = observation_time(
            m.header, modified_unix_s(std::filesystem::path(folder) / s.fits_file_name));
    return m;
}

}  // namespace trakora
