// SPDX-License-Identifier: MIT
// What a FITS header's keywords say about its image: the reader's keywords read from the
// cards, the checks on them in the order their messages take precedence, and where and how
// the samples are stored. The plain reader and the tile-compressed one share them, so a
// header means the same in both.
#pragma once

#include <cstdint>
#include <string>

#include "fits/read_fits.hpp"
#include "fits/sample_decoding.hpp"

namespace trakora {

// Where the samples begin, how they are stored and how many of them are decoded.
struct DataLayout {
    std::uint64_t offset = 0;  // byte where the samples begin
    SampleFormat format;
    int width = 0;   // whole pixels decoded per row
    int height = 0;  // rows decoded per plane
    int planes = 1;  // planes decoded

    std::uint64_t samples() const {
        return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) *
               static_cast<std::uint64_t>(planes);
    }
    std::uint64_t end() const {
        return offset + samples() * static_cast<std::uint64_t>(bytes_per_sample(format.kind));
    }
};

// Reads BITPIX, NAXIS1-3, BZERO and BSCALE from the cards of `h`; a keyword given twice
// takes its last value.
void read_header_keywords(FitsHeader& h);

// The reason for rejecting the header, or "" when its image can be read. Once BITPIX is
// present the header keeps its magnitude, and `floating_point` tells a -32 image.
std::string header_error(FitsHeader& h);

// The layout of an accepted header's samples, with the data after its END card's block.
DataLayout data_layout(const FitsHeader& h);

}  // namespace trakora
