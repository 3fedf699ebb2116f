// SPDX-License-Identifier: MIT
// A measuring run on a camera that writes its files in place: ticks that fall while the
// newest file is still being written record and show nothing, and every recorded position
// is the guide star of a complete image.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "camera/simulated_image.hpp"
#include "core/handlers.hpp"
#include "fits/fits_writer.hpp"
#include "support/fits_files.hpp"
#include "support/recording_view.hpp"

namespace trakora::camera {
namespace {

int filled_slots(const State& s) {
    int filled = 0;
    for (int k = 1; k <= kMaxCount; ++k)
        if (s.measurements[k][0] != kEmptySlot || s.measurements[k][1] != kEmptySlot) ++filled;
    return filled;
}

std::string image_name(long index) {
    char name[32];
    std::snprintf(name, sizeof name, "drift_%04ld.FIT", index + 1);
    return name;
}

TEST(SimulateInPlaceRun, TicksDuringAWriteRecordNothing) {
    trakora::testing::TempDir dir;
    auto state = std::make_unique<State>();
    State& s = *state;
    trakora::testing::RecordingView view(dir.path().string());
    form1::Form_Load(s, view);

    // Five pixels of drift from one image to the next, so a misread image cannot land on
    // the right place by chance.
    SimulateOptions o;
    o.width = 200;
    o.height = 150;
    o.interval_s = 10;
    o.drift_x_per_min = -6;
    o.drift_y_per_min = 30;
    o.seeing = 0.3;
    const SkyParams params = sky_params(o);
    const SkyField field = make_sky_field(params);
    const auto image = [&](long index) {
        return simulated_image_file(o, params, field, index, iso_time(1'800'000'000'000 + index));
    };

    const ImageFile first = image(0);
    write_file_replacing(dir.file(image_name(0)), first.bytes);
    form1::Command3_Click(s, view);
    const Position start = guide_star_position(params, field, 0);
    form4::Picture1_MouseDown(s, view, 1, 0, static_cast<float>(start.x),
                              static_cast<float>(start.y));
    form1::Command1_Click(s, view);
    ASSERT_EQ(filled_slots(s), 1);
    view.take();

    for (long index = 1; index <= 3; ++index) {
        const ImageFile file = image(index);
        const auto ends = chunk_ends(file.bytes.size(), file.header_bytes, 6);
        InPlaceWriter writer(dir.file(image_name(index)), file.bytes, ends);
        const int before = filled_slots(s);
        for (std::size_t piece = 1; piece <= ends.size(); ++piece) {
            SCOPED_TRACE("image " + std::to_string(index) + ", piece " + std::to_string(piece));
            ASSERT_TRUE(writer.write_next());
            form1::Timer1_Timer(s, view);
            const auto events = view.take();
            if (!writer.done()) {
                EXPECT_EQ(filled_slots(s), before) << "a partial image was measured";
                EXPECT_EQ(events, std::vector<std::string>{}) << "the camera is still writing";
                continue;
            }
            ASSERT_EQ(filled_slots(s), before + 1);
            const Position star = guide_star_position(params, field, index);
            const auto& slot = s.measurements[before + 1];
            EXPECT_LE(std::abs(slot[0] - star.x), 1.5) << "x " << slot[0] << " star " << star.x;
            EXPECT_LE(std::abs(slot[1] - star.y), 1.5) << "y " << slot[1] << " star " << star.y;
        }
    }
}

}  // namespace
}  // namespace trakora::camera
