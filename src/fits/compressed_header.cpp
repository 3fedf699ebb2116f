// SPDX-License-Identifier: MIT
#include "fits/compressed_header.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "base/number_text.hpp"
#include "fits/header_cards.hpp"

namespace trakora {
namespace {

std::string_view name_of(std::string_view card) { return trimmed_blanks(card.substr(0, 8)); }

// Cards of the binary table and of its compression, which the image itself has not.
bool is_table_card(std::string_view name) {
    constexpr std::array<std::string_view, 20> kExact = {
        "XTENSION", "BITPIX",   "NAXIS",    "PCOUNT",   "GCOUNT",  "TFIELDS",  "ZIMAGE",
        "ZCMPTYPE", "ZQUANTIZ", "ZDITHER0", "ZSIMPLE",  "ZEXTEND", "ZTENSION", "ZPCOUNT",
        "ZGCOUNT",  "ZHECKSUM", "ZDATASUM", "CHECKSUM", "DATASUM", "EXTNAME"};
    for (const std::string_view n : kExact)
        if (name == n) return true;
    // Numbered ones: NAXISn, TTYPEn, TFORMn, TUNITn, TDIMn, ZTILEn, ZNAMEn, ZVALn.
    constexpr std::array<std::string_view, 8> kNumbered = {"NAXIS", "TTYPE", "TFORM", "TUNIT",
                                                           "TDIM",  "ZTILE", "ZNAME", "ZVAL"};
    for (const std::string_view prefix : kNumbered) {
        if (!name.starts_with(prefix) || name.size() == prefix.size()) continue;
        bool digits = true;
        for (const char c : name.substr(prefix.size())) digits = digits && c >= '0' && c <= '9';
        if (digits) return true;
    }
    return false;
}

// A number card's value as CFITSIO reads it: the first word of the value field, and NaN
// when that word is not a number as a whole ("0   12" is 0 to CFITSIO, and 12 to our own
// number rule, which leaves blanks out; "9$" is no number to CFITSIO).
double cfitsio_number(std::string_view card) {
    std::string_view field = card.substr(10);
    const std::size_t start = field.find_first_not_of(' ');
    if (start != std::string_view::npos) field = field.substr(start);
    return exact_number(field.substr(0, field.find_first_of(" /")))
        .value_or(std::numeric_limits<double>::quiet_NaN());
}

std::string card_of(std::string text) {
    text.resize(kCardBytes, ' ');
    return text;
}

}  // namespace

std::string uncompressed_image_cards(const std::vector<std::string>& cards) {
    std::vector<std::string> format = {card_of("SIMPLE  =                    T")};
    std::vector<std::string> rest;
    for (const std::string& raw : cards) {
        const std::string card = card_of(raw.substr(0, kCardBytes));
        if (is_end_card(card)) break;
        const std::string_view name = name_of(card);
        if (name == "ZBITPIX" || name == "ZNAXIS" ||
            (name.starts_with("ZNAXIS") && name.size() == 7 && name[6] >= '1' && name[6] <= '9')) {
            // "ZNAXIS1 = ..." is "NAXIS1  = ..." with the value where it was.
            std::string renamed = std::string(name.substr(1));
            renamed.resize(8, ' ');
            format.push_back(renamed + card.substr(8));
        } else if (!is_table_card(name)) {
            rest.push_back(card);
        }
    }
    std::string text;
    std::size_t count = 0;
    for (const auto* list : {&format, &rest}) {
        for (const std::string& card : *list) {
            if (++count >= kMaxHeaderCards) break;
            text += card;
        }
    }
    text += card_of("END");
    return text;
}

std::string number_cards_problem(const std::vector<std::string>& cards) {
    constexpr std::array<std::string_view, 17> kExact = {
        "BITPIX",  "NAXIS",    "PCOUNT", "GCOUNT",  "TFIELDS", "THEAP",
        "BZERO",   "BSCALE",   "BLANK",  "ZBITPIX", "ZNAXIS",  "ZPCOUNT",
        "ZGCOUNT", "ZDITHER0", "ZBLANK", "ZSCALE",  "ZZERO"};
    constexpr std::array<std::string_view, 7> kNumbered = {"NAXIS", "ZNAXIS", "ZTILE", "ZVAL",
                                                           "TSCAL", "TZERO",  "TNULL"};
    for (const std::string& raw : cards) {
        const std::string card = card_of(raw.substr(0, kCardBytes));
        if (is_end_card(card)) break;
        const std::string_view name = name_of(card);
        bool number = std::find(kExact.begin(), kExact.end(), name) != kExact.end();
        for (const std::string_view prefix : kNumbered) {
            number = number || (name.size() > prefix.size() && name.starts_with(prefix) &&
                                name.find_first_not_of("0123456789", prefix.size()) ==
                                    std::string_view::npos);
        }
        if (number && card.substr(8, 2) == "= " && std::isnan(cfitsio_number(card)))
            return "bad " + std::string(name);
    }
    return {};
}

std::string compressed_header_problem(const std::vector<std::string>& cards) {
    if (std::string problem = number_cards_problem(cards); !problem.empty()) return problem;
    double axes = -1;
    bool rice = false;
    double block = 32;  // CFITSIO's when ZVAL1 is absent, as the byte count's below
    double bytepix = 4;
    bool compressed = false;
    std::vector<std::string> seen;
    for (const std::string& raw : cards) {
        const std::string card = card_of(raw.substr(0, kCardBytes));
        if (is_end_card(card)) break;
        const std::string_view name = name_of(card);
        // Which of two cards of a name CFITSIO reads depends on where its last search
        // stopped, so the table's and the compression's cards must be given once.
        if (is_table_card(name) || name.starts_with("Z")) {
            if (std::find(seen.begin(), seen.end(), name) != seen.end())
                return std::string(name) + " given twice";
            seen.emplace_back(name);
        }
        const double value = cfitsio_number(card);
        if (name == "ZNAXIS") axes = value;
        if (name == "ZIMAGE") compressed = trimmed_blanks(card.substr(10, 20)) == "T";
        if ((name.starts_with("ZNAXIS") || name.starts_with("ZTILE")) && name.back() >= '1' &&
            name.back() <= '9' && !(value >= 1))
            return "bad " + std::string(name);
        if (name == "ZCMPTYPE") rice = card_string_value(card).starts_with("RICE");
        // CFITSIO takes Rice's block size and byte count from ZVAL1 and ZVAL2 whatever
        // ZNAME1 and ZNAME2 say.
        if (name == "ZVAL1") block = value;
        if (name == "ZVAL2") bytepix = value;
    }
    if (rice && !(block >= 1)) return "bad BLOCKSIZE";
    if (rice && bytepix != 1 && bytepix != 2 && bytepix != 4 && bytepix != 8) return "bad BYTEPIX";
    if (!compressed) return "no compressed image";
    if (!(axes >= 1 && axes <= 3)) return "bad ZNAXIS";
    return {};
}

}  // namespace trakora
