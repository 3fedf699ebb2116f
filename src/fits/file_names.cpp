// SPDX-License-Identifier: MIT
#include "fits/file_names.hpp"

#include <cstring>

namespace trakora {
namespace {

bool ends_in_any_case(std::string_view name, std::string_view lower_suffix) {
    if (name.size() < lower_suffix.size()) return false;
    const std::string_view tail = name.substr(name.size() - lower_suffix.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
        const char c =
            tail[i] >= 'A' && tail[i] <= 'Z' ? static_cast<char>(tail[i] - 'A' + 'a') : tail[i];
        if (c != lower_suffix[i]) return false;
    }
    return true;
}

}  // namespace

bool has_fits_ending(const std::string& name) {
    if (name.size() < 3) return false;
    const char* end = name.c_str() + name.size() - 3;
    return std::memcmp(end, "Fit", 3) == 0 || std::memcmp(end, "FIT", 3) == 0 ||
           std::memcmp(end, "FTS", 3) == 0 || std::memcmp(end, "Fts", 3) == 0;
}

bool has_fits_extension(std::string_view name) {
    return ends_in_any_case(name, ".fit") || ends_in_any_case(name, ".fits") ||
           ends_in_any_case(name, ".fts");
}

bool has_compressed_fits_extension(std::string_view name) { return ends_in_any_case(name, ".fz"); }

bool has_xisf_extension(std::string_view name) { return ends_in_any_case(name, ".xisf"); }

ImageFormat image_format_of(std::string_view name) {
    if (has_compressed_fits_extension(name)) return ImageFormat::compressed_fits;
    if (has_xisf_extension(name)) return ImageFormat::xisf;
    return ImageFormat::fits;
}

bool is_image_name(const std::string& name, bool any_case_extension) {
    return has_fits_ending(name) || (any_case_extension && (has_fits_extension(name) ||
                                                            has_compressed_fits_extension(name) ||
                                                            has_xisf_extension(name)));
}

}  // namespace trakora
