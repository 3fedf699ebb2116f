// SPDX-License-Identifier: MIT
// What the XML header of a monolithic XISF file says about its first image: geometry,
// sample format, colour space, pixel storage, where its data block is and how it is
// compressed and checked, its FITS keywords and its properties.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "fits/xisf_blocks.hpp"

namespace trakora {

enum class XisfSampleFormat { UInt8, UInt16, UInt32, Float32, Float64 };

int xisf_sample_bytes(XisfSampleFormat format);

struct XisfKeyword {
    std::string name;
    std::string value;  // FITS value text: strings keep their quotes
    std::string comment;
};

struct XisfProperty {
    std::string id;
    std::string type;
    std::string value;  // the value attribute, else the element's text
};

// Where the data block is: at a byte range of the file, or in the header as text.
struct XisfLocation {
    enum class Kind { attachment, inline_text, embedded } kind = Kind::attachment;
    std::uint64_t position = 0;  // attachment
    std::uint64_t size = 0;      // attachment
    std::string encoding;        // inline and embedded: "base64" or "hex"
    std::string text;            // inline and embedded: the encoded block
};

struct XisfImageHeader {
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    std::uint64_t channels = 0;
    XisfSampleFormat format = XisfSampleFormat::UInt16;
    bool rgb = false;
    bool interleaved = false;  // pixelStorage="Normal": a pixel's channels side by side
    XisfLocation location;
    std::optional<BlockCompression> compression;
    std::string checksum_algorithm;  // "" when the block carries no checksum
    std::string checksum;            // lower-case hexadecimal
    std::string cfa_pattern;         // a Bayer image's ColorFilterArray pattern, "" otherwise
    std::vector<XisfKeyword> keywords;
    std::vector<XisfProperty> properties;

    std::uint64_t sample_count() const { return width * height * channels; }
};

// The first <Image> of the header `xml`, or the reason it cannot be read.
std::variant<XisfImageHeader, std::string> read_xisf_header(std::string_view xml);

}  // namespace trakora
