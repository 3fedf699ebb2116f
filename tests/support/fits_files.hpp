// SPDX-License-Identifier: MIT
// Building FITS files byte by byte for tests.
//
// Usage:
//   TempDir dir;                                            // removed with everything in it
//   write_file(dir.file("a.fit"), make_fits(16, 3, 2, {0, 1, 2, 3, 4, 5}, {fits_card("BZERO",
//   "32768")}));
//   // or by hand, for headers a test wants to get wrong on purpose:
//   std::string bytes = fits_header({fits_card("BITPIX", "8"), padded_card("NAXIS1  = 765")});
//   bytes += encode_samples(8, {1, 2, 3});
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace trakora::testing {

// A fresh, uniquely named directory under the system's temporary directory, removed with
// its contents when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(std::string_view name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

inline constexpr std::size_t kCardBytes = 80;
inline constexpr std::size_t kBlockBytes = 2880;

// One exact 80-character card. The keyword is padded to 8 columns. With a value field,
// columns 9-10 hold "= " and the value follows: a quoted string starts in column 11,
// anything else (numbers, T, F) is right-justified to end in column 30, as in the fixed
// format. A comment goes after " / " (or, without a value, from column 9 on, as for
// COMMENT cards). An 80-character `keyword` with nothing else is returned unchanged.
std::string fits_card(std::string_view keyword, std::string_view value_field = "",
                      std::string_view comment = "");

// Any text as a card: padded with blanks to 80 columns (cut there when longer). For
// free-format cards and deliberately odd ones ("NAXIS1 =765", "naxis1  = 5").
std::string padded_card(std::string_view text);

// The given cards, an END card, then blank cards up to a multiple of 36 cards.
std::string fits_header(const std::vector<std::string>& cards);

// Pads bytes with `fill` up to a multiple of 2880.
std::string pad_to_block(std::string bytes, char fill = '\0');

// Big-endian sample encoders. The integer ones keep the low 8, 16 or 32 bits of the
// value, so 65535 and -1 give the same two bytes.
void append_u8(std::string& out, std::int64_t value);
void append_i16(std::string& out, std::int64_t value);
void append_i32(std::string& out, std::int64_t value);
void append_f32(std::string& out, float value);

// Samples in the format of `bitpix` (8, 16, 32, -32; -8 and -16 as 8 and 16), one after
// another without padding. Integer formats take the integer part of each value.
std::string encode_samples(int bitpix, const std::vector<double>& samples);

// A whole single-HDU file: SIMPLE, BITPIX, NAXIS, NAXIS1, NAXIS2, the extra cards, END,
// then the samples, padded to a multiple of 2880 bytes. NAXIS is 3 when an extra card
// is a NAXIS3 card, 2 otherwise.
std::string make_fits(int bitpix, int width, int height, const std::vector<double>& samples,
                      const std::vector<std::string>& extra_cards = {});

// Writes bytes to a file, replacing it; fails the current test when it cannot.
void write_file(const std::filesystem::path& path, std::string_view bytes);

}  // namespace trakora::testing
