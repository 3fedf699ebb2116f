// SPDX-License-Identifier: MIT
#include "fits/xisf_reader.hpp"

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "fits/block_checksum.hpp"
#include "fits/host_samples.hpp"
#include "fits/image_layout.hpp"
#include "fits/read_only_file.hpp"
#include "fits/xisf_cards.hpp"
#include "fits/xisf_header.hpp"

namespace trakora {
namespace {

constexpr std::string_view kSignature = "XISF0100";
constexpr std::size_t kPreamble = 16;  // signature, header length, reserved
// No capture program writes a header near this long; a longer one is not read.
constexpr std::uint32_t kMaxHeaderBytes = 16u << 20;

std::uint32_t load_le32(const unsigned char* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

std::uint64_t load_le64(const unsigned char* p) {
    return std::uint64_t{load_le32(p)} | (std::uint64_t{load_le32(p + 4)} << 32);
}

int base64_digit(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool is_blank(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }

// A block written into the header as text; false for a bad character.
bool decode_text_block(std::string_view encoding, std::string_view text,
                       std::vector<unsigned char>& out) {
    out.clear();
    if (encoding == "hex") {
        int high = -1;
        for (const char c : text) {
            if (is_blank(c)) continue;
            const int d = hex_digit(c);
            if (d < 0) return false;
            if (high < 0) {
                high = d;
            } else {
                out.push_back(static_cast<unsigned char>(high * 16 + d));
                high = -1;
            }
        }
        return high < 0;
    }
    if (encoding != "base64") return false;
    std::uint32_t bits = 0;
    int count = 0;
    bool padded = false;
    for (const char c : text) {
        if (is_blank(c)) continue;
        if (c == '=') {
            padded = true;
            continue;
        }
        const int d = base64_digit(c);
        if (d < 0 || padded) return false;
        bits = (bits << 6) | static_cast<std::uint32_t>(d);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out.push_back(static_cast<unsigned char>(bits >> count));
        }
    }
    return true;
}

SampleFormat decoding_of(const XisfImageHeader& h) {
    SampleFormat f;
    switch (h.format) {
        case XisfSampleFormat::UInt8:
            f.kind = SampleKind::UInt8;
            break;
        case XisfSampleFormat::UInt16:
            f.kind = SampleKind::UInt16;
            break;
        case XisfSampleFormat::UInt32:
            f.kind = SampleKind::Int32;  // stored less 2^31, as a FITS file holds them
            f.bzero = 2147483648.0;
            break;
        case XisfSampleFormat::Float32:
        case XisfSampleFormat::Float64:
            f.kind = SampleKind::Float32;
            f.scaled = h.channels == 3;
            break;
    }
    return f;
}

// The little-endian samples of `block` as the raw bits HostSamples takes.
std::vector<std::uint32_t> host_bits(const XisfImageHeader& h,
                                     const std::vector<unsigned char>& block) {
    const std::size_t n = static_cast<std::size_t>(h.sample_count());
    std::vector<std::uint32_t> out;
    const unsigned char* in = block.data();
    switch (h.format) {
        case XisfSampleFormat::UInt8: {
            out.resize((n + 3) / 4);
            std::memcpy(out.data(), in, n);
            break;
        }
        case XisfSampleFormat::UInt16: {
            out.resize((n + 1) / 2);
            auto* o = reinterpret_cast<std::uint16_t*>(out.data());
            for (std::size_t i = 0; i < n; ++i)
                o[i] = static_cast<std::uint16_t>(in[2 * i] | (in[2 * i + 1] << 8));
            break;
        }
        case XisfSampleFormat::UInt32:
            out.resize(n);
            for (std::size_t i = 0; i < n; ++i) out[i] = load_le32(in + 4 * i) ^ 0x80000000u;
            break;
        case XisfSampleFormat::Float32:
            out.resize(n);
            for (std::size_t i = 0; i < n; ++i) out[i] = load_le32(in + 4 * i);
            break;
        case XisfSampleFormat::Float64:
            out.resize(n);
            for (std::size_t i = 0; i < n; ++i) {
                const double v = std::bit_cast<double>(load_le64(in + 8 * i));
                out[i] = std::bit_cast<std::uint32_t>(static_cast<float>(v));
            }
            break;
    }
    return out;
}

struct LoadedHeader {
    XisfImageHeader header;
    std::uint32_t header_bytes = 0;
};
struct HeaderRejection {
    std::string reason;
    bool incomplete = false;
};

// The preamble and the header of the XISF file `file` of `size` bytes.
std::variant<LoadedHeader, HeaderRejection> load_header(const ReadOnlyFile& file,
                                                        std::uint64_t size) {
    const auto xisf_error = [](std::string_view why, bool incomplete = false) {
        return HeaderRejection{"XISF error : " + std::string(why), incomplete};
    };
    unsigned char preamble[kPreamble] = {};
    const std::size_t got = file.read_at(preamble, kPreamble, 0);
    const std::string_view start(reinterpret_cast<const char*>(preamble), got);
    if (!kSignature.starts_with(start.substr(0, kSignature.size()))) {
        return xisf_error("no XISF signature");
    }
    if (got < kPreamble) return xisf_error("file cut short", true);
    const std::uint32_t header_bytes = load_le32(preamble + 8);
    if (header_bytes > kMaxHeaderBytes) return xisf_error("header length too large");
    if (kPreamble + header_bytes > size) return xisf_error("header cut short", true);

    std::string xml(header_bytes, '\0');
    if (file.read_at(xml.data(), header_bytes, kPreamble) != header_bytes) {
        return HeaderRejection{"open error", false};
    }
    // Writers may pad the header with zero bytes.
    while (!xml.empty() && xml.back() == '\0') xml.pop_back();
    if (xml.starts_with("\xEF\xBB\xBF")) xml.erase(0, 3);
    auto parsed = read_xisf_header(xml);
    if (auto* error = std::get_if<std::string>(&parsed)) return xisf_error(*error);
    return LoadedHeader{std::move(std::get<XisfImageHeader>(parsed)), header_bytes};
}

}  // namespace

std::optional<std::string> xisf_header_cards(const ReadOnlyFile& file, std::uint64_t size) {
    auto loaded = load_header(file, size);
    if (auto* header = std::get_if<LoadedHeader>(&loaded)) return xisf_cards(header->header);
    return std::nullopt;
}

FitsRead read_xisf(const std::filesystem::path& path, ImageBuffer& image, ImageBuffer* values) {
    FitsRead result;
    const auto reject = [&](std::string reason, bool incomplete) {
        return rejected_read(std::move(result), std::move(reason), incomplete);
    };
    const auto xisf_error = [&](std::string_view why, bool incomplete = false) {
        return reject("XISF error : " + std::string(why), incomplete);
    };

    const ReadOnlyFile file(path);
    const std::optional<std::uint64_t> size =
        file.is_open() ? file.regular_file_size() : std::nullopt;
    if (!size) return reject("open error", false);
    result.file_size = *size;

    auto loaded = load_header(file, *size);
    if (auto* rejection = std::get_if<HeaderRejection>(&loaded)) {
        return reject(std::move(rejection->reason), rejection->incomplete);
    }
    const auto& [xh, header_bytes] = std::get<LoadedHeader>(loaded);

    FitsHeader& h = result.header;
    h.cards = xisf_cards(xh);
    h.end_card = static_cast<int>(h.card_count());
    read_header_keywords(h);
    if (std::string error = header_error(h); !error.empty()) return reject(error, false);

    // The block as stored.
    std::vector<unsigned char> stored;
    if (xh.location.kind == XisfLocation::Kind::attachment) {
        if (xh.location.position < kPreamble + header_bytes && xh.location.size > 0) {
            return xisf_error("data block inside the header");
        }
        if (xh.location.position > *size || xh.location.size > *size - xh.location.position) {
            return xisf_error("data block beyond the end of the file", true);
        }
        stored.resize(static_cast<std::size_t>(xh.location.size));
        if (file.read_at(stored.data(), stored.size(), xh.location.position) != stored.size()) {
            return xisf_error("data block beyond the end of the file", true);
        }
    } else if (!decode_text_block(xh.location.encoding, xh.location.text, stored)) {
        return xisf_error("bad " + xh.location.encoding + " data in the header");
    }

    if (!xh.checksum_algorithm.empty()) {
        const auto digest = block_digest(xh.checksum_algorithm, stored);
        if (digest && *digest != xh.checksum) return xisf_error("checksum mismatch");
    }

    const std::uint64_t expected =
        xh.sample_count() * static_cast<std::uint64_t>(xisf_sample_bytes(xh.format));
    std::vector<unsigned char> block;
    if (xh.compression) {
        if (xh.compression->size != expected) {
            return xisf_error("compressed size does not match the geometry");
        }
        if (const auto error = decompress_block(stored, *xh.compression, block)) {
            return xisf_error(*error);
        }
    } else {
        if (stored.size() != expected)
            return xisf_error("data block size does not match the geometry");
        block = std::move(stored);
    }

    const std::vector<std::uint32_t> bits = host_bits(xh, block);
    HostSamples samples;
    samples.data = bits.data();
    samples.width = static_cast<int>(xh.width);
    samples.height = static_cast<int>(xh.height);
    samples.planes = static_cast<int>(xh.channels);
    const std::size_t w = static_cast<std::size_t>(xh.width);
    const std::size_t c = static_cast<std::size_t>(xh.channels);
    if (xh.interleaved) {
        samples.pixel_step = c;
        samples.row_step = w * c;
        samples.plane_step = 1;
    } else {
        samples.row_step = w;
        samples.plane_step = w * static_cast<std::size_t>(xh.height);
    }
    decode_host_samples(samples, decoding_of(xh), image, result.range, values, result.values);
    return result;
}

}  // namespace trakora
