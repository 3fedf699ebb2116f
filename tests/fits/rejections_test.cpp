// SPDX-License-Identifier: MIT
// Files the reader turns down: the message, the status, and the state left behind —
// statistics at their start values, the image buffer as the previous image left it.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "fits/fits_reading.hpp"

namespace trakora::testing {
namespace {

std::vector<std::string> cards_of(const char* bitpix, const char* naxis1, const char* naxis2) {
    std::vector<std::string> cards;
    if (bitpix) cards.push_back(fits_card("BITPIX", bitpix));
    if (naxis1) cards.push_back(fits_card("NAXIS1", naxis1));
    if (naxis2) cards.push_back(fits_card("NAXIS2", naxis2));
    return cards;
}

// A header and `data_bytes` bytes of data.
std::string file_of(std::vector<std::string> cards, std::size_t data_bytes = 0) {
    return fits_header(cards) + std::string(data_bytes, '\x01');
}

std::string without_end(std::size_t cards) {
    std::string bytes =
        fits_card("BITPIX", "8") + fits_card("NAXIS1", "0") + fits_card("NAXIS2", "0");
    while (bytes.size() < cards * kCardBytes) bytes += fits_card("COMMENT");
    return bytes;
}

struct RejectCase {
    const char* name;
    std::string bytes;
    const char* reason;
    friend void PrintTo(const RejectCase& c, std::ostream* os) { *os << c.name; }
};

class Rejected : public ::testing::TestWithParam<RejectCase> {};

TEST_P(Rejected, WithItsMessageLeavingTheImageAlone) {
    const RejectCase& c = GetParam();
    FitsReading r;
    r.mark_buffer(4, 4);
    r.s.pixel_min = 3, r.s.pixel_max = 4;
    EXPECT_EQ(r.read(c.bytes, "img 7.fit"), -1) << c.name;
    EXPECT_EQ(r.message, std::string("img 7.fit") + c.reason) << c.name;
    EXPECT_EQ(r.s.pixel_max, -1) << c.name;
    EXPECT_EQ(r.s.pixel_min, 2147483647) << c.name;
    for (int p = 0; p < kPlanes; ++p)
        EXPECT_TRUE(r.buffer_marked(4, 4, p)) << c.name << ", plane " << p;
}

INSTANTIATE_TEST_SUITE_P(
    Header, Rejected,
    ::testing::Values(
        RejectCase{"BITPIX missing", file_of(cards_of(nullptr, "2", "2"), 8), "BITPIX error"},
        RejectCase{"BITPIX -1 counts as missing", file_of(cards_of("-1", "2", "2"), 8),
                   "BITPIX error"},
        RejectCase{"BITPIX -64", file_of(cards_of("-64", "2", "2"), 32),
                   "BITPIX error : BITPIX = 64"},
        RejectCase{"BITPIX 12", file_of(cards_of("12", "2", "2"), 8), "BITPIX error : BITPIX = 12"},
        RejectCase{"BITPIX 16.5", file_of(cards_of("16.5", "2", "2"), 8),
                   "BITPIX error : BITPIX = 16.5"},
        RejectCase{"BITPIX logical", file_of(cards_of("T", "2", "2"), 8),
                   "BITPIX error : BITPIX = 0"},
        RejectCase{"BITPIX -0", file_of(cards_of("-0", "2", "2"), 8), "BITPIX error : BITPIX = 0"},
        RejectCase{"BITPIX and NAXIS1 missing", file_of(cards_of(nullptr, nullptr, "2")),
                   "BITPIX error"},
        RejectCase{"file shorter than a card", std::string(79, ' '), "BITPIX error"},
        RejectCase{"empty file", "", "BITPIX error"},
        RejectCase{"NAXIS1 missing", file_of(cards_of("8", nullptr, "2"), 8), "NAXIS1 error"},
        RejectCase{"NAXIS1 and NAXIS2 missing", file_of(cards_of("8", nullptr, nullptr), 8),
                   "NAXIS1 error"},
        RejectCase{"NAXIS2 missing", file_of(cards_of("8", "2", nullptr), 8), "NAXIS2 error"},
        RejectCase{"NAXIS2 missing, NAXIS1 too large", file_of(cards_of("8", "4000", nullptr), 8),
                   "NAXIS2 error"},
        RejectCase{"NAXIS1 too large", file_of(cards_of("8", "3074", "1"), 3074),
                   "NAXIS1 error : NAXIS1 = 3074"},
        RejectCase{"NAXIS1 just above the buffer", file_of(cards_of("8", "3073.5", "1"), 3074),
                   "NAXIS1 error : NAXIS1 = 3073.5"},
        RejectCase{"NAXIS1 infinite", file_of(cards_of("8", "1E999", "1"), 8),
                   "NAXIS1 error : NAXIS1 = Infinity"},
        RejectCase{"NAXIS2 too large", file_of(cards_of("8", "1", "65536"), 65536),
                   "NAXIS2 error : NAXIS2 = 65536"},
        RejectCase{"both too large, NAXIS1 first", file_of(cards_of("8", "5000", "5000")),
                   "NAXIS1 error : NAXIS1 = 5000"},
        RejectCase{"data one byte short", file_of(cards_of("16", "3", "2"), 11), "data size error"},
        RejectCase{"no data at all", file_of(cards_of("32", "1", "1")), "data size error"},
        RejectCase{"three-plane float with one plane of data",
                   file_of({fits_card("BITPIX", "-32"), fits_card("NAXIS1", "2"),
                            fits_card("NAXIS2", "2"), fits_card("NAXIS3", "3")},
                           4 * 4 * 3 - 1),
                   "data size error"},
        RejectCase{"no END and data beyond the cards",
                   file_of(cards_of("8", "1", "1"), 0).substr(0, 240), "data size error"},
        RejectCase{"501 cards without END", without_end(501), "END error"},
        RejectCase{"END on card 501", without_end(500) + padded_card("END") + pad_to_block(""),
                   "END error"},
        RejectCase{"END error before BITPIX error", std::string(501 * 80, ' '), "END error"}),
    [](const auto& row) { return row_name(row.param.name); });

// The keyword variables of a rejected header hold what it gave.
TEST(RejectedHeader, KeepsTheValuesTheHeaderGave) {
    FitsReading r;
    ASSERT_EQ(r.read(file_of(
                  {fits_card("BITPIX", "-64"), fits_card("NAXIS1", "7"), fits_card("BZERO", "3")})),
              -1);
    EXPECT_EQ(r.s.fits_bitpix, 64);
    EXPECT_EQ(r.s.image_width, 7);
    EXPECT_EQ(r.s.image_height, -1);
    EXPECT_EQ(r.s.image_planes, -1);
    EXPECT_EQ(r.s.fits_bzero, 3);
    EXPECT_EQ(r.s.fits_bscale, 1);
    EXPECT_EQ(r.s.header_end_card, 4);

    ASSERT_EQ(r.read(file_of(cards_of(nullptr, "7", "8"))), -1);
    EXPECT_EQ(r.s.fits_bitpix, -1);
}

struct UnreadableCase {
    const char* name;
    std::function<void(const TempDir&)> make;  // makes "a.fit" unreadable as a file
    friend void PrintTo(const UnreadableCase& c, std::ostream* os) { *os << c.name; }
};

class Unreadable : public ::testing::TestWithParam<UnreadableCase> {};

TEST_P(Unreadable, IsAnOpenErrorWithoutHeaderValues) {
    const UnreadableCase& c = GetParam();
    FitsReading r;
    // A good image first, so that nothing of it may survive the failed read.
    ASSERT_EQ(r.read(make_fits(8, 2, 2, {1, 2, 3, 4}, {fits_card("BZERO", "9")})), 0);
    c.make(r.dir);
    EXPECT_EQ(r.read_existing("a.fit"), -1) << c.name;
    EXPECT_EQ(r.message, "a.fitopen error") << c.name;
    EXPECT_EQ(r.s.pixel_max, -1);
    EXPECT_EQ(r.s.pixel_min, 2147483647);
    EXPECT_EQ(r.s.fits_bitpix, -1);
    EXPECT_EQ(r.s.image_width, -1);
    EXPECT_EQ(r.s.image_height, -1);
    EXPECT_EQ(r.s.fits_bzero, 0);
    EXPECT_EQ(r.s.header_end_card, 1);
    EXPECT_EQ(r.s.image_pixels.at(1, 1, 0), 13);  // the earlier image stays
}

INSTANTIATE_TEST_SUITE_P(
    Open, Unreadable,
    ::testing::Values(UnreadableCase{"missing file",
                                     [](const TempDir& d) {
                                         std::filesystem::remove(d.file("a.fit"));
                                     }},
                      UnreadableCase{"a folder",
                                     [](const TempDir& d) {
                                         std::filesystem::remove(d.file("a.fit"));
                                         std::filesystem::create_directory(d.file("a.fit"));
                                     }},
                      UnreadableCase{"a dangling link",
                                     [](const TempDir& d) {
                                         std::filesystem::remove(d.file("a.fit"));
                                         std::filesystem::create_symlink(d.file("gone.fit"),
                                                                         d.file("a.fit"));
                                     }}),
    [](const auto& row) { return row_name(row.param.name); });

struct AcceptCase {
    const char* name;
    std::string bytes;
    friend void PrintTo(const AcceptCase& c, std::ostream* os) { *os << c.name; }
};

class Accepted : public ::testing::TestWithParam<AcceptCase> {};

TEST_P(Accepted, AtTheEdgeOfTheChecks) {
    FitsReading r;
    EXPECT_EQ(r.read(GetParam().bytes), 0) << GetParam().name << ": " << r.message;
}

INSTANTIATE_TEST_SUITE_P(
    Header, Accepted,
    ::testing::Values(AcceptCase{"NAXIS1 3073", file_of(cards_of("8", "3073", "1"), 3073)},
                      AcceptCase{"NAXIS2 3073", file_of(cards_of("8", "1", "3073"), 3073)},
                      AcceptCase{"data without padding", file_of(cards_of("16", "3", "2"), 12)},
                      AcceptCase{"no data, no pixels", file_of(cards_of("16", "-3", "2"))},
                      AcceptCase{"NAXIS3 3 with 16 bit needs one plane",
                                 file_of({fits_card("BITPIX", "16"), fits_card("NAXIS1", "2"),
                                          fits_card("NAXIS2", "2"), fits_card("NAXIS3", "3")},
                                         8)},
                      AcceptCase{"three-plane float with all planes",
                                 file_of({fits_card("BITPIX", "-32"), fits_card("NAXIS1", "2"),
                                          fits_card("NAXIS2", "2"), fits_card("NAXIS3", "3")},
                                         4 * 4 * 3)}),
    [](const auto& row) { return row_name(row.param.name); });

}  // namespace
}  // namespace trakora::testing
