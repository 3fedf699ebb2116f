// SPDX-License-Identifier: MIT
#include "fits/fits_writer.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <system_error>

namespace trakora {
namespace {

void check_keyword(std::string_view keyword) {
    const bool valid_chars = std::all_of(keyword.begin(), keyword.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    });
    if (keyword.empty() || keyword.size() > 8 || !valid_chars)
        throw std::invalid_argument("bad FITS keyword: " + std::string(keyword));
}

// Keyword in columns 1-8, "= " in columns 9-10, then `value` as given.
std::string card_with_value(std::string_view keyword, std::string_view value,
                            std::string_view comment) {
    check_keyword(keyword);
    std::string card(keyword);
    card.resize(8, ' ');
    card += "= ";
    card += value;
    if (!comment.empty()) {
        card += " / ";
        card += comment;
    }
    card.resize(kCardBytes, ' ');
    return card;
}

std::string right_justified(std::string_view text) {
    std::string field(text.size() < 20 ? 20 - text.size() : 0, ' ');
    field += text;
    return field;
}

[[noreturn]] void throw_errno(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

void write_all(int fd, const std::uint8_t* data, std::size_t size, const std::string& what) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw_errno(what);
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

std::size_t padded_size(std::size_t bytes) {
    return (bytes + kBlockBytes - 1) / kBlockBytes * kBlockBytes;
}

template <typename Int>
Int stored_integer(float physical, const StorageFormat& f, double lowest, double highest) {
    double v = std::nearbyint((static_cast<double>(physical) - f.bzero) / f.bscale);
    if (!(v >= lowest)) v = lowest;  // also catches NaN
    if (v > highest) v = highest;
    return static_cast<Int>(v);
}

void put_big_endian(std::uint8_t* out, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) {
        out[i] = static_cast<std::uint8_t>(value & 0xFFu);
        value >>= 8;
    }
}

}  // namespace

std::string logical_card(std::string_view keyword, bool value, std::string_view comment) {
    return card_with_value(keyword, right_justified(value ? "T" : "F"), comment);
}

std::string integer_card(std::string_view keyword, long long value, std::string_view comment) {
    return card_with_value(keyword, right_justified(std::to_string(value)), comment);
}

std::string real_card(std::string_view keyword, double value, std::string_view comment,
                      int digits) {
    char text[40];
    // to_chars ignores the process locale, so a decimal comma can never reach a card.
    const auto [end, ec] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits);
    if (ec != std::errc{}) throw std::invalid_argument("unprintable FITS real");
    std::string number(text, end);
    for (char& c : number)
        if (c == 'e') c = 'E';
    if (number.find_first_of(".EN") == std::string::npos) number += ".";
    return card_with_value(keyword, right_justified(number), comment);
}

std::string string_card(std::string_view keyword, std::string_view value,
                        std::string_view comment) {
    std::string quoted = "'";
    std::string inner;
    for (char c : value) {
        inner += c;
        if (c == '\'') inner += '\'';
    }
    if (inner.size() < 8) inner.resize(8, ' ');
    quoted += inner;
    quoted += "'";
    return card_with_value(keyword, quoted, comment);
}

StorageFormat storage_format(int bitpix) {
    switch (bitpix) {
        case 8:
            return {8, 0, 1, false};
        case 16:
            return {16, 32768, 1, true};
        case 32:
            return {32, 0, 1, false};
        case -32:
            return {-32, 0, 1, false};
        default:
            throw std::invalid_argument("unsupported BITPIX " + std::to_string(bitpix));
    }
}

void append_format_cards(std::vector<std::string>& cards, const StorageFormat& format) {
    if (!format.writes_scaling) return;
    // Whole numbers go in as integers, the way camera software writes BZERO = 32768.
    const auto number_card = [](std::string_view keyword, double value, std::string_view comment) {
        if (value == std::trunc(value) && std::abs(value) < 1e15)
            return integer_card(keyword, static_cast<long long>(value), comment);
        return real_card(keyword, value, comment);
    };
    cards.push_back(number_card("BZERO", format.bzero, "physical = BZERO + BSCALE * stored"));
    cards.push_back(number_card("BSCALE", format.bscale, "physical = BZERO + BSCALE * stored"));
}

