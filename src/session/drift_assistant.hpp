// SPDX-License-Identifier: MIT
// The drift assistant's session: every image the tick measured, with its precise star
// measurement and its time, split into segments that each have their own inputs, fit and
// polar-error summary. A plain value held in State (`assistant`); it never changes a
// variable of the series or the plot.
//
// When a session starts and ends (see assistant_handlers.hpp):
//   - the first pick on the object window starts a session whose first image is the
//     picked one; a later pick starts a segment for the new star and keeps the earlier
//     segments;
//   - Stop ends the session; what it holds stays to be looked at and saved, and the next
//     measurement starts a new session;
//   - otherwise every tick that records a position adds its image to the session, except
//     a tick on the very image it took last (same file name, same time).
//
// Segments: a new one starts at the next image when the user asks for one after turning
// a knob ("New segment"), when a fit is to start at an image by hand (replay --from), when
// the header's PIERSIDE differs from the previous image's, or at a new star: picked, or
// met by a tick after a slew (the header's pointing moved by more than kSlewArcmin), with
// no click. Earlier segments keep their images and their own fit; no fit spans a slew.
//
// Inputs: the plate scale, the latitude and the orientation belong to the whole setup and
// apply to every segment; the declination and the hour angle belong to a star and a
// moment, so each segment has its own. A typed hour angle is the star's at its segment's
// first image; a segment that follows it on the same star takes it on at its own first
// image, by the sidereal time between the two.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "analysis/combined_error.hpp"
#include "analysis/drift_fit.hpp"
#include "analysis/polar_error.hpp"
#include "analysis/star_tracker.hpp"
#include "session/image_measurement.hpp"
#include "session/knob_adjust.hpp"

