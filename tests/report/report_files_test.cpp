// SPDX-License-Identifier: MIT
// The drift assistant's files, as both faces write them: the session CSV, the chart's
// title, the summary JSON with null for every value that is not a finite number, and a
// file replaced whole, never rewritten in place.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "report/assistant_chart.hpp"
#include "report/chart_text.hpp"
#include "report/note_text.hpp"
#include "report/replaced_file.hpp"
#include "report/session_csv.hpp"
#include "report/summary_json.hpp"
#include "support/fits_files.hpp"

namespace trakora::report {
namespace {

namespace fs = std::filesystem;
using trakora::testing::TempDir;

std::string read_text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The writers the desktop's "保存…" shares: a worked session as CSV, and chart titles.
TEST(AssistantFiles, SessionCsvAndChartTitle) {
    DriftAssistant a;
    ImageMeasurement first;
    first.slot = 1;
    first.file = "a,1.FIT";
    first.date_obs = "2026-12-09T01:00:00";
    first.found = {40, 30};
    first.time = ObservationTime{0, TimeSource::date_obs};
    first.star = {40.25, 29.5, 0, 0, 0, 61.04, 3.126, 0};
    add_drift_image(a, first);
    ImageMeasurement second = first;
    second.slot = 2;
    second.file = "a2.FIT";
    second.found.y = 31;
    second.row_change = "1";
    second.time = ObservationTime{90, TimeSource::date_obs};
    second.star = {40.0, -0.0001, 0, 0, 0, 4.0, 1.0, kStarHotPixel | kStarLowSnr};
    add_drift_image(a, second);
    EXPECT_EQ(session_csv(a),
              "slot,file,date_obs,x,y,label,minutes,cx,cy,snr,hfd,flags\n"
              "1,\"a,1.FIT\",2026-12-09T01:00:00,40,30,,0.0000,40.250,29.500,61.0,3.13,\n"
              "2,a2.FIT,2026-12-09T01:00:00,40,31,1,1.5000,40.000,0.000,4.0,1.00,"
              "hot_pixel|low_snr\n");
    TempDir dir;
    std::string error;
    ASSERT_TRUE(write_session_csv(dir.file("s.csv").string(), a, &error)) << error;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    EXPECT_FALSE(write_session_csv(dir.file("no/such/s.csv").string(), a, &error));
    EXPECT_NE(error.find("no/such/s.csv"), std::string::npos);

    struct TitleRow {
        const char* name;
        DriftSummary summary;
        const char* title;
    };
    DriftSummary west;
    west.error_arcmin = 3.14;
    west.error_se_arcmin = 0.42;
    west.direction = ErrorDirection::west;
    west.component = Component::azimuth;
    DriftSummary low = west;
    low.error_se_arcmin = 0.04;
    low.direction = ErrorDirection::low;
    low.component = Component::altitude;
    DriftSummary no_hour_angle;
    no_hour_angle.north_arcsec_per_min = -0.5;
    for (const TitleRow& row : std::vector<TitleRow>{
             {"azimuth", west, "Polar error 3.1′ ± 0.4′, west (azimuth)"},
             {"altitude_small_se", low, "Polar error 3.14′ ± 0.04′, too low (altitude)"},
             {"no_hour_angle", no_hour_angle, "Drift toward north -0.50″/min (hour angle unknown)"},
             {"nothing_yet", DriftSummary{}, "Measuring the drift"}}) {
        EXPECT_EQ(drift_chart_title(drift_chart_caption(row.summary, true, true), row.summary),
                  row.title)
            << row.name;
    }
}

TEST(SummaryJson, NullForEveryValueThatIsNotAFiniteNumber) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    DriftSummary s;
    s.minutes = nan;
    s.rate_x_px_per_min = inf;
    s.rate_y_px_per_min = -inf;
    s.error_arcmin = nan;
    s.r2 = 0.5;
    const std::string json = summary_json(s);
    for (const char* key : {"minutes", "rate_x_px_per_min", "rate_y_px_per_min", "error_arcmin",
                            "north_arcsec_per_min", "axis", "enough"})
        EXPECT_NE(json.find("\"" + std::string(key) + "\": null"), std::string::npos) << key;
    EXPECT_NE(json.find("\"r2\": 0.5,"), std::string::npos) << json;
    EXPECT_EQ(json.find("nan"), std::string::npos) << json;
    EXPECT_EQ(json.find("inf"), std::string::npos) << json;
}

// A reader holding the old file keeps it whole; the new one is an ordinary file, and no
// temporary is left beside it.
TEST(ReplacedFile, RenamedOverTheOldOneAsAnOrdinaryFile) {
    TempDir dir;
    const fs::path target = dir.file("summary.json");
    std::ofstream(target) << "old";
    fs::create_hard_link(target, dir.file("reader"));
    std::string error;
    ASSERT_TRUE(write_file_replacing(target.string(), "new", &error)) << error;
    EXPECT_EQ(read_text(target), "new");
    EXPECT_EQ(read_text(dir.file("reader")), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(static_cast<mode_t>(fs::status(target).permissions()), 0666 & ~mask);
}

// The notes as the summary words them: numbers to their decimals, names as found, and
// what the hour angle wanted listed as missing or unreadable.
TEST(NoteText, WordsEachCodeWithItsValues) {
    const struct {
        DriftNote note;
        const char* text;
    } rows[] = {
        {{NoteCode::scale_from_pixel_size, {"XPIXSZ", "FOCALLEN"}, {1.19999}},
         "Plate scale 1.200 arcsec/px from XPIXSZ and FOCALLEN."},
        {{NoteCode::unreadable, {"SITELONG", "+139 41 61"}, {}},
         "SITELONG '+139 41 61' could not be read."},
        {{NoteCode::no_hour_angle,
          {"SITELONG"},
          {},
          kRightAscensionMissing | kLongitudeUnreadable | kTimeMissing},
         "No hour angle (--ha, or the right ascension with SITELONG and the observation time; "
         "missing: the right ascension, the time; unreadable: SITELONG): the error is unknown."},
        {{NoteCode::mixed_component, {"altitude"}, {2.54}},
         "This star, 2.5 h from the meridian, measures azimuth and altitude together; the figure "
         "assumes the altitude error is zero. A star within 2 h of the meridian measures "
         "azimuth, one 4 to 8 h from it altitude."},
        {{NoteCode::fit_start_beyond, {}, {40, 31}},
         "The fit was to start at image 40, but only 31 were measured: it covers them all."},
    };
    for (const auto& row : rows) EXPECT_EQ(note_text(row.note), row.text);
}

}  // namespace
}  // namespace trakora::report
