// SPDX-License-Identifier: MIT
// Which names are candidates for the newest image, by the usual rule and the wider one.
#include "fits/file_names.hpp"

#include <gtest/gtest.h>

#include <string>

namespace trakora {
namespace {

struct NameRow {
    const char* label;
    std::string name;
    bool usual;  // a candidate by the usual rule
    bool wider;  // a candidate with any-case extensions
};

class ImageNames : public ::testing::TestWithParam<NameRow> {};

TEST_P(ImageNames, AreCandidatesByTheirEnding) {
    const NameRow& row = GetParam();
    EXPECT_EQ(is_image_name(row.name, false), row.usual);
    EXPECT_EQ(is_image_name(row.name, true), row.wider);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ImageNames,
    ::testing::Values(
        NameRow{"upper_fit", "m0042.FIT", true, true}, NameRow{"capital_fts", "m.Fts", true, true},
        NameRow{"no_dot", "OUTFIT", true, true},
        NameRow{"nina_fits", "Light_0001.fits", false, true},
        NameRow{"phd2_fit", "PHD2_CameraFrame_0001.fit", false, true},
        NameRow{"lower_fts", "a.fts", false, true}, NameRow{"upper_fits", "a.FITS", false, true},
        NameRow{"mixed_case", "a.fItS", false, true},
        NameRow{"bare_extension", ".fits", false, true},
        NameRow{"fits_without_dot", "outfits", false, false},
        NameRow{"fz_compressed", "a.fits.fz", false, true},
        NameRow{"fz_after_fit", "a.fit.FZ", false, true}, NameRow{"xisf", "a.XISF", false, true},
        NameRow{"xisf_without_dot", "axisf", false, false},
        NameRow{"other_extension", "a.fitx", false, false}, NameRow{"short", "it", false, false},
        NameRow{"empty", "", false, false}),
    [](const auto& row) { return std::string(row.param.label); });

}  // namespace
}  // namespace trakora
