// SPDX-License-Identifier: MIT
// The test helper that writes FITS files: cards and blocks must be exact, or every
// reader test built on them checks the wrong bytes.
#include "support/fits_files.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace trakora::testing {
namespace {

TEST(FitsCard, NumbersEndInColumn30StringsStartInColumn11) {
    std::string card = fits_card("NAXIS1", "765", "width");
    ASSERT_EQ(card.size(), 80u);
    EXPECT_EQ(card.substr(0, 10), "NAXIS1  = ");
    EXPECT_EQ(card.substr(27, 3), "765");
    EXPECT_EQ(card[26], ' ');
    EXPECT_EQ(card.substr(30, 8), " / width");
    EXPECT_EQ(fits_card("OBJECT", "'M 42'").substr(10, 6), "'M 42'");
    EXPECT_EQ(fits_card("COMMENT", "", "text").substr(0, 12), "COMMENT text");
    std::string raw = padded_card("NAXIS1  = 765");
    EXPECT_EQ(fits_card(raw), raw);
}

TEST(FitsHeader, EndThenBlanksToWholeBlocks) {
    std::vector<std::string> cards(35, fits_card("HISTORY"));
    std::string header = fits_header(cards);
    EXPECT_EQ(header.size(), 2880u);
    EXPECT_EQ(header.substr(35 * 80, 3), "END");
    cards.push_back(fits_card("HISTORY"));
    EXPECT_EQ(fits_header(cards).size(), 5760u);
}

TEST(EncodeSamples, BigEndianLowBits) {
    EXPECT_EQ(encode_samples(16, {32768, -1}), std::string("\x80\x00\xFF\xFF", 4));
    EXPECT_EQ(encode_samples(32, {65536}), std::string("\x00\x01\x00\x00", 4));
    EXPECT_EQ(encode_samples(-32, {1.5}), std::string("\x3F\xC0\x00\x00", 4));
    EXPECT_EQ(encode_samples(8, {200}), "\xC8");
}

TEST(MakeFits, WritesAWholeFileThatIsRemovedWithItsDirectory) {
    std::filesystem::path where;
    {
        TempDir dir;
        where = dir.path();
        std::string bytes = make_fits(8, 2, 2, {1, 2, 3, 4}, {fits_card("NAXIS3", "1")});
        EXPECT_EQ(bytes.size(), 5760u);
        EXPECT_EQ(bytes.substr(2 * 80, 30), fits_card("NAXIS", "3").substr(0, 30));
        EXPECT_EQ(bytes.substr(2880, 5), std::string("\x01\x02\x03\x04\x00", 5));
        write_file(dir.file("a.fit"), bytes);
        EXPECT_EQ(std::filesystem::file_size(dir.file("a.fit")), 5760u);
    }
    EXPECT_FALSE(std::filesystem::exists(where));
}

}  // namespace
}  // namespace trakora::testing
