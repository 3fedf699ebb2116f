// SPDX-License-Identifier: MIT
// Fuzzes the tile-compressed FITS reader (CFITSIO's decompression and the header it
// hands on) with the input's bytes as a .fits.fz file; see image_format_fuzzing.hpp.
#include "image_format_fuzzing.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    trakora::fuzz::fuzz_image_file("fuzz.fits.fz", data, size);
    return 0;
}
