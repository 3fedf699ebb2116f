// SPDX-License-Identifier: MIT
// Which cards set which keyword value, and how the value field is read.
#include <gtest/gtest.h>

#include "fits/fits_reading.hpp"

namespace trakora::testing {
namespace {

struct KeywordCase {
    const char* name;
    std::vector<std::string> cards;  // after BITPIX 8, NAXIS1 0, NAXIS2 0
    Number State::*variable;
    Number expected;
    friend void PrintTo(const KeywordCase& c, std::ostream* os) { *os << c.name; }
};

class Keywords : public ::testing::TestWithParam<KeywordCase> {};

TEST_P(Keywords, SetTheirVariable) {
    const KeywordCase& c = GetParam();
    std::vector<std::string> cards = {fits_card("BITPIX", "8"), fits_card("NAXIS1", "0"),
                                      fits_card("NAXIS2", "0")};
    cards.insert(cards.end(), c.cards.begin(), c.cards.end());
    FitsReading r;
    EXPECT_EQ(r.read(fits_header(cards)), 0) << c.name << ": " << r.message;
    EXPECT_EQ(r.s.*c.variable, c.expected) << c.name;
}

const std::string kFields = "BZERO   = ";  // columns 1-10, the value field follows

INSTANTIATE_TEST_SUITE_P(
    NumberRule, Keywords,
    ::testing::Values(
        KeywordCase{"fixed format with comment",
                    {fits_card("NAXIS3", "765", "planes")},
                    &State::image_planes,
                    765},
        KeywordCase{
            "free format from column 11", {padded_card("BZERO   = 765")}, &State::fits_bzero, 765},
        KeywordCase{"value in column 10", {padded_card("BZERO   =765")}, &State::fits_bzero, 765},
        KeywordCase{
            "no equals sign needed", {padded_card("BZERO    765")}, &State::fits_bzero, 765},
        KeywordCase{"column 9 is not read", {padded_card("BZERO   7")}, &State::fits_bzero, 0},
        KeywordCase{"blank value field", {padded_card("BSCALE  =")}, &State::fits_bscale, 0},
        KeywordCase{"logical value", {fits_card("BSCALE", "T")}, &State::fits_bscale, 0},
        KeywordCase{"string value", {fits_card("BSCALE", "'2'")}, &State::fits_bscale, 0},
        KeywordCase{
            "blanks between digits", {padded_card("BZERO   = 1 024")}, &State::fits_bzero, 1024},
        KeywordCase{
            "negative with exponent", {fits_card("BZERO", "-1.5E2")}, &State::fits_bzero, -150},
        KeywordCase{"D exponent", {fits_card("BZERO", "2.5D1")}, &State::fits_bzero, 25},
        KeywordCase{"fraction", {fits_card("BSCALE", "0.125")}, &State::fits_bscale, 0.125},
        KeywordCase{"value cut after column 30",
                    {padded_card(kFields + std::string(17, ' ') + "1.5E3")},
                    &State::fits_bscale,
                    1},  // BSCALE stays absent: this is BZERO
        KeywordCase{"exponent beyond column 30 is lost",
                    {padded_card(kFields + std::string(17, ' ') + "1.5E3")},
                    &State::fits_bzero,
                    1.5},
        KeywordCase{"digits beyond column 30 are lost",
                    {padded_card(kFields + std::string(18, ' ') + "1234")},
                    &State::fits_bzero,
                    12},
        KeywordCase{"later card wins",
                    {fits_card("BSCALE", "2"), fits_card("BSCALE", "3")},
                    &State::fits_bscale,
                    3},
        KeywordCase{"lower-case keyword is not recognised",
                    {padded_card("bscale  = 2")},
                    &State::fits_bscale,
                    1},
        KeywordCase{"equals sign in column 8 is not recognised",
                    {padded_card("BSCALE =              2")},
                    &State::fits_bscale,
                    1},
        KeywordCase{"longer keyword is not recognised",
                    {fits_card("NAXIS3A", "3")},
                    &State::image_planes,
                    -1},
        KeywordCase{"keyword with a leading blank is not recognised",
                    {fits_card(" NAXIS3", "3")},
                    &State::image_planes,
                    -1},
        KeywordCase{"NAXIS3 absent", {}, &State::image_planes, -1},
        KeywordCase{"BZERO absent", {}, &State::fits_bzero, 0},
        KeywordCase{"BSCALE absent", {}, &State::fits_bscale, 1},
        KeywordCase{"BITPIX -8 is 8-bit", {fits_card("BITPIX", "-8")}, &State::fits_bitpix, 8},
        KeywordCase{"BITPIX -16 is 16-bit", {fits_card("BITPIX", "-16")}, &State::fits_bitpix, 16},
        KeywordCase{
            "BITPIX -32 is stored positive", {fits_card("BITPIX", "-32")}, &State::fits_bitpix, 32},
        KeywordCase{
            "NAXIS1 read as a number", {fits_card("NAXIS1", "2.75")}, &State::image_width, 2.75}),
    [](const auto& row) { return row_name(row.param.name); });

TEST(KeywordValues, NoValueOfAnEarlierFileSurvives) {
    FitsReading r;
    ASSERT_EQ(r.read(make_fits(
                  8, 1, 1, {1},
                  {fits_card("BZERO", "5"), fits_card("BSCALE", "3"), fits_card("NAXIS3", "1")})),
              0);
    ASSERT_EQ(r.read(make_fits(8, 1, 1, {1})), 0);
    EXPECT_EQ(r.s.fits_bzero, 0);
    EXPECT_EQ(r.s.fits_bscale, 1);
    EXPECT_EQ(r.s.image_planes, -1);
    EXPECT_EQ(r.s.image_pixels.at(0, 0, 0), 1);
}

}  // namespace
}  // namespace trakora::testing
