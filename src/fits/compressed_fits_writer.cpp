// SPDX-License-Identifier: MIT
#include "fits/compressed_fits_writer.hpp"

#include <fitsio.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "fits/header_cards.hpp"

namespace trakora {
namespace {

constexpr std::array<std::pair<std::string_view, TileCompression>, 5> kNames = {{
    {"rice", TileCompression::rice},
    {"gzip1", TileCompression::gzip1},
    {"gzip2", TileCompression::gzip2},
    {"hcompress", TileCompression::hcompress},
    {"plio", TileCompression::plio},
}};

int cfitsio_code(TileCompression c) {
    switch (c) {
        case TileCompression::rice:
            return RICE_1;
        case TileCompression::gzip1:
            return GZIP_1;
        case TileCompression::gzip2:
            return GZIP_2;
        case TileCompression::hcompress:
            return HCOMPRESS_1;
        case TileCompression::plio:
            return PLIO_1;
    }
    return RICE_1;
}

void check(int status) {
    if (status == 0) return;
    char text[FLEN_STATUS] = {};
    fits_get_errstatus(status, text);
    fits_clear_errmsg();
    throw std::runtime_error(std::string("CFITSIO: ") + text);
}

long card_long(std::string_view card) { return static_cast<long>(card_number(card)); }

}  // namespace

std::optional<TileCompression> tile_compression_named(std::string_view word) {
    for (const auto& [name, c] : kNames)
        if (name == word) return c;
    return std::nullopt;
}

std::vector<std::uint8_t> compressed_fits_bytes(const std::vector<std::string>& cards,
                                                std::span<const std::uint8_t> stored,
                                                TileCompression compression) {
    int bitpix = 16;
    long sides[3] = {1, 1, 1};
    int axes = 0;
    std::vector<std::string> rest;
    for (const std::string& card : cards) {
        const std::string_view c(card);
        if (has_keyword(c, "SIMPLE  ")) continue;
        if (has_keyword(c, "BITPIX  ")) {
            bitpix = static_cast<int>(card_long(c));
        } else if (has_keyword(c, "NAXIS   ")) {
            axes = static_cast<int>(card_long(c));
        } else if (has_keyword(c, "NAXIS1  ") || has_keyword(c, "NAXIS2  ") ||
                   has_keyword(c, "NAXIS3  ")) {
            sides[c[5] - '1'] = card_long(c);
        } else {
            rest.push_back(card);
        }
    }
    void* memory = nullptr;
    std::size_t memory_size = 0;
    int status = 0;
    fitsfile* f = nullptr;
    fits_create_memfile(&f, &memory, &memory_size, 2880, std::realloc, &status);
    check(status);
    const auto fail = [&](int code) {
        int ignored = 0;
        fits_close_file(f, &ignored);
        std::free(memory);
        check(code);
    };
    // A row per tile, as fpack and N.I.N.A. write; HCOMPRESS needs tiles of at least four
    // rows and takes sixteen.
    long tile[3] = {sides[0],
                    compression == TileCompression::hcompress ? std::min(16L, sides[1]) : 1, 1};
    fits_set_compression_type(f, cfitsio_code(compression), &status);
    fits_set_tile_dim(f, axes, tile, &status);
    if (bitpix == -32) fits_set_quantize_level(f, 0.0, &status);  // no loss
    fits_create_img(f, bitpix, axes, sides, &status);
    for (const std::string& card : rest) {
        char record[FLEN_CARD] = {};
        std::memcpy(record, card.data(), std::min<std::size_t>(card.size(), 80));
        fits_write_record(f, record, &status);
    }
    // The samples as stored: BZERO and BSCALE stay as the cards say.
    fits_set_bscale(f, 1.0, 0.0, &status);
    if (status != 0) fail(status);
    const std::size_t count =
        static_cast<std::size_t>(sides[0] * sides[1] * (axes == 3 ? sides[2] : 1));
    const int bytes = std::abs(bitpix) / 8;
    std::vector<std::uint32_t> host(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t v = 0;
        for (int b = 0; b < bytes; ++b)
            v = (v << 8) |
                stored[i * static_cast<std::size_t>(bytes) + static_cast<std::size_t>(b)];
        host[i] = v;
    }
    std::vector<std::uint8_t> u8;
    std::vector<std::int16_t> i16;
    std::vector<std::int32_t> i32;
    std::vector<float> f32;
    void* data = nullptr;
    int type = TBYTE;
    switch (bitpix) {
        case 8:
            u8.assign(host.begin(), host.end());
            data = u8.data();
            type = TBYTE;
            break;
        case 16:
            for (const std::uint32_t v : host) i16.push_back(static_cast<std::int16_t>(v));
            data = i16.data();
            type = TSHORT;
            break;
        case 32:
            for (const std::uint32_t v : host) i32.push_back(static_cast<std::int32_t>(v));
            data = i32.data();
            type = TINT;
            break;
        default:
            for (const std::uint32_t v : host) {
                float x;
                std::memcpy(&x, &v, sizeof x);
                f32.push_back(x);
            }
            data = f32.data();
            type = TFLOAT;
            break;
    }
    fits_write_img(f, type, 1, static_cast<LONGLONG>(count), data, &status);
    fits_write_chksum(f, &status);
    if (status != 0) fail(status);
    fits_close_file(f, &status);
    check(status);
    std::vector<std::uint8_t> bytes_out(static_cast<std::uint8_t*>(memory),
                                        static_cast<std::uint8_t*>(memory) + memory_size);
    std::free(memory);
    return bytes_out;
}

}  // namespace trakora
