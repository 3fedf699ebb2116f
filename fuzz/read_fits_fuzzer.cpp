// SPDX-License-Identifier: MIT
// Fuzzes the FITS reader with the input's bytes as the image file, then runs on an
// accepted image what a tick runs next (star search, display levels, rendering).
//
// Besides the sanitizers, every input is checked against a plain, slow reading of the
// same bytes: the same decision (read or rejected), the same header values, and on a read
// every stored pixel and the minimum and maximum, so a fast path of the reader that
// decodes differently from the general rule is caught as well as a crash.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/display_levels.hpp"
#include "base/number_text.hpp"
#include "core/handlers.hpp"
#include "core/read_image.hpp"
#include "core/state.hpp"
#include "scratch_folder.hpp"

namespace {

using namespace trakora;
using fuzz::fail;

constexpr std::size_t kCard = 80;
constexpr char kName[] = "fuzz.FIT";

// What the header of `bytes` says, read card by card the plain way.
struct Header {
    std::size_t stored = 0;  // cards read into header_cards
    bool found_end = false;
    double end_card = 0;
    double bitpix = -1, naxis1 = -1, naxis2 = -1, naxis3 = -1, bzero = 0, bscale = 1;
};

Header read_header(std::string_view bytes) {
    Header h;
    const std::size_t cards = std::min<std::size_t>(bytes.size() / kCard, kMaxHeaderCards);
    while (h.stored < cards && !h.found_end) {
        const std::string_view card = bytes.substr(h.stored * kCard, kCard);
        ++h.stored;
        h.found_end = card.substr(0, 3) == "END";
    }
    h.end_card = static_cast<double>(h.found_end ? h.stored : h.stored + 1);
    for (std::size_t i = 0; i < h.stored; ++i) {
        const std::string_view card = bytes.substr(i * kCard, kCard);
        const std::string_view key = card.substr(0, 8);
        const double value = read_number(card.substr(9, 21));
        if (key == "BITPIX  ") h.bitpix = value;
        if (key == "NAXIS1  ") h.naxis1 = value;
        if (key == "NAXIS2  ") h.naxis2 = value;
        if (key == "NAXIS3  ") h.naxis3 = value;
        if (key == "BZERO   ") h.bzero = value;
        if (key == "BSCALE  ") h.bscale = value;
    }
    return h;
}

// Nearest, ties to even; beyond the 32-bit range the ends, NaN 0 (the reader's limits).
std::int32_t round_saturated(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.5) return 2147483647;
    if (v < -2147483648.5) return -2147483647 - 1;
    return static_cast<std::int32_t>(std::nearbyint(v));
}

std::int32_t scaled_integer(double raw, const Header& h, std::int64_t wrap_above) {
    const double scaled = h.bzero + h.bscale * raw;
    const std::int32_t v = round_saturated(scaled);
    if (wrap_above > 0 && scaled < 2147483647.5 && v > wrap_above) {
        return static_cast<std::int32_t>(v - (wrap_above + 1));
    }
    return v;
}

std::uint32_t be(const unsigned char* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | p[i];
    return v;
}

int whole_pixels(double size) {
    if (!(size >= 1)) return 0;
    return static_cast<int>(std::floor(size));
}

void check_rejected(const State& s, const std::string& message, std::string_view expected_reason) {
    if (message.rfind(kName, 0) != 0) fail("message does not start with the file name: " + message);
    if (!expected_reason.empty() && message != std::string(kName) + std::string(expected_reason)) {
        fail("message '" + message + "', expected reason '" + std::string(expected_reason) + "'");
    }
    if (s.pixel_max != -1 || s.pixel_min != 2147483647) fail("statistics not reset on a rejection");
}

void check_header_values(const State& s, const Header& h, std::string_view bytes) {
    if (s.header_end_card != h.end_card) fail("header_end_card");
    for (std::size_t i = 0; i < h.stored; ++i) {
        if (s.header_cards[i + 1] != bytes.substr(i * kCard, kCard))
            fail("header card " + std::to_string(i + 1));
    }
    if (s.image_width != h.naxis1 || s.image_height != h.naxis2 || s.image_planes != h.naxis3 ||
        s.fits_bzero != h.bzero || s.fits_bscale != h.bscale) {
        fail("keyword values differ from the cards");
    }
}

