// SPDX-License-Identifier: MIT
// Writes FITS primary images the way camera capture programs do: fixed-format header
// cards, big-endian samples, header and data each padded to whole 2880-byte blocks.
//
// Usage:
//   std::vector<std::string> cards = {logical_card("SIMPLE", true, "..."), ...};
//   StorageFormat f = storage_format(16);         // BZERO 32768 for unsigned 16-bit
//   append_format_cards(cards, f);                 // after NAXISn, before the rest
//   auto bytes = fits_file_bytes(cards, encode_samples(values, f));
//   write_file_replacing(folder / name, bytes);    // temp name + rename
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fits/header_cards.hpp"

namespace trakora {

// One 80-character header card. Numbers and logicals are right-justified to column 30,
// strings are quoted from column 11 (padded to at least 8 characters inside the quotes,
// embedded quotes doubled). The comment, when not empty, follows " / " and is cut at
// column 80. Keywords longer than 8 characters or with characters outside A-Z, 0-9, '-'
// and '_' are a programming error and throw std::invalid_argument.
std::string logical_card(std::string_view keyword, bool value, std::string_view comment = {});
std::string integer_card(std::string_view keyword, long long value, std::string_view comment = {});
// Reals are written with up to `digits` significant digits and always with a decimal
// point or an exponent, so a reader takes them as floating-point values.
std::string real_card(std::string_view keyword, double value, std::string_view comment = {},
                      int digits = 10);
std::string string_card(std::string_view keyword, std::string_view value,
                        std::string_view comment = {});

// How physical sample values are stored: BITPIX, and the BZERO / BSCALE cards that turn
// stored values back into physical ones (physical = BZERO + BSCALE * stored).
struct StorageFormat {
    int bitpix = 16;
    double bzero = 0;
    double bscale = 1;
    bool writes_scaling = false;  // whether BZERO and BSCALE cards are written
};

// The format a camera uses for `bitpix`: 8-bit unsigned bytes, 16-bit with BZERO 32768
// (unsigned values in signed storage), 32-bit signed integers, or IEEE single floats.
// Throws std::invalid_argument for any other BITPIX.
StorageFormat storage_format(int bitpix);

// Appends the BZERO and BSCALE cards when the format uses them.
void append_format_cards(std::vector<std::string>& cards, const StorageFormat& format);

// The stored samples, big-endian, padded with zero bytes to a whole number of blocks.
// Integer formats round to the nearest stored value and clamp to the storable range.
std::vector<std::uint8_t> encode_samples(std::span<const float> physical,
                                         const StorageFormat& format);

// The header (cards, END, blank padding) followed by already padded data.
std::vector<std::uint8_t> fits_file_bytes(const std::vector<std::string>& cards,
                                          std::span<const std::uint8_t> padded_data);

// Writes `bytes` to a hidden temporary name beside `target` (".<name>.part", a name the
// program never takes for an image) and renames it onto `target`, so the folder never
// shows a partial image. The temporary file is removed again when writing fails.
// Throws std::system_error on failure.
void write_file_replacing(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);

// The temporary name write_file_replacing uses for `target`.
std::filesystem::path temporary_name_for(const std::filesystem::path& target);

// Byte offsets at which an in-place writer splits `total` bytes into `chunks` pieces:
// ends[k] is the file length after piece k; the last one is `total`. The first piece
// always holds at least the header block, as capture programs write the header first.
std::vector<std::size_t> chunk_ends(std::size_t total, std::size_t header_bytes, int chunks);

// An image file written in place, piece by piece: the file exists under its final name
// from the first piece on and is complete only after the last. The destructor finishes
// a file that is still incomplete so no partial image is left behind.
class InPlaceWriter {
  public:
    // Creates (or truncates) `target`. Throws std::system_error on failure.
    InPlaceWriter(const std::filesystem::path& target, std::vector<std::uint8_t> bytes,
                  std::vector<std::size_t> ends);
    ~InPlaceWriter();
    InPlaceWriter(const InPlaceWriter&) = delete;
    InPlaceWriter& operator=(const InPlaceWriter&) = delete;

    // Writes the next piece; returns false once every piece is written.
    bool write_next();
    // Writes every remaining piece and closes the file.
    void finish();
    bool done() const { return next_ == ends_.size(); }

  private:
    std::filesystem::path target_;
    std::vector<std::uint8_t> bytes_;
    std::vector<std::size_t> ends_;
    std::size_t next_ = 0;
    int fd_ = -1;
};

}  // namespace trakora
