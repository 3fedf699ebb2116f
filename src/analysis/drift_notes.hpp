// SPDX-License-Identifier: MIT
// What the drift answer has to say beside its numbers: where a value came from, why one
// is missing, what was left out of a fit. Codes with the names and numbers they speak of;
// each face words them in its own language where it shows them (report/note_text.hpp
// for the summary's English notes).
#pragma once

#include <string>
#include <vector>

namespace trakora {

enum class NoteCode {
    scale_from_pixel_size,  // names: pixel size, focal length keywords; numbers: scale
    scale_from_keyword,     // names: keyword; numbers: scale
    no_scale,               // names: the pixel-size, focal-length and scale keyword names
    unreadable,             // names: keyword, its text
    not_right_ascension,    // names: keyword, its text
    not_declination,        // names: keyword, its text
    not_latitude,           // names: keyword, its text
    pointing_placeholder,   // the header's pointing is all zeros
    declination_from,       // names: keyword
    pointing_precessed,     // names: right ascension, declination, equinox keywords;
                            // numbers: the equinox year
    pointing_of_date,       // names: the equinox keyword, its text, which is no equinox
    latitude_from,          // names: keyword
    no_latitude,            // names: the latitude keyword names
    hour_angle_from,        // names: right ascension keyword, longitude keyword
    no_hour_angle,          // names: the longitude keyword names; `parts`: what was wanting
    flagged_left_out,       // numbers: how many
    outliers_left_out,      // numbers: how many
    too_few_images,         // fewer than two usable images
    times_do_not_spread,    // the images' times do not spread
    mixed_component,        // numbers: hours from the meridian; names: the component assumed zero
    no_standard_error,      // too few images for a standard error
    times_from_files,       // numbers: how many images were timed by their files
    images_without_time,    // numbers: how many
    fit_start_beyond,       // numbers: the image the fit was to start at, images measured
    angle_from_plate,       // numbers: the angle; names: "mirrored" when it is
    plate_unusable,         // names: why the plate solution could not be read
    angle_not_known,        // the answer would be enough but the orientation is not known
    angle_refined,          // numbers: the angle, its standard error, the coarse angle
    angle_not_refined,      // numbers: the angle the motion gave, the coarse angle
    refraction_share,       // numbers: the altitude, the refraction's drift, the measured drift
    air_out_of_range,       // names: keyword, its text
    calibration_found,      // names: the move; numbers: the angle, its standard error, jump px
    calibration_missing,    // names: the move; no jump between two images stood out
    calibration_twice,      // names: the move; numbers: how many jumps stood out
    angle_sharpened,        // numbers: the angle, its standard error, the calibration's angle
    calibration_lost,       // names: the move; numbers: how many early images lost the star
    angle_turned_by_flip,   // names: the pier side given for, the segment's; numbers: the angle
    same_star_again,        // a new star's segment began where the last one's star was;
                            // numbers: how far from it, px
    star_lost,              // names: the file; numbers: the image it was lost at (from 1)
    star_found_again,       // names: both files; numbers: the image lost at, found again at
    faint_left_out,         // numbers: how many images the star was faint in (a cloud)
    star_saturated,         // numbers: how many images of the fit have it clipped
    scatter_too_wide,       // numbers: the residual scatter and the star's HFD, arcseconds
    motion_not_periodic,    // numbers: the angle the motion's line gave, the coarse angle
    pixel_steps,            // numbers: the centroid's pixel-phase error, px
    calibration_too_small,  // names: the move; numbers: the largest step, px (below 5)
    direction_needs_north,  // the error's way and knob turn need north in the image known
};

// What was wanting for the hour angle, as bits of `DriftNote::parts`.
inline constexpr unsigned kRightAscensionMissing = 1u << 0;
inline constexpr unsigned kRightAscensionUnreadable = 1u << 1;
inline constexpr unsigned kLongitudeMissing = 1u << 2;
inline constexpr unsigned kLongitudeUnreadable = 1u << 3;
inline constexpr unsigned kTimeMissing = 1u << 4;

struct DriftNote {
    NoteCode code;
    std::vector<std::string> names;
    std::vector<double> numbers;
    unsigned parts = 0;
};

}  // namespace trakora
