// SPDX-License-Identifier: MIT
#include "fits/observation_time.hpp"

#include <cmath>

#include "fits/keyword_text.hpp"

namespace trakora {
namespace {

constexpr double kMjdOfUnixEpoch = 40587;

// Exactly `count` digits at `pos`.
std::optional<int> digits(std::string_view text, std::size_t pos, std::size_t count) {
    if (pos + count > text.size()) return std::nullopt;
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// Days from 1970-01-01 to a proleptic Gregorian date.
long long days_from_civil(long long y, int m, int d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int days_in_month(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leap(y) ? 29 : kDays[m - 1];
}

std::string_view without_z(std::string_view text) {
    if (!text.empty() && (text.back() == 'Z' || text.back() == 'z')) text.remove_suffix(1);
    return text;
}

struct DayTime {
    int hour, minute;
    double second;
};

// "hh:mm:ss" with an optional fraction of 1 to 7 digits, nothing after it.
std::optional<DayTime> day_time(std::string_view t) {
    const auto h = digits(t, 0, 2), m = digits(t, 3, 2), s = digits(t, 6, 2);
    if (!h || !m || !s || t[2] != ':' || t[5] != ':') return std::nullopt;
    double second = *s;
    if (t.size() > 8) {
        const std::size_t fraction = t.size() - 9;
        if (t[8] != '.' || fraction > 7) return std::nullopt;
        if (fraction > 0) {
            const auto f = digits(t, 9, fraction);
            if (!f) return std::nullopt;
            second += *f / std::pow(10.0, static_cast<double>(fraction));
        }
    }
    return DayTime{*h, *m, second};
}

struct Date {
    int year, month, day;
};

std::optional<Date> date(std::string_view t) {
    if (t.size() == 10 && t[4] == '-' && t[7] == '-') {
        const auto y = digits(t, 0, 4), m = digits(t, 5, 2), d = digits(t, 8, 2);
        if (y && m && d) return Date{*y, *m, *d};
    } else if (t.size() == 8 && t[2] == '/' && t[5] == '/') {
        const auto d = digits(t, 0, 2), m = digits(t, 3, 2), y = digits(t, 6, 2);
        if (y && m && d) return Date{1900 + *y, *m, *d};
    }
    return std::nullopt;
}

}  // namespace

std::optional<double> utc_seconds(int year, int month, int day, int hour, int minute,
                                  double second) {
    if (month < 1 || month > 12 || day < 1 || day > days_in_month(year, month)) return std::nullopt;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second >= 61)
        return std::nullopt;
    return static_cast<double>(days_from_civil(year, month, day)) * 86400.0 + hour * 3600.0 +
           minute * 60.0 + second;
}

std::optional<double> parse_time_of_day(std::string_view text) {
    const auto t = day_time(without_z(text));
    if (!t || t->hour > 23 || t->minute > 59 || t->second >= 61) return std::nullopt;
    return t->hour * 3600.0 + t->minute * 60.0 + t->second;
}

std::optional<double> parse_date(std::string_view text) {
    const auto d = date(text);
    if (!d) return std::nullopt;
    return utc_seconds(d->year, d->month, d->day, 0, 0, 0);
}

std::optional<double> parse_iso_date_time(std::string_view text) {
    text = without_z(text);
    if (text.size() < 19 || (text[10] != 'T' && text[10] != 't')) return std::nullopt;
    const auto d = date(text.substr(0, 10));
    const auto t = day_time(text.substr(11));
    if (!d || !t || text[4] != '-') return std::nullopt;
    return utc_seconds(d->year, d->month, d->day, t->hour, t->minute, t->second);
}

std::optional<ObservationTime> observation_time(const HeaderValues& header,
                                                std::optional<double> file_modified_unix_s) {
    const auto date_obs = header_value(header, "DATE-OBS");
    if (date_obs) {
        if (const auto t = parse_iso_date_time(*date_obs))
            return ObservationTime{*t, TimeSource::date_obs};
        if (const auto day = parse_date(*date_obs)) {
            struct TimeCard {
                const char* keyword;
                TimeSource source;
            };
            for (const TimeCard card : {TimeCard{"TIME-OBS", TimeSource::date_obs_time_obs},
                                        TimeCard{"UT", TimeSource::date_obs_ut}}) {
                const auto text = header_value(header, card.keyword);
                const auto seconds = text ? parse_time_of_day(*text) : std::nullopt;
                if (seconds) return ObservationTime{*day + *seconds, card.source};
            }
        }
    }
    if (const auto mjd_text = header_value(header, "MJD-OBS")) {
        const auto mjd = keyword_number(*mjd_text);
        if (mjd && *mjd > 0 && *mjd < 1e6)
            return ObservationTime{(*mjd - kMjdOfUnixEpoch) * 86400.0, TimeSource::mjd_obs};
    }
    if (file_modified_unix_s && std::isfinite(*file_modified_unix_s))
        return ObservationTime{*file_modified_unix_s, TimeSource::file};
    return std::nullopt;
}

double greenwich_sidereal_hours(double unix_s) {
    const double days_since_j2000 = unix_s / 86400.0 + 2440587.5 - 2451545.0;
    const double gmst = std::fmod(18.697374558 + 24.06570982441908 * days_since_j2000, 24.0);
    return gmst < 0 ? gmst + 24 : gmst;
}

}  // namespace trakora
