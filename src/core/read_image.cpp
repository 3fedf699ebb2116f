// SPDX-License-Identifier: MIT
#include "core/read_image.hpp"

#include <utility>

#include "core/handlers.hpp"
#include "fits/read_image.hpp"

namespace trakora {

ImageRead read_image_file(State& s, const std::filesystem::path& path) {
    const FitsRead read = read_image(path, s.image_pixels, &s.sample_values);
    s.sample_value_range = read.values.value_or(FloatRange{});
    s.measured_from_values = read.values && measured_from_values(*read.values);
    const FitsHeader& h = read.header;
    for (std::size_t n = 1; n <= h.card_count(); ++n) s.header_cards[n].assign(h.card(n));
    s.header_end_card = h.end_card;
    s.image_facts = header_facts(h.cards, std::move(s.image_facts));
    s.fits_bitpix = h.bitpix;
    s.image_width = h.naxis1;
    s.image_height = h.naxis2;
    s.image_planes = h.naxis3;
    s.fits_bzero = h.bzero;
    s.fits_bscale = h.bscale;
    s.pixel_min = read.range.min;
    s.pixel_max = read.range.max;
    ImageRead result;
    result.file_size = read.file_size;
    if (read.ok()) return result;
    result.status = -1;
    result.message = s.fits_file_name + read.reason;
    result.incomplete = read.incomplete;
    return result;
}

std::int16_t read_fits_file(State& s, const std::filesystem::path& path, std::string& message) {
    ImageRead read = read_image_file(s, path);
    if (read.status != 0) message = std::move(read.message);
    return read.status;
}

ImageRead read_newest_file(State& s, const std::string& folder) {
    // The name is resolved against the watched folder; the process's current directory
    // is never changed for it.
    s.image_folder = folder;
    return read_image_file(s, std::filesystem::path(folder) / s.fits_file_name);
}

std::int16_t read_fits_image(State& s, View& v) {
    const ImageRead read = read_newest_file(s, v.text(TextField::Folder));
    if (read.status != 0) v.message(read.message);
    return read.status;
}

}  // namespace trakora
