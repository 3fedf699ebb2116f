// SPDX-License-Identifier: MIT
// One entry for every image file the program reads: the format its name says
// (image_format_of) picks the reader, and each returns the same FitsRead.
#pragma once

#include <filesystem>

#include "base/image_buffer.hpp"
#include "fits/read_fits.hpp"

namespace trakora {

// read_fits, read_compressed_fits or read_xisf for the file at `path`, by its name.
FitsRead read_image(const std::filesystem::path& path, ImageBuffer& image,
                    ImageBuffer* values = nullptr);

}  // namespace trakora
