// SPDX-License-Identifier: MIT
// What the tile-compressed FITS and XISF fuzz targets share: the input's bytes as an
// image file of the given name, read as the tick reads it, the newest-image scan run over
// it, and on a read what the tick runs next. Besides the sanitizers, a read must give a
// message that names the file or an image whose range covers its samples.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "arrival/newest_image.hpp"
#include "core/handlers.hpp"
#include "core/measured_image.hpp"
#include "core/read_image.hpp"
#include "core/state.hpp"
#include "scratch_folder.hpp"

namespace trakora::fuzz {

inline void fuzz_image_file(const char* name, const std::uint8_t* data, std::size_t size) {
    static ScratchFolder folder;
    static State* state = new State();
    State& s = *state;
    fuzz::write_bytes(folder.path() / name,
                      std::string_view(reinterpret_cast<const char*>(data), size));

    std::string last;
    newest_fits_name(folder.path().string(), last, NameRule::any);

    s.fits_file_name = name;
    std::string message;
    const std::int16_t status = read_fits_file(s, folder.path() / name, message);
    if (status != 0) {
        if (status != -1) fail("status " + std::to_string(status));
        if (message.rfind(name, 0) != 0)
            fail("message does not start with the file name: " + message);
        return;
    }
    const int width = pixel_extent(s.image_width);
    const int height = pixel_extent(s.image_height);
    if (width > 0 && height > 0) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::int32_t v = s.image_pixels.at(x, y, 0);
                if (v < s.pixel_min || v > s.pixel_max)
                    fail("a pixel outside pixel_min..pixel_max");
            }
    }
    s.object_x = size > 0 ? data[0] % 50 : 0;
    s.object_y = size > 1 ? data[1] % 50 : 0;
    find_brightest_spot(s);
    compute_display_levels(s);
    render_object_picture(s);
    // The plane the assistant measures on; not measured_image, whose plate reading runs
    // wcslib's header parser, which is not what these targets are after.
    const MeasuredPlane plane = measured_plane(s);
    (void)plane;
}

}  // namespace trakora::fuzz
