// SPDX-License-Identifier: MIT
// Frames INDI's simulators wrote (indi_frames/README.md), read as the program reads them:
// the image, INDI's keywords, its J2000 pointing carried to the mount's place of date, and
// DATE-OBS ordering the night.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "analysis/geometry.hpp"
#include "arrival/newest_image.hpp"
#include "fits/header_values.hpp"
#include "fits/read_image.hpp"

namespace trakora {
namespace {

TEST(IndiFrames, CarryWhatTheMountAndCameraSaid) {
    struct Row {
        const char* name;                       // oldest first
        double width, height, pixel_um, scale;  // XPIXSZ has the binning, PIXSIZE1 not
        double hour_angle;  // of the mount's place of date at DATE-OBS, from 139.5 E
    };
    const Row rows[] = {{"drift_001.fits", 160, 120, 5.2, 1.191956, -2.8393},
                        {"drift_002.fits", 160, 120, 5.2, 1.191956, -2.8379},
                        {"drift_003.fits", 160, 120, 5.2, 1.191956, -2.8365},
                        {"drift_004.fits", 80, 60, 10.4, 2.383911, -2.8263}};
    const auto dir = std::filesystem::path(TRAKORA_TEST_DATA_DIR) / "fits" / "indi_frames";
    const std::vector<DatedImage> order = images_in_date_order(dir.string(), NameRule::any);
    ASSERT_EQ(order.size(), std::size(rows));
    ImageBuffer image;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const Row& r = rows[i];
        SCOPED_TRACE(r.name);
        EXPECT_EQ(order[i].name, r.name);
        const FitsRead read = read_image(dir / r.name, image);
        ASSERT_EQ(read.reason, "");
        EXPECT_EQ(read.header.naxis1, r.width);
        EXPECT_EQ(read.header.naxis2, r.height);
        // BZERO 32768 taken: the simulator's dark noise, a few counts above 0.
        EXPECT_TRUE(read.range.min >= 0 && read.range.min < 100) << read.range.min;
        const HeaderValues values = header_values(std::string_view(read.header.cards));
        // The first stored row is the top, as the program shows every image.
        EXPECT_EQ(header_value(values, "ROWORDER"), "TOP-DOWN");
        EXPECT_EQ(header_value(values, "PIXSIZE1"), "5.200000E+00");
        const ObservingKeywords k = read_observing_keywords(values);
        EXPECT_EQ(k.pixel_um.value, r.pixel_um);
        EXPECT_EQ(k.scale_arcsec_per_px.value, r.scale);
        ASSERT_TRUE(k.time);
        const Geometry g = resolve_geometry({}, k, k.time->unix_s);
        ASSERT_TRUE(g.dec_deg && g.ha_hours);
        EXPECT_NEAR(*g.dec_deg, -1.2, 0.003);
        EXPECT_NEAR(*g.ha_hours, r.hour_angle, 0.0005);
    }
}

}  // namespace
}  // namespace trakora
