// SPDX-License-Identifier: MIT
#include "camera/simulated_image.hpp"

#include <cstdio>
#include <ctime>

#include "fits/fits_writer.hpp"

namespace trakora::camera {

SkyParams sky_params(const SimulateOptions& o) {
    SkyParams params;
    params.width = o.width;
    params.height = o.height;
    params.planes = o.colour ? 3 : 1;
    params.full_scale = o.bitpix == 8 ? 255 : 65535;
    params.interval_s = o.interval_s;
    params.drift_x_per_min = o.drift_x_per_min;
    params.drift_y_per_min = o.drift_y_per_min;
    params.seeing = o.seeing;
    params.seed = o.seed;
    return params;
}

ImageFile simulated_image_file(const SimulateOptions& o, const SkyParams& params,
                               const SkyField& field, long index, const std::string& date_obs) {
    const StorageFormat format = storage_format(o.bitpix);
    const bool colour = params.planes == 3;
    std::vector<std::string> cards;
    cards.push_back(logical_card("SIMPLE", true, "file conforms to FITS standard"));
    cards.push_back(integer_card("BITPIX", format.bitpix, "bits per data value"));
    cards.push_back(integer_card("NAXIS", colour ? 3 : 2, "number of data axes"));
    cards.push_back(integer_card("NAXIS1", params.width, "columns"));
    cards.push_back(integer_card("NAXIS2", params.height, "rows"));
    if (colour) cards.push_back(integer_card("NAXIS3", 3, "planes: red, green, blue"));
    append_format_cards(cards, format);
    cards.push_back(real_card("EXPTIME", o.interval_s, "exposure time in seconds"));
    cards.push_back(string_card("DATE-OBS", date_obs, "UTC start of exposure"));
    cards.push_back(string_card("INSTRUME", "Trakora simulated camera", "camera"));

    ImageFile file;
    file.bytes = fits_file_bytes(cards, encode_samples(render_sky(params, field, index), format));
    file.header_bytes = (cards.size() + 1 + 35) / 36 * kBlockBytes;  // the cards and END
    return file;
}

std::string iso_time(long long ms) {
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03lld", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, ms % 1000);
    return text;
}

}  // namespace trakora::camera
