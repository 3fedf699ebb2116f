// SPDX-License-Identifier: MIT
#include "core/read_image.hpp"

#include "core/handlers.hpp"
#include "fits/read_fits.hpp"

namespace trakora {

std::int16_t read_fits_file(State& s, const std::filesystem::path& path, std::string& message) {
    const FitsRead read = read_fits(path, s.image_pixels);
    const FitsHeader& h = read.header;
    for (std::size_t n = 1; n <= h.card_count(); ++n) s.header_cards[n].assign(h.card(n));
    s.header_end_card = h.end_card;
    s.fits_bitpix = h.bitpix;
    s.image_width = h.naxis1;
    s.image_height = h.naxis2;
    s.image_planes = h.naxis3;
    s.fits_bzero = h.bzero;
    s.fits_bscale = h.bscale;
    s.pixel_min = read.range.min;
    s.pixel_max = read.range.max;
    if (read.ok()) return 0;
    message = s.fits_file_name + read.reason;
    return -1;
}

std::int16_t read_fits_image(State& s, View& v) {
    // The name is resolved against the watched folder; the process's current directory
    // is never changed for it.
    const std::filesystem::path path =
        std::filesystem::path(v.text(TextField::Folder)) / s.fits_file_name;
    std::string message;
    const std::int16_t status = read_fits_file(s, path, message);
    if (status != 0) v.message(message);
    return status;
}

}  // namespace trakora
