// SPDX-License-Identifier: MIT
#include "fits/compressed_fits.hpp"

#include <fitsio.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fits/compressed_header.hpp"
#include "fits/compressed_tiles.hpp"
#include "fits/hcompress_tiles.hpp"
#include "fits/host_samples.hpp"
#include "fits/image_header_walk.hpp"
#include "fits/image_layout.hpp"
#include "fits/read_only_file.hpp"

namespace trakora {
namespace {

struct FitsCloser {
    void operator()(fitsfile* f) const noexcept {
        int status = 0;
        fits_close_file(f, &status);
    }
};
using FitsFile = std::unique_ptr<fitsfile, FitsCloser>;

std::string cfitsio_words(int status) {
    char text[FLEN_STATUS] = {};
    fits_get_errstatus(status, text);
    fits_clear_errmsg();
    return "compressed FITS error : " + std::string(text);
}

// Moves to the first extension when it holds a compressed image, as in every file fpack,
// N.I.N.A. or CFITSIO writes; false when it does not (`status` then tells a damaged file
// from one without such an image). Later extensions are never opened: CFITSIO would read
// their headers unchecked.
bool move_to_compressed_image(fitsfile* f, int& status) {
    for (int n = 2; n <= 2; ++n) {
        int type = 0;
        if (fits_movabs_hdu(f, n, &type, &status) != 0) {
            if (status == END_OF_FILE) {
                status = 0;
                fits_clear_errmsg();
            }
            return false;
        }
        // CFITSIO presents a compressed image as an image, not as its table.
        if (fits_is_compressed_image(f, &status) != 0) return true;
    }
    return false;
}

// The header of the compressed image as its uncompressed twin carries it
// (uncompressed_image_cards), from the extension's cards as they are stored.
bool image_cards(fitsfile* f, FitsHeader& h, int& status) {
    int keys = 0;
    if (fits_get_hdrspace(f, &keys, nullptr, &status) != 0) return false;
    std::vector<std::string> cards;
    for (int n = 1; n <= keys && n <= static_cast<int>(kMaxHeaderCards); ++n) {
        char card[FLEN_CARD] = {};
        if (fits_read_record(f, n, card, &status) != 0) return false;
        cards.emplace_back(card);
    }
    h.cards = uncompressed_image_cards(cards);
    h.end_card = static_cast<int>(h.card_count());
    read_header_keywords(h);
    return true;
}

// An HCOMPRESS image's samples, decoded by our reader tile by tile (hcompress_tiles.hpp)
// rather than by CFITSIO: `row` samples to a row, `height` rows to a plane, `planes`
// planes, as the reader keeps them.
struct DecodedTiles {
    std::vector<std::int32_t> samples;
    std::int64_t row = 0;
    std::int64_t height = 0;
    std::int64_t planes = 0;
};

// Puts a decoded tile of `sides` at `origin`, leaving out what lies beyond the rows and
// planes kept.
void place_tile(const std::vector<std::int32_t>& tile, const std::array<std::int64_t, 3>& sides,
                const std::array<std::int64_t, 3>& origin, DecodedTiles& decoded) {
    const std::int64_t rows = std::min(sides[1], decoded.height - origin[1]);
    const std::int64_t columns = std::min(sides[0], decoded.row - origin[0]);
    for (std::int64_t y = 0; y < rows; ++y) {
        const auto from = tile.begin() + static_cast<std::ptrdiff_t>(y * sides[0]);
        const std::int64_t at =
            (origin[2] * decoded.height + origin[1] + y) * decoded.row + origin[0];
        std::copy(from, from + static_cast<std::ptrdiff_t>(columns),
                  decoded.samples.begin() + static_cast<std::ptrdiff_t>(at));
    }
}

// Why CFITSIO must not decode the tiles, or "" when it may. Every tile's bytes must lie
// inside the file, since CFITSIO allocates what a tile's descriptor says before reading
// it; a GZIP tile (and a float tile kept losslessly in GZIP_COMPRESSED_DATA) must inflate,
// whole, to no more than its samples; a Rice tile must hold the bits its samples need and
// a PLIO tile the words its header announces (compressed_tiles.hpp). HCOMPRESS tiles are
// never handed to CFITSIO's image reading: CFITSIO 4.2's decoder reads on past the end of
// a damaged tile's stream (valgrind shows it on the fuzz target's inputs, where
// AddressSanitizer, which does not see into CFITSIO, cannot), so each integer tile is
// decoded here into `decoded`, from a copy of its stream padded with zeros. The columns,
// compression and tiles are taken from what CFITSIO made of the header, so what is
// checked is what it reads.
std::string tiles_problem(fitsfile* f, std::uint64_t file_size, DecodedTiles& decoded,
                          int& status) {
    const FITSfile& file = *f->Fptr;
    const int kind = file.compress_type;
    if (kind != RICE_1 && kind != GZIP_1 && kind != GZIP_2 && kind != PLIO_1 && kind != HCOMPRESS_1)
        return "compression " + std::string(file.zcmptype) + " is not read";
    if (kind == HCOMPRESS_1 && file.zbitpix < 0)
        return "HCOMPRESS of float samples (quantised) is not read, only of integers";
    TileGrid grid;
    for (int a = 0; a < file.zndim && a < 3; ++a) {
        grid.sides[static_cast<std::size_t>(a)] = file.znaxis[a];
        grid.tile[static_cast<std::size_t>(a)] = std::max(1L, file.tilesize[a]);
    }
    const int bytes = std::abs(file.zbitpix) / 8;
    LONGLONG rows = 0;
    if (fits_get_num_rowsll(f, &rows, &status) != 0) return {};
    if (rows < 0 || static_cast<std::uint64_t>(rows) > file_size)
        return "more tiles than the file has bytes";
    rows = std::min<LONGLONG>(rows, tile_count(grid));
    enum class Check { place, gzip, rice, plio, hcompress };
    struct Column {
        int number;
        Check check;
        LONGLONG width = 1;
    };
    std::vector<Column> columns;
    if (file.cn_compressed > 0) {
        columns.push_back({file.cn_compressed, kind == GZIP_1 || kind == GZIP_2 ? Check::gzip
                                               : kind == RICE_1                 ? Check::rice
                                               : kind == HCOMPRESS_1            ? Check::hcompress
                                                                                : Check::plio});
    }
    if (file.cn_uncompressed > 0) columns.push_back({file.cn_uncompressed, Check::place});
    if (file.cn_gzip_data > 0) columns.push_back({file.cn_gzip_data, Check::gzip});
    for (Column& c : columns) {
        int type = 0;
        if (fits_get_coltypell(f, c.number, &type, nullptr, &c.width, &status) != 0) return {};
        c.width = std::max<LONGLONG>(c.width, 1);
    }
    std::vector<std::uint8_t> stream;
    std::vector<std::int16_t> words;
    std::vector<std::int32_t> tile;
    if (kind == HCOMPRESS_1)
        decoded.samples.assign(
            static_cast<std::size_t>(decoded.row * decoded.height * decoded.planes), 0);
    for (LONGLONG row = 1; row <= rows; ++row) {
        const std::array<std::int64_t, 3> sides = tile_sides(grid, row - 1);
        const std::array<std::int64_t, 3> origin = tile_origin(grid, row - 1);
        const std::int64_t samples = sides[0] * sides[1] * sides[2];
        for (const Column& c : columns) {
            LONGLONG length = 0;
            LONGLONG offset = 0;
            if (fits_read_descriptll(f, c.number, row, &length, &offset, &status) != 0) return {};
            if (length < 0 || offset < 0 ||
                static_cast<std::uint64_t>(length) >
                    file_size / static_cast<std::uint64_t>(c.width) ||
                static_cast<std::uint64_t>(offset) > file_size)
                return "a tile lies beyond the end of the file";
            if (c.check == Check::hcompress && length == 0)
                return "tile " + std::to_string(row) + ": not H-compressed";
            if (length == 0 || c.check == Check::place) continue;
            if (c.check == Check::plio) {
                // A line list of shorts, read as CFITSIO reads it.
                words.resize(static_cast<std::size_t>(length));
                if (fits_read_col(f, TSHORT, c.number, row, 1, length, nullptr, words.data(),
                                  nullptr, &status) != 0)
                    return {};
                if (std::string problem = plio_tile_problem(words); !problem.empty())
                    return "tile " + std::to_string(row) + ": " + problem;
                continue;
            }
            stream.resize(static_cast<std::size_t>(length));
            if (fits_read_col(f, TBYTE, c.number, row, 1, length, nullptr, stream.data(), nullptr,
                              &status) != 0)
                return {};
            if (c.check == Check::hcompress) {
                if (sides[2] != 1)
                    return "tile " + std::to_string(row) + ": an H-compress tile of planes";
                if (origin[1] >= decoded.height || origin[2] >= decoded.planes) continue;
                if (std::string problem =
                        decode_hcompress_tile(stream, sides[0], sides[1], file.zbitpix == 32, tile);
                    !problem.empty())
                    return "tile " + std::to_string(row) + ": " + problem;
                place_tile(tile, sides, origin, decoded);
                continue;
            }
            const std::string problem =
                c.check == Check::gzip
                    ? gzip_tile_problem(stream, static_cast<std::uint64_t>(samples * bytes))
                    : rice_tile_problem(stream, samples, file.rice_blocksize, file.rice_bytepix);
            if (!problem.empty()) return "tile " + std::to_string(row) + ": " + problem;
        }
    }
    return {};
}

bool has_data_checksum(fitsfile* f) {
    char value[FLEN_VALUE] = {};
    int status = 0;
    const bool found = fits_read_keyword(f, "DATASUM", value, nullptr, &status) == 0;
    if (!found) fits_clear_errmsg();
    return found;
}

// CFITSIO's type code for reading raw stored samples of `kind`.
int cfitsio_type(SampleKind kind) {
    switch (kind) {
        case SampleKind::UInt8:
            return TBYTE;
        case SampleKind::UInt16:
            return TSHORT;
        case SampleKind::Int32:
            return TINT;
        case SampleKind::Float32:
            return TFLOAT;
    }
    return TFLOAT;
}

}  // namespace

FitsRead read_compressed_fits(const std::filesystem::path& path, ImageBuffer& image,
                              ImageBuffer* values) {
    FitsRead result;
    const auto reject = [&](std::string reason, bool incomplete) {
        return rejected_read(std::move(result), std::move(reason), incomplete);
    };
    std::optional<std::uint64_t> size;
    {
        const ReadOnlyFile file(path);
        if (file.is_open()) size = file.regular_file_size();
    }
    if (!size) return reject("open error", false);
    result.file_size = *size;
    // CFITSIO writes whole blocks; a file that stops inside one is still being written,
    // and so may one that ends before its data do or holds no more than its empty
    // primary header yet. Such a file is reported only once it stays so (short_file.hpp).
    const bool cut_short = *size % kBlockBytes != 0;
    const auto ended_early = [&](int code) {
        return cut_short || code == END_OF_FILE || code == READ_ERROR;
    };

    // The first extension's cards are checked by our own reader before CFITSIO sees them.
    {
        const ReadOnlyFile file(path);
        std::array<unsigned char, kBlockBytes> block;
        std::string unused;
        std::vector<std::string> cards;
        std::vector<std::string> primary;
        bool in_extension = false;
        const HeaderWalk walk = walk_image_header(file, *size, ImageFormat::compressed_fits, block,
                                                  unused, [&](std::string_view card) {
                                                      if (in_extension) {
                                                          cards.emplace_back(card);
                                                      } else {
                                                          primary.emplace_back(card);
                                                          in_extension = is_end_card(card);
                                                      }
                                                  });
        if (!walk.read) return reject("open error", false);
        if (!cards.empty() && walk.found_end) {
            std::string problem = number_cards_problem(primary);
            if (problem.empty()) problem = compressed_header_problem(cards);
            if (!problem.empty()) return reject("compressed FITS error : " + problem, false);
        } else if (walk.cards == primary.size()) {
            return reject("compressed FITS error : no compressed image", true);
        } else {
            return reject("compressed FITS error : extension header cut short", true);
        }
    }

    int status = 0;
    fitsfile* raw = nullptr;
    // The disk-file opener takes the name as it is, never as CFITSIO's extended syntax.
    fits_open_diskfile(&raw, path.c_str(), READONLY, &status);
    const FitsFile f(raw);
    if (status != 0) return reject(cfitsio_words(status), ended_early(status));
    if (!move_to_compressed_image(f.get(), status)) {
        if (status != 0) return reject(cfitsio_words(status), ended_early(status));
        return reject("compressed FITS error : no compressed image", true);
    }
    // Rice and the other codecs decode garbage without complaint; the data's checksum, when
    // the writer gave one (DATASUM), tells it.
    if (has_data_checksum(f.get())) {
        int data_ok = 0;
        int header_ok = 0;
        if (fits_verify_chksum(f.get(), &data_ok, &header_ok, &status) != 0)
            return reject(cfitsio_words(status), ended_early(status));
        if (data_ok == -1) return reject("compressed FITS error : checksum mismatch", cut_short);
    }
    FitsHeader& h = result.header;
    if (!image_cards(f.get(), h, status)) return reject(cfitsio_words(status), ended_early(status));
    if (std::string error = header_error(h); !error.empty()) return reject(error, cut_short);

    const DataLayout layout = data_layout(h);
    long sides[3] = {0, 0, 0};
    int dims = 0;
    if (fits_get_img_dim(f.get(), &dims, &status) != 0 ||
        fits_get_img_size(f.get(), 3, sides, &status) != 0) {
        return reject(cfitsio_words(status), ended_early(status));
    }
    if (dims < 2 || sides[0] < layout.width || sides[1] < layout.height ||
        (layout.planes > 1 && (dims < 3 || sides[2] < layout.planes))) {
        return reject("compressed FITS error : image size", false);
    }
    if (layout.samples() == 0) return result;

    DecodedTiles decoded;
    decoded.row = sides[0];
    decoded.height = layout.height;
    decoded.planes = layout.planes;
    if (const std::string problem = tiles_problem(f.get(), *size, decoded, status);
        !problem.empty()) {
        return reject("compressed FITS error : " + problem,
                      cut_short && problem.starts_with("a tile lies beyond"));
    }
    if (status != 0) return reject(cfitsio_words(status), ended_early(status));
    // The stored samples, unscaled: BZERO and BSCALE are applied by the decoder.
    fits_set_bscale(f.get(), 1.0, 0.0, &status);
    const std::size_t row = static_cast<std::size_t>(sides[0]);
    const std::size_t plane = row * static_cast<std::size_t>(layout.height);
    const std::size_t bytes = static_cast<std::size_t>(bytes_per_sample(layout.format.kind));
    std::vector<std::uint32_t> stored(
        (plane * static_cast<std::size_t>(layout.planes) * bytes + 3) / 4);
    auto* out = reinterpret_cast<unsigned char*>(stored.data());
    // HCOMPRESS tiles were decoded above, to the stored integers.
    for (std::size_t i = 0; i < decoded.samples.size(); ++i) {
        const auto bits = static_cast<std::uint32_t>(decoded.samples[i]);
        if (bytes == 1) {
            out[i] = static_cast<unsigned char>(bits);
        } else if (bytes == 2) {
            const auto half = static_cast<std::uint16_t>(bits);
            std::memcpy(out + i * 2, &half, 2);
        } else {
            std::memcpy(out + i * 4, &bits, 4);
        }
    }
    for (int p = 0; p < layout.planes && decoded.samples.empty(); ++p) {
        long first[3] = {1, 1, p + 1};
        int any_null = 0;
        if (fits_read_pix(f.get(), cfitsio_type(layout.format.kind), first,
                          static_cast<LONGLONG>(plane), nullptr,
                          out + static_cast<std::size_t>(p) * plane * bytes, &any_null,
                          &status) != 0) {
            return reject(cfitsio_words(status), ended_early(status));
        }
    }
    HostSamples samples;
    samples.data = stored.data();
    samples.width = layout.width;
    samples.height = layout.height;
    samples.planes = layout.planes;
    samples.row_step = row;
    samples.plane_step = plane;
    decode_host_samples(samples, layout.format, image, result.range, values, result.values);
    return result;
}

}  // namespace trakora
