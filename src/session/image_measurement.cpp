// SPDX-License-Identifier: MIT
#include "session/image_measurement.hpp"

#include <chrono>
#include <filesystem>
#include <system_error>
#include <utility>

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

ImageMeasurement image_measurement(const HeaderFacts* header, std::string folder, std::string file,
                                   std::string_view date_card, Position found) {
    ImageMeasurement m;
    m.folder = std::move(folder);
    m.file = std::move(file);
    if (!date_card.empty()) m.date_obs = card_string_value(date_card);
    if (header) {
        m.keywords = header->keywords;
        m.plate = plate_reading(*header);
    }
    m.found = found;
    m.time = m.keywords.time;
    if (!m.time)
        if (const auto modified = modified_unix_s(std::filesystem::path(m.folder) / m.file))
            m.time = ObservationTime{*modified, TimeSource::file};
    return m;
}

}  // namespace trakora
