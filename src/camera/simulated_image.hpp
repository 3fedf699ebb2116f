// SPDX-License-Identifier: MIT
// One image of the simulated camera as the bytes of a FITS file: the sky of
// simulated_sky.hpp in the sample format the options ask for, with the header cards a
// capture program writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "camera/simulate_options.hpp"
#include "camera/simulated_sky.hpp"

namespace trakora::camera {

// The sky the options describe (8-bit images have a full scale of 255, the rest 65535).
SkyParams sky_params(const SimulateOptions& options);

struct ImageFile {
    std::vector<std::uint8_t> bytes;  // the whole file in the format the options ask for
    std::size_t header_bytes = 0;     // where the data begin
};

// Image `index` (0 for the first) with DATE-OBS `date_obs`, the header describing the
// mount of params.mount.
ImageFile simulated_image_file(const SimulateOptions& options, const SkyParams& params,
                               const SkyField& field, long index, const std::string& date_obs);

// The right ascension the mount points at: the sidereal time of the first image at the
// site's longitude, less the hour angle it starts at. Hours, 0 to 24.
double pointing_ra_hours(const SkyMount& mount, long long first_image_ms);

// The telescope slews to the star at hour angle `ha_hours` and declination `dec_deg` just
// before image `index` and centres it: the knobs' turns so far become the axis's offsets,
// the star's motion and the drive's periodic error go on from there, the hand
// controller's earlier moves are gone. `image_ms` is that image's time.
void slew_mount(SkyMount& mount, double ha_hours, double dec_deg, long index, long long image_ms,
                double interval_s);

// A DATE-OBS value in ISO form with milliseconds, "2026-12-09T02:05:40.123", UTC, from
// milliseconds since 1970-01-01T00:00:00.
std::string iso_time(long long ms_since_epoch);

}  // namespace trakora::camera
