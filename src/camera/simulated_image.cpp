// SPDX-License-Identifier: MIT
#include "camera/simulated_image.hpp"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "fits/fits_writer.hpp"
#include "fits/observation_time.hpp"

namespace trakora::camera {
namespace {

constexpr double kPixelSizeUm = 3.76;

// "+dd mm ss.s" or "hh mm ss.ss", rounded at the last digit as a capture program writes it.
std::string sexagesimal(double value, bool with_sign, int second_decimals) {
    const bool negative = value < 0;
    const double scale = std::pow(10.0, second_decimals);
    const long long units = std::llround(std::abs(value) * 3600 * scale);
    const long long whole = units / static_cast<long long>(3600 * scale);
    const long long minutes = units / static_cast<long long>(60 * scale) % 60;
    const double seconds = static_cast<double>(units % static_cast<long long>(60 * scale)) / scale;
    char text[48];
    std::snprintf(text, sizeof text, "%s%02lld %02lld %0*.*f",
                  with_sign ? (negative ? "-" : "+") : "", whole, minutes,
                  second_decimals > 0 ? 3 + second_decimals : 2, second_decimals, seconds);
    return text;
}

void append_mount_cards(std::vector<std::string>& cards, const SkyMount& mount) {
    cards.push_back(real_card("XPIXSZ", kPixelSizeUm, "pixel size in microns, binning included"));
    cards.push_back(real_card("FOCALLEN", 206.265 * kPixelSizeUm / mount.scale_arcsec_per_px,
                              "focal length in mm"));
    cards.push_back(string_card("OBJCTRA", sexagesimal(mount.ra_hours, false, 2),
                                "pointing right ascension, hours"));
    cards.push_back(string_card("OBJCTDEC", sexagesimal(mount.setup.dec_deg, true, 1),
                                "pointing declination, degrees"));
    cards.push_back(real_card("SITELAT", mount.setup.lat_deg, "site latitude, degrees"));
    cards.push_back(real_card("SITELONG", mount.lon_deg, "site longitude, degrees east"));
}

}  // namespace

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
    params.mount.setup = {o.az_offset_arcmin, o.alt_offset_arcmin, o.lat_deg, o.dec_deg,
                          o.ha_hours};
    params.mount.scale_arcsec_per_px = o.scale_arcsec_per_px;
    params.mount.orientation = o.orientation;
    params.mount.lon_deg = o.lon_deg;
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
    append_mount_cards(cards, params.mount);

    ImageFile file;
    file.bytes = fits_file_bytes(cards, encode_samples(render_sky(params, field, index), format));
    file.header_bytes = (cards.size() + 1 + 35) / 36 * kBlockBytes;  // the cards and END
    return file;
}

double pointing_ra_hours(const SkyMount& mount, long long first_image_ms) {
    const double lst =
        greenwich_sidereal_hours(static_cast<double>(first_image_ms) / 1000) + mount.lon_deg / 15;
    const double ra = std::fmod(lst - mount.setup.ha_hours, 24.0);
    return ra < 0 ? ra + 24 : ra;
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
