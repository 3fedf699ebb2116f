// SPDX-License-Identifier: MIT
// Where the header ends and the data begin: the END card, the 2880-byte blocks, the
// 500-card limit and pieces of cards at the end of a file.
#include <gtest/gtest.h>

#include "fits/fits_reading.hpp"

namespace trakora::testing {
namespace {

// A one-pixel 8-bit image whose END card is card `end_card`; the rest of the header is
// COMMENT cards. The two blocks after the header begin with their block numbers, so the
// stored pixel tells which offset the data were taken from.
std::string one_pixel_file(int end_card, std::string_view end_text = "END") {
    std::string bytes =
        fits_card("BITPIX", "8") + fits_card("NAXIS1", "1") + fits_card("NAXIS2", "1");
    while (bytes.size() < static_cast<std::size_t>(end_card - 1) * kCardBytes)
        bytes += fits_card("COMMENT");
    bytes += padded_card(end_text);
    bytes = pad_to_block(bytes, ' ');
    const std::size_t header_blocks = bytes.size() / kBlockBytes;
    bytes.resize(bytes.size() + 2 * kBlockBytes, '\0');
    for (std::size_t block = header_blocks; block <= header_blocks + 1; ++block) {
        bytes[block * kBlockBytes] = static_cast<char>(block);
    }
    return bytes;
}

struct EndCase {
    const char* name;
    int end_card;
    const char* end_text;
    int data_block;  // data offset / 2880
    friend void PrintTo(const EndCase& c, std::ostream* os) { *os << c.name; }
};

class EndCard : public ::testing::TestWithParam<EndCase> {};

TEST_P(EndCard, DataBeginAtTheNextWholeBlock) {
    const EndCase& c = GetParam();
    FitsReading r;
    ASSERT_EQ(r.read(one_pixel_file(c.end_card, c.end_text)), 0) << r.message;
    EXPECT_EQ(r.s.header_end_card, c.end_card);
    EXPECT_EQ(r.s.image_pixels.at(0, 0, 0), c.data_block);
    EXPECT_EQ(r.s.header_cards[static_cast<std::size_t>(c.end_card)].substr(0, 3), "END");
}

INSTANTIATE_TEST_SUITE_P(CardScan, EndCard,
                         ::testing::Values(EndCase{"END on card 4", 4, "END", 1},
                                           EndCase{"END on card 12", 12, "END", 1},
                                           EndCase{"END on card 36", 36, "END", 1},
                                           EndCase{"END on card 37", 37, "END", 2},
                                           EndCase{"END on card 72", 72, "END", 2},
                                           EndCase{"END on card 500", 500, "END", 14},
                                           EndCase{"keyword beginning with END", 4, "ENDING  = 5",
                                                   1},
                                           EndCase{"END followed by text", 4, "ENDX", 1}),
                         [](const auto& row) { return row_name(row.param.name); });

TEST(CardScan, OnlyColumnsOneToThreeMarkTheEnd) {
    FitsReading r;
    std::string bytes = fits_card("BITPIX", "8") + fits_card("NAXIS1", "1") +
                        fits_card("NAXIS2", "1") + padded_card(" END") + padded_card("end") +
                        fits_card("BZERO", "5");
    ASSERT_EQ(
        r.read(fits_header({bytes.substr(0, 80), bytes.substr(80, 80), bytes.substr(160, 80),
                            bytes.substr(240, 80), bytes.substr(320, 80), bytes.substr(400, 80)}) +
               pad_to_block("\x01")),
        0);
    EXPECT_EQ(r.s.header_end_card, 7);
    EXPECT_EQ(r.s.fits_bzero, 5);
    EXPECT_EQ(r.s.image_pixels.at(0, 0, 0), 6);
}

TEST(CardScan, CardsAfterEndAreNeitherStoredNorRead) {
    FitsReading r;
    r.s.header_cards[5] = "earlier";
    std::string bytes = fits_card("BITPIX", "8") + fits_card("NAXIS1", "1") +
                        fits_card("NAXIS2", "1") + fits_card("END") + fits_card("BZERO", "5");
    ASSERT_EQ(r.read(pad_to_block(bytes, ' ') + pad_to_block("\x03")), 0);
    EXPECT_EQ(r.s.fits_bzero, 0);
    EXPECT_EQ(r.s.header_cards[5], "earlier");
    EXPECT_EQ(r.s.image_pixels.at(0, 0, 0), 3);
}

TEST(CardScan, SlotsAboveTheCardsReadKeepEarlierCards) {
    FitsReading r;
    ASSERT_EQ(r.read(one_pixel_file(40)), 0);
    const std::string card_39 = r.s.header_cards[39];
    ASSERT_EQ(r.read(one_pixel_file(4)), 0);
    EXPECT_EQ(r.s.header_cards[1], fits_card("BITPIX", "8"));
    EXPECT_EQ(r.s.header_cards[4], padded_card("END"));
    EXPECT_EQ(r.s.header_cards[39], card_39);
    EXPECT_EQ(r.s.header_cards[40], padded_card("END"));
    EXPECT_TRUE(r.s.header_cards[0].empty());
}

TEST(CardScan, HeaderBytesThatAreNotAsciiAreKeptAsTheyAre) {
    FitsReading r;
    const std::string odd = padded_card("COMMENT \xE6\x98\x9F \xFF\x80 \x01");
    ASSERT_EQ(r.read(fits_header({fits_card("BITPIX", "8"), fits_card("NAXIS1", "0"),
                                  fits_card("NAXIS2", "0"), odd})),
              0);
    EXPECT_EQ(r.s.header_cards[4], odd);
}

// Without END the header runs to the last whole card, and the data would start in the
// block after it.
TEST(CardScan, WithoutEndTheHeaderIsEveryWholeCard) {
    FitsReading r;
    std::string bytes =
        fits_card("BITPIX", "8") + fits_card("NAXIS1", "0") + fits_card("NAXIS2", "5");
    ASSERT_EQ(r.read(bytes + "END" /* a piece of a card, not a card */), 0) << r.message;
    EXPECT_EQ(r.s.header_end_card, 4);
    EXPECT_EQ(r.s.image_height, 5);
    EXPECT_EQ(r.s.header_cards[3], fits_card("NAXIS2", "5"));
}

TEST(CardScan, FiveHundredCardsWithoutEndAreAHeader) {
    FitsReading r;
    std::string bytes =
        fits_card("BITPIX", "16") + fits_card("NAXIS1", "0") + fits_card("NAXIS2", "0");
    while (bytes.size() < 500 * kCardBytes) bytes += fits_card("HISTORY");
    ASSERT_EQ(r.read(bytes + std::string(79, ' ')), 0) << r.message;
    EXPECT_EQ(r.s.header_end_card, 501);
    EXPECT_EQ(r.s.header_cards[500], fits_card("HISTORY"));
}

TEST(CardScan, MoreThanFiveHundredCardsWithoutEndAreRejected) {
    FitsReading r;
    std::string bytes =
        fits_card("BITPIX", "16") + fits_card("NAXIS1", "0") + fits_card("NAXIS2", "0");
    while (bytes.size() < 500 * kCardBytes) bytes += fits_card("HISTORY");
    bytes += padded_card("END");  // card 501: beyond what the header can hold
    EXPECT_EQ(r.read(bytes), -1);
    EXPECT_EQ(r.message, "a.fitEND error");
    EXPECT_EQ(r.s.header_cards[500], fits_card("HISTORY"));
    // The keywords of the first 500 cards are what this header gave.
    EXPECT_EQ(r.s.fits_bitpix, 16);
    EXPECT_EQ(r.s.image_width, 0);
}

}  // namespace
}  // namespace trakora::testing
