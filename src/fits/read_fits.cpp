// SPDX-License-Identifier: MIT
#include "fits/read_fits.hpp"

namespace trakora {

std::int16_t read_fits_file(State& s, const std::filesystem::path&, std::string& message) {
    message = s.fits_file_name + "open error";
    return -1;
}

}  // namespace trakora
