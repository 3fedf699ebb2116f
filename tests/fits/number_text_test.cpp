// SPDX-License-Identifier: MIT
#include "base/number_text.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace trakora {
namespace {

struct ReadCase {
    const char* name;
    const char* text;
    double value;
};

class ReadNumber : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadNumber, ReadsTheValue) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(read_number(c.text), c.value) << c.name << ": \"" << c.text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Rule, ReadNumber,
    ::testing::Values(
        ReadCase{"fixed format right-justified", "                  765 / width", 765},
        ReadCase{"free format", " 765", 765}, ReadCase{"blanks between digits", "1 024", 1024},
        ReadCase{"tab between digits", "1\t024", 1024},
        ReadCase{"blank field", "                     ", 0}, ReadCase{"empty", "", 0},
        ReadCase{"logical T", "                    T", 0}, ReadCase{"quoted string", "'abc'", 0},
        ReadCase{"negative", "-32", -32}, ReadCase{"explicit plus", "+16", 16},
        ReadCase{"sign then blank", "- 5", -5}, ReadCase{"decimal", "16.5", 16.5},
        ReadCase{"leading point", ".25", 0.25}, ReadCase{"trailing point", "5.", 5},
        ReadCase{"second point stops", "1.2.3", 1.2}, ReadCase{"exponent E", "1.5E3", 1500},
        ReadCase{"exponent D", "2D2", 200}, ReadCase{"lower-case exponent", "2e-1", 0.2},
        ReadCase{"blanks inside exponent", "1 E + 2", 100},
        ReadCase{"exponent without digits", "7E", 7},
        ReadCase{"exponent sign without digits", "7E+/", 7}, ReadCase{"stops at letter", "7x", 7},
        ReadCase{"stops at slash", "12/3", 12}, ReadCase{"comma is no separator", "1,5", 1},
        ReadCase{"sign alone", "-", 0}, ReadCase{"point alone", ".", 0},
        ReadCase{"exponent without mantissa", "E5", 0},
        ReadCase{"small interval", "0.0025", 0.0025}),
    [](const auto& row) {
        std::string n = row.param.name;
        for (char& c : n)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return n;
    });

TEST(ReadNumberLimits, TooLargeForADoubleIsInfinite) {
    EXPECT_EQ(read_number("1E999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(read_number("-1E999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(read_number("1E-999"), 0.0);
}

TEST(NumberText, SignPositionAndPlainDecimal) {
    EXPECT_EQ(signed_number_text(64), " 64");
    EXPECT_EQ(signed_number_text(0), " 0");
    EXPECT_EQ(signed_number_text(-0.0), " 0");
    EXPECT_EQ(signed_number_text(16.5), " 16.5");
    EXPECT_EQ(signed_number_text(-3), "-3");
    EXPECT_EQ(signed_number_text(300), " 300");
    EXPECT_EQ(signed_number_text(0.9524), " 0.9524");
    EXPECT_EQ(signed_number_text(1e20), " 100000000000000000000");
    EXPECT_EQ(plain_number_text(-5), "-5");
    EXPECT_EQ(plain_number_text(3), "3");
    EXPECT_EQ(plain_number_text(0.1), "0.1");
}

}  // namespace
}  // namespace trakora
