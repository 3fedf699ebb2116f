// SPDX-License-Identifier: MIT
// The digests an XISF data block's checksum may be given in: SHA-1 and SHA-256 (FIPS
// 180-4), as lower-case hexadecimal text.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace trakora {

std::string sha1_hex(std::span<const unsigned char> data);
std::string sha256_hex(std::span<const unsigned char> data);

// The digest of `data` by the algorithm XISF names ("sha1", "sha-1", "sha256",
// "sha-256"), or nothing for another algorithm.
std::optional<std::string> block_digest(std::string_view algorithm,
                                        std::span<const unsigned char> data);

}  // namespace trakora
