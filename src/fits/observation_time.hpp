// SPDX-License-Identifier: MIT
// When an image was taken, read tolerantly from the header, in UTC seconds since
// 1970-01-01T00:00:00 (leap seconds are not counted, as in Unix time).
//
// Usage:
//   auto t = observation_time(header_values(cards), file_modified_unix_s);
//   if (t) minutes = (t->unix_s - first_unix_s) / 60;   // t->source says where it came from
#pragma once

#include <optional>
#include <string_view>

#include "fits/header_values.hpp"

namespace trakora {

// Where an observation time came from: the header's keywords, or the file's modification
// time when the header gives none.
enum class TimeSource { date_obs, date_obs_time_obs, date_obs_ut, mjd_obs, file };

struct ObservationTime {
    double unix_s = 0;
    TimeSource source = TimeSource::date_obs;
};

// Tries, in this order: DATE-OBS as a full ISO date and time; DATE-OBS as a date (ISO
// "yyyy-mm-dd" or the old "dd/mm/yy", 19yy) with the time from TIME-OBS or UT; MJD-OBS
// (a number, as keyword_number reads one); then `file_modified_unix_s`. nullopt when none
// of them gives a time.
std::optional<ObservationTime> observation_time(const HeaderValues& header,
                                                std::optional<double> file_modified_unix_s);

// "yyyy-mm-ddThh:mm:ss[.f]" with 0 to 7 fractional digits and an optional trailing "Z".
std::optional<double> parse_iso_date_time(std::string_view text);

// A date alone, "yyyy-mm-dd" or "dd/mm/yy" (1900 + yy): seconds at its midnight.
std::optional<double> parse_date(std::string_view text);

// A time of day, "hh:mm:ss[.f]" (0 to 7 fractional digits, optional "Z"): seconds.
std::optional<double> parse_time_of_day(std::string_view text);

// Seconds since 1970 for a civil UTC date and time; nullopt for an impossible one.
std::optional<double> utc_seconds(int year, int month, int day, int hour, int minute,
                                  double second);

// Greenwich mean sidereal time, hours 0..24, at a UTC time in seconds since 1970 (UT1
// taken as UTC: a second's difference at most).
double greenwich_sidereal_hours(double unix_s);

}  // namespace trakora
