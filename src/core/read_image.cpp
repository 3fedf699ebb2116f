// SPDX-License-Identifier: MIT
#include <filesystem>

#include "core/handlers.hpp"
#include "fits/read_fits.hpp"

namespace trakora {

std::int16_t read_fits_image(State& s, View& v) {
    // The name is resolved against the watched folder; the process's current directory
    // is never changed for it.
    const std::filesystem::path path =
        std::filesystem::path(v.text(TextBox::Text1)) / s.fits_file_name;
    std::string message;
    const std::int16_t status = read_fits_file(s, path, message);
    if (status != 0) v.message(message);
    return status;
}

}  // namespace trakora