std::vector<std::uint8_t> encode_samples(std::span<const float> physical,
                                         const StorageFormat& format) {
    const std::size_t width = static_cast<std::size_t>(std::abs(format.bitpix) / 8);
    std::vector<std::uint8_t> out(padded_size(physical.size() * width), 0);
    std::uint8_t* p = out.data();
    for (const float value : physical) {
        switch (format.bitpix) {
            case 8:
                *p = stored_integer<std::uint8_t>(value, format, 0, 255);
                break;
            case 16:
                put_big_endian(p,
                               static_cast<std::uint16_t>(
                                   stored_integer<std::int16_t>(value, format, -32768, 32767)),
                               2);
                break;
            case 32:
                put_big_endian(p,
                               static_cast<std::uint32_t>(stored_integer<std::int32_t>(
                                   value, format, -2147483648.0, 2147483647.0)),
                               4);
                break;
            default:  // -32: the value itself, as physical = stored with no scaling cards
                put_big_endian(p, std::bit_cast<std::uint32_t>(value), 4);
                break;
        }
        p += width;
    }
    return out;
}

std::vector<std::uint8_t> fits_file_bytes(const std::vector<std::string>& cards,
                                          std::span<const std::uint8_t> padded_data) {
    std::string header;
    for (const std::string& card : cards) {
        if (card.size() != kCardBytes) throw std::invalid_argument("FITS card not 80 bytes");
        header += card;
    }
    std::string end = "END";
    end.resize(kCardBytes, ' ');
    header += end;
    header.resize(padded_size(header.size()), ' ');

    std::vector<std::uint8_t> bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), padded_data.begin(), padded_data.end());
    return bytes;
}

std::filesystem::path temporary_name_for(const std::filesystem::path& target) {
    return target.parent_path() / ("." + target.filename().string() + ".part");
}

void write_file_replacing(const std::filesystem::path& target,
                          std::span<const std::uint8_t> bytes) {
    const std::filesystem::path temp = temporary_name_for(target);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw_errno("cannot create " + temp.string());
    try {
        write_all(fd, bytes.data(), bytes.size(), "cannot write " + temp.string());
    } catch (...) {
        ::close(fd);
        ::unlink(temp.c_str());
        throw;
    }
    if (::close(fd) != 0) {
        const int saved = errno;
        ::unlink(temp.c_str());
        errno = saved;
        throw_errno("cannot write " + temp.string());
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int saved = errno;
        ::unlink(temp.c_str());
        errno = saved;
        throw_errno("cannot rename " + temp.string() + " to " + target.string());
    }
}

std::vector<std::size_t> chunk_ends(std::size_t total, std::size_t header_bytes, int chunks) {
    std::vector<std::size_t> ends;
    if (chunks < 1) chunks = 1;
    const std::size_t first = std::min(total, header_bytes);
    for (int k = 1; k <= chunks; ++k) {
        const std::size_t end = first + (total - first) * static_cast<std::size_t>(k) /
                                            static_cast<std::size_t>(chunks);
        if (ends.empty() || end > ends.back()) ends.push_back(end);
    }
    if (ends.empty()) ends.push_back(total);
    return ends;
}

InPlaceWriter::InPlaceWriter(const std::filesystem::path& target, std::vector<std::uint8_t> bytes,
                             std::vector<std::size_t> ends)
    : target_(target), bytes_(std::move(bytes)), ends_(std::move(ends)) {
    if (ends_.empty() || ends_.back() != bytes_.size())
        throw std::invalid_argument("chunk ends must finish at the file's length");
    fd_ = ::open(target_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) throw_errno("cannot create " + target_.string());
}

InPlaceWriter::~InPlaceWriter() {
    try {
        finish();
    } catch (...) {
        // A failed write leaves a short file the reader rejects; nothing more to do here.
    }
    if (fd_ >= 0) ::close(fd_);
}

bool InPlaceWriter::write_next() {
    if (done()) return false;
    const std::size_t begin = next_ == 0 ? 0 : ends_[next_ - 1];
    write_all(fd_, bytes_.data() + begin, ends_[next_] - begin, "cannot write " + target_.string());
    ++next_;
    if (done()) {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) throw_errno("cannot write " + target_.string());
    }
    return true;
}

void InPlaceWriter::finish() {
    while (write_next()) {
    }
}

}  // namespace trakora
