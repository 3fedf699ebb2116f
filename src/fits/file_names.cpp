// SPDX-License-Identifier: MIT
#include "fits/file_names.hpp"

#include <cstring>

namespace trakora {

bool has_fits_ending(const std::string& name) {
    if (name.size() < 3) return false;
    const char* end = name.c_str() + name.size() - 3;
    return std::memcmp(end, "Fit", 3) == 0 || std::memcmp(end, "FIT", 3) == 0 ||
           std::memcmp(end, "FTS", 3) == 0 || std::memcmp(end, "Fts", 3) == 0;
}

}  // namespace trakora
