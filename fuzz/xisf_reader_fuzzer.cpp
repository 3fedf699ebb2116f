// SPDX-License-Identifier: MIT
// Fuzzes the XISF reader (its XML header, data blocks, codecs and checksums) with the
// input's bytes as an .xisf file; see image_format_fuzzing.hpp.
#include "image_format_fuzzing.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    trakora::fuzz::fuzz_image_file("fuzz.xisf", data, size);
    return 0;
}
