// SPDX-License-Identifier: MIT
#include "camera/simulated_image.hpp"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "fits/compressed_fits_writer.hpp"
#include "fits/fits_writer.hpp"
#include "fits/observation_time.hpp"
#include "fits/xisf_writer.hpp"

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

// The guide star's place on the sky at its drifted pixel (FITS counts pixels from 1),
// with the plate's scale, orientation and mirror in the CD matrix. FITS axis 2 runs
// along the stored rows, down the image as shown: a pixel step (dx, dy) goes dx e_x +
// dy e_y toward east and dx n_x + dy n_y toward north.
void append_plate_solution(std::vector<std::string>& cards, const SkyMount& mount, Position star) {
    const ScreenDirections d = screen_directions(mount.orientation);
    const double s = mount.scale_arcsec_per_px / 3600;
    cards.push_back(string_card("CTYPE1", "RA---TAN", "gnomonic projection"));
    cards.push_back(string_card("CTYPE2", "DEC--TAN", "gnomonic projection"));
    cards.push_back(real_card("CRPIX1", star.x + 1, "reference pixel: the guide star"));
    cards.push_back(real_card("CRPIX2", star.y + 1, "reference pixel: the guide star"));
    cards.push_back(real_card("CRVAL1", mount.ra_hours * 15, "right ascension there, degrees", 12));
    cards.push_back(real_card("CRVAL2", mount.setup.dec_deg, "declination there, degrees", 12));
    cards.push_back(real_card("CD1_1", s * d.east_x + 0.0, "degrees per pixel", 12));
    cards.push_back(real_card("CD1_2", s * d.east_y + 0.0, "degrees per pixel", 12));
    cards.push_back(real_card("CD2_1", s * d.north_x + 0.0, "degrees per pixel", 12));
    cards.push_back(real_card("CD2_2", s * d.north_y + 0.0, "degrees per pixel", 12));
}

}  // namespace

SkyParams sky_params(const SimulateOptions& o) {
    SkyParams params;
    params.width = o.width;
    params.height = o.height;
    params.planes = o.colour ? 3 : 1;
    params.full_scale = o.bitpix == 8 ? 255 : 65535;  // --float divides by it after
    params.interval_s = o.interval_s;
    params.drift_x_per_min = o.drift_x_per_min;
    params.drift_y_per_min = o.drift_y_per_min;
    params.seeing = o.seeing;
    params.seed = o.seed;
    MountSetup& m = params.mount.setup;
    m = {o.az_offset_arcmin, o.alt_offset_arcmin, o.lat_deg, o.dec_deg, o.ha_hours};
    m.track_rate_permille = o.track_rate_permille;
    m.pe_arcsec = o.pe_arcsec;
    m.pe_period_min = o.pe_period_min;
    m.pe_phase_deg = o.pe_phase_deg ? *o.pe_phase_deg : seeded_phase_deg(o.seed);
    m.refraction = o.refraction;
    m.temperature_c = o.temperature_c;
    m.pressure_hpa = o.pressure_hpa;
    params.mount.nudges = o.nudges;
    params.mount.scale_arcsec_per_px = o.scale_arcsec_per_px;
    params.mount.orientation = o.orientation;
    params.mount.lon_deg = o.lon_deg;
    params.conditions = o.conditions;
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
    if (o.weather_given) {
        cards.push_back(real_card("AMBTEMP", o.temperature_c, "air temperature, Celsius"));
        cards.push_back(real_card("PRESSURE", o.pressure_hpa, "air pressure, hPa"));
    }
    if (o.wcs) append_plate_solution(cards, params.mount, drift_position(params, field, index));

    std::vector<float> samples = render_sky(params, field, index);
    if (o.normalised) {
        for (float& v : samples) v = static_cast<float>(v / params.full_scale);
    }
    ImageFile file;
    switch (o.file_format) {
        case CameraFileFormat::fits:
            file.bytes = fits_file_bytes(cards, encode_samples(samples, format));
            file.header_bytes = (cards.size() + 1 + 35) / 36 * kBlockBytes;  // the cards and END
            break;
        case CameraFileFormat::fz:
            file.bytes =
                compressed_fits_bytes(cards, encode_samples(samples, format), o.tile_compression);
            file.header_bytes = kBlockBytes;  // the empty primary header
            break;
        case CameraFileFormat::xisf: {
            XisfWriteFormat xisf = o.xisf_compression;
            xisf.samples = xisf_samples_for_bitpix(format.bitpix);
            file.bytes =
                xisf_file_bytes(cards, samples, params.width, params.height, params.planes, xisf);
            file.header_bytes = xisf_header_bytes(file.bytes);
            break;
        }
    }
    return file;
}

double pointing_ra_hours(const SkyMount& mount, long long first_image_ms) {
    const double lst =
        greenwich_sidereal_hours(static_cast<double>(first_image_ms) / 1000) + mount.lon_deg / 15;
    const double ra = std::fmod(lst - mount.setup.ha_hours, 24.0);
    return ra < 0 ? ra + 24 : ra;
}

void slew_mount(SkyMount& mount, double ha_hours, double dec_deg, long index, long long image_ms,
                double interval_s) {
    MountSetup& m = mount.setup;
    const std::vector<KnobTurn> turns = knobs_turned(mount, index);
    const AxisOffset axis = axis_offset(m, turns);
    const double minutes = static_cast<double>(index - mount.epoch) * interval_s / 60.0;
    if (m.pe_period_min > 0)
        m.pe_phase_deg = std::fmod(m.pe_phase_deg + 360 * minutes / m.pe_period_min, 360.0);
    m.az_offset_arcmin = axis.az_arcmin;
    m.alt_offset_arcmin = axis.alt_arcmin;
    m.ha_hours = ha_hours;
    m.dec_deg = dec_deg;
    mount.knobs.clear();
    std::erase_if(mount.nudges, [index](const Nudge& n) { return n.image <= index; });
    mount.epoch = index;
    mount.ra_hours = pointing_ra_hours(mount, image_ms);
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
