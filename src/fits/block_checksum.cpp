// SPDX-License-Identifier: MIT
#include "fits/block_checksum.hpp"

#include <array>
#include <bit>
#include <cstdint>

namespace trakora {
namespace {

// The message padded as both digests pad it: 0x80, zeros, the length in bits, big-endian,
// to a whole number of 64-byte blocks; `visit` sees each block in turn.
template <class Visit>
void padded_blocks(std::span<const unsigned char> data, Visit&& visit) {
    std::size_t i = 0;
    for (; i + 64 <= data.size(); i += 64) visit(data.data() + i);
    std::array<unsigned char, 128> tail{};
    const std::size_t left = data.size() - i;
    for (std::size_t k = 0; k < left; ++k) tail[k] = data[i + k];
    tail[left] = 0x80;
    const std::size_t blocks = left + 9 <= 64 ? 1 : 2;
    const std::uint64_t bits = static_cast<std::uint64_t>(data.size()) * 8;
    for (int k = 0; k < 8; ++k) {
        tail[blocks * 64 - 1 - static_cast<std::size_t>(k)] =
            static_cast<unsigned char>(bits >> (8 * k));
    }
    for (std::size_t b = 0; b < blocks; ++b) visit(tail.data() + b * 64);
}

std::uint32_t load_be32(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}

template <std::size_t N>
std::string hex(const std::array<std::uint32_t, N>& words) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const std::uint32_t w : words)
        for (int shift = 28; shift >= 0; shift -= 4) out += kDigits[(w >> shift) & 0xF];
    return out;
}

constexpr std::array<std::uint32_t, 64> kSha256Rounds = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

}  // namespace

std::string sha1_hex(std::span<const unsigned char> data) {
    std::array<std::uint32_t, 5> h = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    padded_blocks(data, [&h](const unsigned char* block) {
        std::array<std::uint32_t, 80> w;
        for (std::size_t t = 0; t < 16; ++t) w[t] = load_be32(block + 4 * t);
        for (std::size_t t = 16; t < 80; ++t)
            w[t] = std::rotl(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
        for (std::size_t t = 0; t < 80; ++t) {
            std::uint32_t f = 0;
            std::uint32_t k = 0;
            if (t < 20) {
                f = (b & c) | (~b & d);
                k = 0x5A827999;
            } else if (t < 40) {
                f = b ^ c ^ d;
                k = 0x6ED9EBA1;
            } else if (t < 60) {
                f = (b & c) | (b & d) | (c & d);
                k = 0x8F1BBCDC;
            } else {
                f = b ^ c ^ d;
                k = 0xCA62C1D6;
            }
            const std::uint32_t next = std::rotl(a, 5) + f + e + k + w[t];
            e = d;
            d = c;
            c = std::rotl(b, 30);
            b = a;
            a = next;
        }
        h[0] += a;
        h[1] += b;
        h[2] += c;
        h[3] += d;
        h[4] += e;
    });
    return hex(h);
}

std::string sha256_hex(std::span<const unsigned char> data) {
    std::array<std::uint32_t, 8> h = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                      0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    padded_blocks(data, [&h](const unsigned char* block) {
        std::array<std::uint32_t, 64> w;
        for (std::size_t t = 0; t < 16; ++t) w[t] = load_be32(block + 4 * t);
        for (std::size_t t = 16; t < 64; ++t) {
            const std::uint32_t s0 =
                std::rotr(w[t - 15], 7) ^ std::rotr(w[t - 15], 18) ^ (w[t - 15] >> 3);
            const std::uint32_t s1 =
                std::rotr(w[t - 2], 17) ^ std::rotr(w[t - 2], 19) ^ (w[t - 2] >> 10);
            w[t] = w[t - 16] + s0 + w[t - 7] + s1;
        }
        std::array<std::uint32_t, 8> v = h;
        for (std::size_t t = 0; t < 64; ++t) {
            const std::uint32_t s1 = std::rotr(v[4], 6) ^ std::rotr(v[4], 11) ^ std::rotr(v[4], 25);
            const std::uint32_t ch = (v[4] & v[5]) ^ (~v[4] & v[6]);
            const std::uint32_t t1 = v[7] + s1 + ch + kSha256Rounds[t] + w[t];
            const std::uint32_t s0 = std::rotr(v[0], 2) ^ std::rotr(v[0], 13) ^ std::rotr(v[0], 22);
            const std::uint32_t maj = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
            const std::uint32_t t2 = s0 + maj;
            v = {t1 + t2, v[0], v[1], v[2], v[3] + t1, v[4], v[5], v[6]};
        }
        for (std::size_t k = 0; k < 8; ++k) h[k] += v[k];
    });
    return hex(h);
}

std::optional<std::string> block_digest(std::string_view algorithm,
                                        std::span<const unsigned char> data) {
    if (algorithm == "sha1" || algorithm == "sha-1") return sha1_hex(data);
    if (algorithm == "sha256" || algorithm == "sha-256") return sha256_hex(data);
    return std::nullopt;
}

}  // namespace trakora
