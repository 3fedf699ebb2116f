// SPDX-License-Identifier: MIT
// Newest-image detection: the FITS file in the watched folder whose DATE-OBS card has
// the greatest text. newest_fits_name lists the folder and reads the header of every
// candidate; a tick asks State's folder memory instead, which gives the same answer
// reading only what changed (core/folder_memory.hpp).
#include "arrival/newest_image.hpp"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fits/header_cards.hpp"
#include "fits/image_header_walk.hpp"
#include "fits/read_only_file.hpp"

namespace trakora {

std::vector<std::string> list_candidates(const std::string& folder, NameRule rule) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return names;
    const int dir_fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.') continue;
        std::string candidate(name);
        if (!is_image_name(candidate, rule == NameRule::any)) continue;
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat st;
            regular = ::fstatat(dir_fd, name, &st, 0) == 0 && S_ISREG(st.st_mode);
        }
        if (regular) names.push_back(std::move(candidate));
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

HeaderScan scan_header_dates(const ReadOnlyFile& folder, const char* name, std::string& last_card) {
    HeaderScan result;
    const ReadOnlyFile file(folder, name);
    if (!file.is_open()) return result;
    // A FIFO, a device or a folder under the name is turned away here.
    const std::optional<std::uint64_t> size = file.regular_file_size();
    if (!size) return result;
    // Headers are read a block at a time: most end in their first block.
    std::array<unsigned char, kBlockBytes> block;
    std::string_view last;
    std::string made_cards;
    const HeaderWalk walk = walk_image_header(
        file, *size, image_format_of(name), block, made_cards, [&](std::string_view card) {
            if (has_keyword(card, "DATE-OBS") &&
                (!result.has_date || is_later_card(card.data(), result.best_card.data()))) {
                std::copy(card.begin(), card.end(), result.best_card.begin());
                result.has_date = true;
            }
            last = card;
        });
    // Shrank or failed under us: the file is skipped.
    if (!walk.read) return HeaderScan{};
    if (walk.cards > 0) last_card.assign(last);
    result.readable = true;
    return result;
}

std::string newest_fits_name(const std::string& folder, std::string& last_card, NameRule rule) {
    if (folder.empty()) return {};
    const std::vector<std::string> names = list_candidates(folder, rule);
    if (names.empty()) return {};
    const ReadOnlyFile dir = ReadOnlyFile::open_folder(folder);
    if (!dir.is_open()) return {};

    std::array<char, kCardBytes> best_card{};
    bool have_best = false;
    const std::string* best_name = nullptr;
    for (const std::string& name : names) {
        const HeaderScan scan = scan_header_dates(dir, name.c_str(), last_card);
        if (!scan.readable || !scan.has_date) continue;
        // Strictly greater: among equal cards the first listed file keeps its place.
        if (!have_best || is_later_card(scan.best_card.data(), best_card.data())) {
            best_card = scan.best_card;
            best_name = &name;
            have_best = true;
        }
    }
    return best_name != nullptr ? *best_name : std::string();
}

std::vector<DatedImage> images_in_date_order(const std::string& folder, NameRule rule) {
    std::vector<DatedImage> images;
    const ReadOnlyFile dir = ReadOnlyFile::open_folder(folder);
    if (!dir.is_open()) return images;
    std::string scratch;
    for (const std::string& name : list_candidates(folder, rule)) {
        const HeaderScan scan = scan_header_dates(dir, name.c_str(), scratch);
        if (scan.readable && scan.has_date) images.push_back({name, scan.best_card});
    }
    // Stable: the names' order stands among equal cards.
    std::stable_sort(images.begin(), images.end(), [](const DatedImage& a, const DatedImage& b) {
        return is_later_card(b.date_card.data(), a.date_card.data());
    });
    return images;
}

}  // namespace trakora