// Checks the reader's decision and, on a read, every stored value.
void check_read(const State& s, std::int16_t status, const std::string& message,
                std::string_view bytes) {
    const Header h = read_header(bytes);
    if (status != 0 && status != -1) fail("status " + std::to_string(status));
    if (!h.found_end && bytes.size() / kCard > kMaxHeaderCards) {
        if (status != -1) fail("a header of more than 500 cards without END was read");
        return check_rejected(s, message, {});
    }
    check_header_values(s, h, bytes);
    if (h.bitpix == -1) {
        if (status != -1) fail("read without BITPIX");
        return check_rejected(s, message, "BITPIX error");
    }
    const bool floating = h.bitpix == -32;
    const double bitpix = std::fabs(h.bitpix);
    if (s.fits_bitpix != bitpix) fail("fits_bitpix is not the absolute value of BITPIX");
    if (bitpix != 8 && bitpix != 16 && bitpix != 32) {
        if (status != -1) fail("read with BITPIX " + std::to_string(h.bitpix));
        return check_rejected(s, message, "BITPIX error : BITPIX =" + signed_number_text(bitpix));
    }
    if (h.naxis1 == -1) {
        if (status != -1) fail("read without NAXIS1");
        return check_rejected(s, message, "NAXIS1 error");
    }
    if (h.naxis2 == -1) {
        if (status != -1) fail("read without NAXIS2");
        return check_rejected(s, message, "NAXIS2 error");
    }
    if (h.naxis1 > kBufferSide || h.naxis2 > kBufferSide) {
        if (status != -1) fail("read an image larger than the buffer");
        return check_rejected(s, message, {});
    }

    const int bytes_per = bitpix == 8 ? 1 : bitpix == 16 ? 2 : 4;
    const int width = whole_pixels(h.naxis1);
    const int height = whole_pixels(h.naxis2);
    const int planes = floating && h.naxis3 == 3 ? 3 : 1;
    const std::uint64_t samples =
        std::uint64_t(width) * std::uint64_t(height) * std::uint64_t(planes);
    const std::uint64_t offset = (static_cast<std::uint64_t>(h.end_card) + 35) / 36 * 36 * kCard;
    if (samples > 0 && offset + samples * bytes_per > bytes.size()) {
        if (status != -1) fail("read a file shorter than its data");
        return check_rejected(s, message, {});
    }
    if (status != 0) fail("rejected a readable image: " + message);

    std::int32_t lo = 2147483647, hi = -1;
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data()) + offset;
    for (int p = 0; p < planes; ++p) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x, in += bytes_per) {
                const std::uint32_t raw = be(in, bytes_per);
                std::int32_t v;
                if (floating) {
                    const std::int32_t r = round_saturated(std::bit_cast<float>(raw));
                    v = planes == 3 ? scaled_integer(r, h, 0) : r;
                } else if (bitpix == 32) {
                    v = scaled_integer(static_cast<std::int32_t>(raw), h, 0);
                } else {
                    v = scaled_integer(raw, h, bitpix == 8 ? 255 : 65535);
                }
                if (s.image_pixels.at(x, y, p) != v) {
                    fail("pixel (" + std::to_string(x) + ", " + std::to_string(y) + ", " +
                         std::to_string(p) + ") is " + std::to_string(s.image_pixels.at(x, y, p)) +
                         ", expected " + std::to_string(v));
                }
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
        }
    }
    if (s.pixel_min != lo || s.pixel_max != hi) fail("pixel_min / pixel_max");
}

// The steps of a tick after a successful read, from an object position the input picks.
void measure(State& s, std::string_view bytes) {
    const std::size_t n = bytes.size();
    const auto byte = [&](std::size_t from_end) {
        return n > from_end ? static_cast<unsigned char>(bytes[n - 1 - from_end]) : 0;
    };
    s.object_x = std::fmod(byte(0) * 16.0 + byte(1), s.image_width + 40) - 20;
    s.object_y = std::fmod(byte(2) * 16.0 + byte(3), s.image_height + 40) - 20;
    find_brightest_spot(s);
    compute_display_levels(s);
    if (s.display_range < 1) fail("display_range below 1");
    render_object_picture(s);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One state and one folder for the whole run, as in the program: the image buffer
    // keeps what earlier inputs left in it.
    static fuzz::ScratchFolder folder;
    static State* state = new State();
    State& s = *state;

    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fuzz::write_bytes(folder.path() / kName, bytes);
    s.fits_file_name = kName;
    std::string message;
    const std::int16_t status = read_fits_file(s, folder.path() / kName, message);
    check_read(s, status, message, bytes);
    if (status == 0) measure(s, bytes);
    return 0;
}
