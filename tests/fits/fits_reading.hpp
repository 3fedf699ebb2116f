// SPDX-License-Identifier: MIT
// What the reader tests share: a state, a folder for the files, and one call that writes
// a file and reads it the way the program does.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/read_image.hpp"
#include "core/state.hpp"
#include "support/fits_files.hpp"

namespace trakora::testing {

struct FitsReading {
    TempDir dir;
    std::unique_ptr<State> state = std::make_unique<State>();
    State& s = *state;
    std::string message;

    // Writes `bytes` as `name` in the folder and reads it.
    std::int16_t read(std::string_view bytes, const std::string& name = "a.fit") {
        write_file(dir.file(name), bytes);
        return read_existing(name);
    }

    // Reads what is (or is not) at `name` in the folder.
    std::int16_t read_existing(const std::string& name) {
        s.fits_file_name = name;
        message.clear();
        return read_fits_file(s, dir.file(name), message);
    }

    // Plane p of the image as stored: `width` x `height` values in file order.
    std::vector<std::int32_t> plane(int width, int height, int p = 0) const {
        std::vector<std::int32_t> values;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) values.push_back(s.image_pixels.at(x, y, p));
        return values;
    }

    // Marks the corner of every plane with values no read would produce by chance, so a
    // test can see whether a read wrote there.
    void mark_buffer(int width, int height, std::int32_t marker = 0x5A5A5A5A) {
        for (int p = 0; p < kPlanes; ++p)
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    s.image_pixels.at(x, y, p) = marker + x + 7 * y + 101 * p;
    }
    bool buffer_marked(int width, int height, int p, std::int32_t marker = 0x5A5A5A5A) const {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (s.image_pixels.at(x, y, p) != marker + x + 7 * y + 101 * p) return false;
        return true;
    }
};

// A test-name-safe form of a row name.
inline std::string row_name(std::string name) {
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

}  // namespace trakora::testing
