// SPDX-License-Identifier: MIT
#include "fits/xisf_writer.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "fits/block_checksum.hpp"
#include "fits/header_cards.hpp"

namespace trakora {
namespace {

std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// The card's name, value text and comment as a FITSKeyword holds them.
XisfKeyword keyword_of(std::string_view card) {
    XisfKeyword k;
    k.name = std::string(trimmed_blanks(card.substr(0, 8)));
    if (card.size() < 10 || card.substr(8, 2) != "= ") {
        k.comment = std::string(trimmed_blanks(card.substr(std::min<std::size_t>(8, card.size()))));
        return k;
    }
    const std::string_view field = card.substr(10);
    std::size_t end = 0;
    bool quoted = false;
    for (; end < field.size(); ++end) {
        if (field[end] == '\'') quoted = !quoted;
        if (field[end] == '/' && !quoted) break;
    }
    k.value = std::string(trimmed_blanks(field.substr(0, end)));
    if (end < field.size()) k.comment = std::string(trimmed_blanks(field.substr(end + 1)));
    return k;
}

bool is_format_card(std::string_view card) {
    const std::string_view name = trimmed_blanks(card.substr(0, 8));
    return name == "SIMPLE" || name == "BITPIX" || name.starts_with("NAXIS") || name == "BZERO" ||
           name == "BSCALE" || name == "END";
}

template <typename T>
void put_le(std::vector<unsigned char>& out, T value) {
    for (std::size_t b = 0; b < sizeof(T); ++b)
        out.push_back(static_cast<unsigned char>(value >> (8 * b)));
}

std::vector<unsigned char> encoded(std::span<const float> physical, XisfSampleFormat format) {
    std::vector<unsigned char> out;
    out.reserve(physical.size() * static_cast<std::size_t>(xisf_sample_bytes(format)));
    const auto clamp_round = [](float v, double top) {
        const double r = std::nearbyint(static_cast<double>(v));
        return std::isnan(r) ? 0.0 : std::clamp(r, 0.0, top);
    };
    for (const float v : physical) {
        switch (format) {
            case XisfSampleFormat::UInt8:
                out.push_back(static_cast<unsigned char>(clamp_round(v, 255)));
                break;
            case XisfSampleFormat::UInt16:
                put_le(out, static_cast<std::uint16_t>(clamp_round(v, 65535)));
                break;
            case XisfSampleFormat::UInt32:
                put_le(out, static_cast<std::uint32_t>(clamp_round(v, 4294967295.0)));
                break;
            case XisfSampleFormat::Float32:
                put_le(out, std::bit_cast<std::uint32_t>(v));
                break;
            case XisfSampleFormat::Float64:
                put_le(out, std::bit_cast<std::uint64_t>(static_cast<double>(v)));
                break;
        }
    }
    return out;
}

std::string_view format_name(XisfSampleFormat f) {
    switch (f) {
        case XisfSampleFormat::UInt8:
            return "UInt8";
        case XisfSampleFormat::UInt16:
            return "UInt16";
        case XisfSampleFormat::UInt32:
            return "UInt32";
        case XisfSampleFormat::Float32:
            return "Float32";
        case XisfSampleFormat::Float64:
            return "Float64";
    }
    return "Float64";
}

}  // namespace

std::optional<XisfWriteFormat> xisf_compression_named(std::string_view word) {
    XisfWriteFormat f;
    if (word == "none") return f;
    if (word.ends_with("+sh")) {
        f.shuffled = true;
        word.remove_suffix(3);
    }
    if (word == "zlib") {
        f.codec = BlockCodec::zlib;
    } else if (word == "lz4") {
        f.codec = BlockCodec::lz4;
    } else if (word == "zstd") {
        f.codec = BlockCodec::zstd;
    } else {
        return std::nullopt;
    }
    return f;
}

XisfSampleFormat xisf_samples_for_bitpix(int bitpix) {
    switch (bitpix) {
        case 8:
            return XisfSampleFormat::UInt8;
        case 16:
            return XisfSampleFormat::UInt16;
        case 32:
            return XisfSampleFormat::UInt32;
        default:
            return XisfSampleFormat::Float32;
    }
}

std::vector<std::uint8_t> xisf_file_bytes(const std::vector<std::string>& cards,
                                          std::span<const float> physical, int width, int height,
                                          int planes, const XisfWriteFormat& format,
                                          const std::vector<XisfProperty>& properties) {
    const std::vector<unsigned char> raw = encoded(physical, format.samples);
    std::string compression;
    std::vector<unsigned char> block = raw;
    if (format.codec) {
        const std::size_t item =
            format.shuffled ? static_cast<std::size_t>(xisf_sample_bytes(format.samples)) : 0;
        block = compress_block(raw, *format.codec, item);
        compression =
            " compression=\"" + block_compression_text({*format.codec, raw.size(), item}) + "\"";
    }
    std::string body;
    for (const std::string& card : cards) {
        if (is_format_card(card)) continue;
        const XisfKeyword k = keyword_of(card);
        body += "<FITSKeyword name=\"" + escaped(k.name) + "\" value=\"" + escaped(k.value) +
                "\" comment=\"" + escaped(k.comment) + "\"/>";
    }
    for (const XisfProperty& p : properties) {
        body += "<Property id=\"" + escaped(p.id) + "\" type=\"String\">" + escaped(p.value) +
                "</Property>";
    }
    const std::string geometry =
        std::to_string(width) + ":" + std::to_string(height) + ":" + std::to_string(planes);
    // The block's position is written into the header that comes before it: grow the
    // guess until the header fits in front of it.
    std::size_t position = 4096;
    std::string xml;
    for (;;) {
        xml =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<xisf version=\"1.0\" xmlns=\"http://www.pixinsight.com/xisf\">"
            "<Image geometry=\"" +
            geometry + "\" sampleFormat=\"" + std::string(format_name(format.samples)) +
            "\" colorSpace=\"" + (planes == 3 ? "RGB" : "Gray") +
            "\" location=\"attachment:" + std::to_string(position) + ":" +
            std::to_string(block.size()) + "\"" + compression +
            " checksum=\"sha1:" + sha1_hex(block) + "\">" + body + "</Image></xisf>";
        if (16 + xml.size() <= position) break;
        position = (16 + xml.size() + 4095) / 4096 * 4096;
    }
    std::vector<std::uint8_t> file = {'X', 'I', 'S', 'F', '0', '1', '0', '0'};
    const auto length = static_cast<std::uint32_t>(xml.size());
    for (int b = 0; b < 4; ++b) file.push_back(static_cast<std::uint8_t>(length >> (8 * b)));
    file.insert(file.end(), 4, 0);
    file.insert(file.end(), xml.begin(), xml.end());
    file.resize(position, 0);
    file.insert(file.end(), block.begin(), block.end());
    return file;
}

std::size_t xisf_header_bytes(std::span<const std::uint8_t> file) {
    if (file.size() < 16) return file.size();
    const std::size_t length = std::size_t{file[8]} | (std::size_t{file[9]} << 8) |
                               (std::size_t{file[10]} << 16) | (std::size_t{file[11]} << 24);
    return std::min(file.size(), 16 + length);
}

}  // namespace trakora