namespace trakora {

// One image of the session: what the tick measured, and how the session placed it.
struct SessionImage {
    ImageMeasurement measurement;          // its `star` is always set here
    double minutes = 0;                    // from the session's first timed image
    std::size_t segment = 0;               // the segment it belongs to
    Exclusion excluded = Exclusion::none;  // how its segment's fit treated it
};

// Why a segment started.
// slew: a tick met the mount pointing elsewhere (see mount_move).
enum class SegmentReason { start, new_star, knob_turned, pier_side, by_hand, slew };
const char* segment_reason_name(SegmentReason reason);  // "start", "new_star", ...

struct DriftSegment {
    SegmentReason reason = SegmentReason::start;
    std::size_t first = 0;  // index of its first image
    std::size_t count = 0;  // images in it
    // Its own declination and hour angle as typed (the hour angle at its first image);
    // the setup's inputs are the session's.
    std::optional<double> typed_dec_deg;
    std::optional<double> typed_ha_hours;
    std::optional<double> first_unix_s;  // the first time among its images
    // The mount had slewed to another star at its first image (also when the segment
    // counts as knob_turned, a slew having ended the turn): the star's inputs start anew.
    bool slewed = false;
    // A calibration move armed for it: its jump is looked for over its first
    // kArmedCalibrationImages images, not only the first few.
    std::optional<CalibrationMove> calibration;
    Geometry geometry;     // resolved once from its first image, that time and the inputs
    DriftFit fit;          // over its images
    DriftSummary summary;  // the fit read through the geometry, with notes on the times
};

// The numeric values the user may type; each overrides the header until cleared.
enum class DriftInput { scale, dec, ha, lat };
enum class InputSource { none, header, typed };

struct SourcedValue {
    std::optional<double> value;
    InputSource source = InputSource::none;
};

struct DriftAssistant {
    std::vector<SessionImage> images;
    std::vector<DriftSegment> segments;  // empty until the first image
    // What the user typed: the setup's inputs (scale, latitude, orientation) for every
    // segment; the star's (declination, hour angle) as the next or current segment's.
    PolarInputs typed;
    // The next image starts a segment for this reason; `star_typed_for_next`: the star's
    // inputs were typed since, for that segment.
    std::optional<SegmentReason> segment_requested;
    bool star_typed_for_next = false;
    bool session_ended = false;  // the next image starts a new session
    // The pier side the typed (or assumed) orientation is for: the one the images named
    // when it was given, else the session's first to name one. A segment on the other
    // side sees the camera turned half round by the meridian flip. "" until known.
    std::string orientation_pier_side;
    // The last image the tick or the pick measured, whether the session took it or not,
    // and how many have been measured: a face that follows the ticks reads it here.
    std::optional<ImageMeasurement> latest;
    std::size_t measured = 0;
    // While the user turns a knob: the target the star is steered to. Its images are
    // followed but go into no segment.
    std::optional<KnobAdjusting> adjusting;
    // Where the star was followed to when the turn ended: the next image looks there too.
    std::optional<Position> turned_to;
    // What is known of the session's star beyond the last image (set at the pick): the
    // tracker finds it by this, and knows when it is lost.
    std::optional<StarMemory> star_memory;
    // How far a turn of a knob may move a plate-solved pointing without being a slew, from
    // the turn's start until the segment after it starts, arcminutes.
    double turn_allowance_arcmin = 0;
    // The next segment is for a new star the mount slewed to.
    bool slew_for_next = false;
    // The knob whose turn ended last in this session.
    std::optional<Knob> knob_turned_last;
    // A calibration move armed for the next segment (arm_drift_calibration).
    std::optional<CalibrationMove> calibrate_next;
};

// How far an armed calibration's search goes, images.
inline constexpr std::size_t kArmedCalibrationImages = 60;

// Where the latest armed calibration stands.
enum class CalibrationOutcome {
    armed,          // waits for the next image
    searching,      // images come, no jump yet
    found,          // north's angle learnt: it holds for the whole setup from now on
    no_jump,        // none within kArmedCalibrationImages images
    too_small,      // a step stood out, below 5 px
    beyond_search,  // the star was lost after the move: jumped beyond the search or off
    twice,          // more than one jump stood out
};
const char* calibration_outcome_name(CalibrationOutcome outcome);  // "armed", ...

struct CalibrationState {
    CalibrationMove move = CalibrationMove::north;
    CalibrationOutcome outcome = CalibrationOutcome::armed;
    std::size_t images = 0;  // searched so far
    std::optional<double> angle_deg, angle_se_deg, jump_px;
};
// Nullopt when none was armed in this session.
std::optional<CalibrationState> calibration_now(const DriftAssistant& a);

// How the mount moved since the session's last image, as the headers tell.
enum class MountMove { none, slewed, flipped };
// Against the session's last image: a pointing moved beyond kSlewArcmin (plus the turn's
// allowance when only the plates tell), or a PIERSIDE other than the last one named.
MountMove mount_move(const DriftAssistant& a, const ImageMeasurement& m);

// A pick on a star this close (px) to where the last segment's star was is the same star.
inline constexpr double kSameStarPx = 2;

// ---- pure operations on the value (the handlers in assistant_handlers.hpp use them) ---

// Empties images and segments; keeps the setup's typed inputs.
void reset_drift_session(DriftAssistant& a);

// Whether `m` is the image the session took last (the timer is quicker than the camera).
bool is_last_image(const DriftAssistant& a, const ImageMeasurement& m);

// Adds one measured image (its star measurement set), starting a new segment when one
// was requested, the pier side changed or (`slewed`) the mount pointed elsewhere, and
// refits the current segment.
void add_drift_image(DriftAssistant& a, ImageMeasurement m, bool slewed = false);

// Resolves the geometry of every segment again (a typed input changed) and refits.
void refit_drift(DriftAssistant& a);

// The current (last) segment's summary; an empty one before the first image.
const DriftSummary& drift_summary_now(const DriftAssistant& a);

// The value of a geometry input for the current segment and where it came from.
SourcedValue drift_input_value(const DriftAssistant& a, DriftInput which);

// What a typed text means for an input, nullopt when it is no value for it: the plate
// scale in arcseconds per pixel above 0 and up to 3600; the declination and the latitude
// in degrees from -90 to 90, plain or "+dd mm ss"; the hour angle in hours from -24 to 24,
// plain or "hh mm ss". Blanks around the text are ignored. Replay's options and the
// drift window's boxes both read their values with it.
std::optional<double> drift_input_from_text(DriftInput which, std::string_view text);

// Sets or clears (nullopt) a typed input: the setup's for the whole session, the star's
// for the current segment, or for the next one when a segment is requested.
void type_drift_input(DriftAssistant& a, DriftInput which, std::optional<double> value);

// Images of segment k, in order (segments are contiguous runs of images).
std::span<const SessionImage> segment_images(const DriftAssistant& a, std::size_t k);

// Each segment's answer as the combined solve weighs it, one per segment: its mean hour
// angle and its north rate with the air's own drift taken off, NaN where it has none.
std::vector<SegmentRate> segment_rates(const DriftAssistant& a);

// Both components from the segments since the last knob turn; nullopt until solvable.
std::optional<CombinedError> combined_now(const DriftAssistant& a);

// The combined answers the session gave before the current one, oldest first: the one
// standing as each earlier segment ended (so also the last one before a turn of a knob),
// each answer once.
std::vector<CombinedError> combined_trail(const DriftAssistant& a);

// "Before the turn": the last combined answer that stood before the latest knob turn
// (from the segments before the newest segment started for a turned knob); nullopt when
// no knob was turned or nothing before it was solvable.
std::optional<CombinedError> combined_before_turn(const DriftAssistant& a);

// When the current segment is for a new star that stands where the last segment's star
// was (within 2 px of it, under the same pointing when the headers give one): a note
// asking whether it is the same star. Replay's summary and the drift window show it; the
// segment's own notes do not hold it.
std::optional<DriftNote> same_star_note(const DriftAssistant& a);

}  // namespace trakora
