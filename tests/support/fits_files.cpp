// SPDX-License-Identifier: MIT
#include "support/fits_files.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <bit>
#include <cmath>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace trakora::testing {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "trakora-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string padded_card(std::string_view text) {
    std::string card(text.substr(0, std::min(text.size(), kCardBytes)));
    card.resize(kCardBytes, ' ');
    return card;
}

std::string fits_card(std::string_view keyword, std::string_view value_field,
                      std::string_view comment) {
    if (keyword.size() == kCardBytes && value_field.empty() && comment.empty())
        return std::string(keyword);
    std::string card(keyword);
    if (card.size() < 8) card.resize(8, ' ');
    if (!value_field.empty()) {
        card += "= ";
        if (value_field.front() == '\'' || value_field.size() >= 20) {
            card += value_field;
        } else {
            card.append(20 - value_field.size(), ' ');
            card += value_field;
        }
        if (!comment.empty()) {
            card += " / ";
            card += comment;
        }
    } else {
        card += comment;
    }
    return padded_card(card);
}

std::string pad_to_block(std::string bytes, char fill) {
    std::size_t rest = bytes.size() % kBlockBytes;
    if (rest != 0) bytes.append(kBlockBytes - rest, fill);
    return bytes;
}

std::string fits_header(const std::vector<std::string>& cards) {
    std::string header;
    for (const std::string& card : cards) header += padded_card(card);
    header += padded_card("END");
    return pad_to_block(std::move(header), ' ');
}

void append_u8(std::string& out, std::int64_t value) { out += static_cast<char>(value & 0xFF); }

void append_i16(std::string& out, std::int64_t value) {
    append_u8(out, value >> 8);
    append_u8(out, value);
}

void append_i32(std::string& out, std::int64_t value) {
    append_i16(out, value >> 16);
    append_i16(out, value);
}

void append_f32(std::string& out, float value) {
    append_i32(out, std::bit_cast<std::uint32_t>(value));
}

std::string encode_samples(int bitpix, const std::vector<double>& samples) {
    std::string out;
    for (double v : samples) {
        switch (bitpix) {
            case 8:
            case -8:
                append_u8(out, static_cast<std::int64_t>(v));
                break;
            case 16:
            case -16:
                append_i16(out, static_cast<std::int64_t>(v));
                break;
            case 32:
                append_i32(out, static_cast<std::int64_t>(v));
                break;
            case -32:
                append_f32(out, static_cast<float>(v));
                break;
            default:
                throw std::invalid_argument("encode_samples: unsupported BITPIX " +
                                            std::to_string(bitpix));
        }
    }
    return out;
}

std::string make_fits(int bitpix, int width, int height, const std::vector<double>& samples,
                      const std::vector<std::string>& extra_cards) {
    bool has_naxis3 = false;
    for (const std::string& card : extra_cards) has_naxis3 |= card.starts_with("NAXIS3  ");
    std::vector<std::string> cards = {
        fits_card("SIMPLE", "T"),
        fits_card("BITPIX", std::to_string(bitpix)),
        fits_card("NAXIS", has_naxis3 ? "3" : "2"),
        fits_card("NAXIS1", std::to_string(width)),
        fits_card("NAXIS2", std::to_string(height)),
    };
    cards.insert(cards.end(), extra_cards.begin(), extra_cards.end());
    return fits_header(cards) + pad_to_block(encode_samples(bitpix, samples));
}

void write_file(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) ADD_FAILURE() << "could not write " << path;
}

}  // namespace trakora::testing
