// SPDX-License-Identifier: MIT
#include "fits/read_image.hpp"

#include "fits/compressed_fits.hpp"
#include "fits/file_names.hpp"
#include "fits/xisf_reader.hpp"

namespace trakora {

FitsRead read_image(const std::filesystem::path& path, ImageBuffer& image, ImageBuffer* values) {
    switch (image_format_of(path.filename().native())) {
        case ImageFormat::compressed_fits:
            return read_compressed_fits(path, image, values);
        case ImageFormat::xisf:
            return read_xisf(path, image, values);
        case ImageFormat::fits:
            break;
    }
    return read_fits(path, image, values);
}

}  // namespace trakora
