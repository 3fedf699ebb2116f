// SPDX-License-Identifier: MIT
#include "report/note_text.hpp"

#include "base/number_text.hpp"

namespace trakora::report {
namespace {

std::string count(double n) { return std::to_string(static_cast<long long>(n)); }

// The note's name or number k, or nothing when the note has fewer.
std::string name(const DriftNote& n, std::size_t k) {
    return k < n.names.size() ? n.names[k] : std::string();
}
double number(const DriftNote& n, std::size_t k) { return k < n.numbers.size() ? n.numbers[k] : 0; }

// "missing: the right ascension, SITELONG; unreadable: ..." for the hour angle.
std::string wanting(const DriftNote& n) {
    std::string missing, unread;
    const auto add = [](std::string& list, const std::string& what) {
        list += (list.empty() ? " " : ", ") + what;
    };
    if (n.parts & kRightAscensionUnreadable) add(unread, "the right ascension");
    if (n.parts & kRightAscensionMissing) add(missing, "the right ascension");
    if (n.parts & kLongitudeUnreadable) add(unread, name(n, 0));
    if (n.parts & kLongitudeMissing) add(missing, name(n, 0));
    if (n.parts & kTimeMissing) add(missing, "the time");
    std::string why = missing.empty() ? "" : "missing:" + missing;
    if (!unread.empty()) why += (why.empty() ? "unreadable:" : "; unreadable:") + unread;
    return why;
}

}  // namespace

std::string note_text(const DriftNote& n) {
    switch (n.code) {
        case NoteCode::scale_from_pixel_size:
            return "Plate scale " + fixed_text(number(n, 0), 3) + " arcsec/px from " + name(n, 0) +
                   " and " + name(n, 1) + ".";
        case NoteCode::scale_from_keyword:
            return "Plate scale " + fixed_text(number(n, 0), 3) + " arcsec/px from " + name(n, 0) +
                   ".";
        case NoteCode::no_scale:
            return "No plate scale (--scale, " + name(n, 0) + " with " + name(n, 1) + ", " +
                   name(n, 2) + "): rates stay in pixels and the error is unknown.";
        case NoteCode::unreadable:
            return name(n, 0) + " '" + name(n, 1) + "' could not be read.";
        case NoteCode::not_right_ascension:
            return name(n, 0) + " '" + name(n, 1) + "' is not a right ascension.";
        case NoteCode::not_declination:
            return name(n, 0) + " '" + name(n, 1) + "' is not a declination.";
        case NoteCode::not_latitude:
            return name(n, 0) + " '" + name(n, 1) + "' is not a latitude.";
        case NoteCode::pointing_placeholder:
            return "The header's pointing is a placeholder (00 00 00); it was ignored.";
        case NoteCode::declination_from:
            return "Declination from " + name(n, 0) + ".";
        case NoteCode::pointing_precessed:
            return name(n, 0) + " and " + name(n, 1) + " are of equinox " +
                   fixed_text(number(n, 0), 1) + " (" + name(n, 2) +
                   "): precessed to the date of the first image.";
        case NoteCode::pointing_of_date:
            return name(n, 0) + " '" + name(n, 1) +
                   "' is not an equinox year: the pointing was read as of the date.";
        case NoteCode::latitude_from:
            return "Latitude from " + name(n, 0) + ".";
        case NoteCode::no_latitude:
            return "No latitude (--lat or " + name(n, 0) + "): the northern hemisphere is assumed.";
        case NoteCode::hour_angle_from:
            return "Hour angle from " + name(n, 0) + ", " + name(n, 1) +
                   " and the observation time.";
        case NoteCode::no_hour_angle:
            return "No hour angle (--ha, or the right ascension with " + name(n, 0) +
                   " and the observation time; " + wanting(n) + "): the error is unknown.";
        case NoteCode::flagged_left_out:
            return count(number(n, 0)) + " flagged measurement(s) left out of the fit.";
        case NoteCode::outliers_left_out:
            return count(number(n, 0)) +
                   " outlier(s) beyond 4 times the residual RMS left out of the fit.";
        case NoteCode::too_few_images:
            return "Fewer than two usable images: no drift rate yet.";
        case NoteCode::times_do_not_spread:
            return "The images' times do not spread: no drift rate.";
        case NoteCode::mixed_component:
            return "This star, " + fixed_text(number(n, 0), 1) +
                   " h from the meridian, measures azimuth and altitude together; the figure "
                   "assumes the " +
                   name(n, 0) +
                   " error is zero. A star within 2 h of the meridian measures azimuth, one 4 "
                   "to 8 h from it altitude.";
        case NoteCode::no_standard_error:
            return "Too few images for a standard error.";
        case NoteCode::times_from_files:
            return "The time of " + count(number(n, 0)) +
                   " image(s) is the file's modification time: the header had no usable date.";
        case NoteCode::images_without_time:
            return count(number(n, 0)) + " image(s) without a known time were left out of the fit.";
        case NoteCode::fit_start_beyond:
            return "The fit was to start at image " + count(number(n, 0)) + ", but only " +
                   count(number(n, 1)) + " were measured: it covers them all.";
        case NoteCode::angle_from_plate:
            return "North at " + fixed_text(number(n, 0), 2) + " degrees" +
                   (name(n, 0).empty() ? "" : ", mirrored,") + " from the header's plate solution.";
        case NoteCode::plate_unusable:
            return "The header's plate solution is " + name(n, 0) + ": it was not used.";
        case NoteCode::angle_not_known:
            return "The standard error would be enough, but where north lies in the image is "
                   "not known: give it with --angle, a plate-solved header or --calibrate.";
        case NoteCode::angle_refined:
            return "North at " + fixed_text(number(n, 0), 1) + " +/- " +
                   fixed_text(number(n, 1), 1) + " degrees from the star's RA motion (given " +
                   fixed_text(number(n, 2), 0) + ").";
        case NoteCode::angle_sharpened:
            return "North at " + fixed_text(number(n, 0), 1) + " +/- " +
                   fixed_text(number(n, 1), 1) +
                   " degrees from the calibration move and the star's RA motion together "
                   "(the move alone: " +
                   fixed_text(number(n, 2), 1) + ").";
        case NoteCode::calibration_lost:
            return "The star was lost after the calibration move " + name(n, 0) + " (" +
                   count(number(n, 0)) +
                   " images): it jumped beyond 60 px or off the image. Re-centre it, start a "
                   "new segment and press the button for a second at a slower speed.";
        case NoteCode::angle_turned_by_flip:
            return "North at " + fixed_text(number(n, 0), 1) +
                   " degrees: the orientation given for pier side " + name(n, 0) +
                   " turned half round on pier side " + name(n, 1) + " (the meridian flip).";
        case NoteCode::angle_not_refined:
            return "The star's RA motion puts north at " + fixed_text(number(n, 0), 1) +
                   " degrees, more than 45 from the " + fixed_text(number(n, 1), 0) +
                   " given: it was not used.";
        case NoteCode::refraction_share:
            return "The star is " + fixed_text(number(n, 0), 1) +
                   " degrees high: refraction gave " + fixed_text(number(n, 1), 3) + " of the " +
                   fixed_text(number(n, 2), 3) +
                   " arcsec/min north drift measured, and was taken off.";
        case NoteCode::calibration_found:
            return "The calibration move " + name(n, 0) + " jumped the star " +
                   fixed_text(number(n, 2), 1) + " px: north at " + fixed_text(number(n, 0), 1) +
                   " +/- " + fixed_text(number(n, 1), 1) +
                   " degrees; the images before it left the fit.";
        case NoteCode::calibration_missing:
            return "No jump of the calibration move " + name(n, 0) +
                   " was found among the segment's first images: press the button once, for a "
                   "second or two, at the start of a segment.";
        case NoteCode::calibration_twice:
            return count(number(n, 0)) + " jumps stood out for the calibration move " + name(n, 0) +
                   ": none was used.";
        case NoteCode::same_star_again:
            return "The new star is where the last one was (" + fixed_text(number(n, 0), 1) +
                   " px off, the same pointing): the same star? A second star at the same hour "
                   "angle adds nothing to the other component.";
        case NoteCode::star_lost:
            return "The star was lost at image " + count(number(n, 0)) + " (" + name(n, 0) +
                   ") and not found again since: its images are left out, and the answer "
                   "waits for it.";
        case NoteCode::star_found_again:
            return "The star was lost at image " + count(number(n, 0)) + " (" + name(n, 0) +
                   ") and found again at image " + count(number(n, 1)) + " (" + name(n, 1) +
                   ") by its place, width and neighbours; the images between are left out.";
        case NoteCode::faint_left_out:
            return "The star was faint in " + count(number(n, 0)) +
                   " image(s) (clouds?): they are left out of the fit.";
        case NoteCode::star_saturated:
            return "The star is saturated (" + count(number(n, 0)) +
                   " image(s)): measured from its clipped core and its wings; a shorter "
                   "exposure or a fainter star measures better.";
        case NoteCode::scatter_too_wide:
            return "The measurements scatter by " + fixed_text(number(n, 0), 1) +
                   " arcsec about the line, more than the star's own width (HFD " +
                   fixed_text(number(n, 1), 1) +
                   " arcsec): not the star's jitter, so the answer is not trusted.";
        case NoteCode::motion_not_periodic:
            return "The star's motion would put north at " + fixed_text(number(n, 0), 1) +
                   " degrees (given " + fixed_text(number(n, 1), 0) +
                   "), but no periodic RA motion stands out above the seeing and the pixel "
                   "steps: it was not used.";
        case NoteCode::pixel_steps:
            return "The centroid steps with the pixels by up to " + fixed_text(number(n, 0), 2) +
                   " px (an undersampled or clipped star): taken into the standard error.";
        case NoteCode::calibration_too_small:
            return "The calibration move " + name(n, 0) + " moved the star only " +
                   fixed_text(number(n, 0), 1) +
                   " px, too little to read north from: press the button longer, or at a "
                   "faster speed.";
        case NoteCode::direction_needs_north:
            return "Where north lies in the image is not known, so the error's way and the "
                   "knob turn are not given: give it with --angle, a plate-solved header or "
                   "--calibrate.";
        case NoteCode::air_out_of_range:
            return name(n, 0) + " '" + name(n, 1) +
                   "' is out of range (-60 to 50 C, 500 to 1100 hPa): the default was used.";
    }
    return {};
}

}  // namespace trakora::report
