// SPDX-License-Identifier: MIT
// Newest-image detection: the FITS file in the watched folder whose DATE-OBS card has
// the greatest text. Nothing is cached: every call lists the folder and reads the header
// of every candidate again, so a file that changes between calls is always seen as it is.
#include "core/newest_image.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "core/handlers.hpp"

namespace trakora {
namespace {

constexpr std::size_t kCard = 80;
constexpr std::size_t kBlock = 2880;  // 36 cards: headers are read a block at a time

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

bool has_fits_ending(const std::string& name) {
    if (name.size() < 3) return false;
    const char* end = name.c_str() + name.size() - 3;
    return std::memcmp(end, "Fit", 3) == 0 || std::memcmp(end, "FIT", 3) == 0 ||
           std::memcmp(end, "FTS", 3) == 0 || std::memcmp(end, "Fts", 3) == 0;
}

std::vector<std::string> list_candidates(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return names;
    const int dir_fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.') continue;
        std::string candidate(name);
        if (!has_fits_ending(candidate)) continue;
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

HeaderScan scan_header_dates(int dir_fd, const char* name, std::string& last_card) {
    HeaderScan result;
    // Non-blocking: a FIFO put in place of the listed file must not hold the tick until
    // some writer opens it; fstat then turns it away.
    Fd fd(::openat(dir_fd, name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) return result;
    struct stat st;
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return result;
    // No header longer than header_cards can hold is ever read as an image, so cards past
    // that are not looked at: a huge file without END (a video, a disk image, a sparse
    // file) would otherwise be read to its end on every tick.
    const std::size_t whole_cards = std::min(static_cast<std::size_t>(st.st_size) / kCard,
                                             static_cast<std::size_t>(kMaxHeaderCards));

    std::array<char, kBlock> block;
    std::size_t card_no = 0;  // cards read so far
    while (card_no < whole_cards) {
        const std::size_t cards = std::min(whole_cards - card_no, kBlock / kCard);
        const std::size_t want = cards * kCard;
        std::size_t got = 0;
        while (got < want) {
            const ssize_t n = ::pread(fd.get(), block.data() + got, want - got,
                                      static_cast<off_t>(card_no * kCard + got));
            if (n <= 0) return HeaderScan{};  // shrank or failed under us: skip the file
            got += static_cast<std::size_t>(n);
        }
        for (std::size_t c = 0; c < cards; ++c) {
            const char* card = block.data() + c * kCard;
            ++card_no;
            if (std::memcmp(card, "DATE-OBS", 8) == 0 &&
                (!result.has_date || std::memcmp(card, result.best_card.data(), kCard) > 0)) {
                std::memcpy(result.best_card.data(), card, kCard);
                result.has_date = true;
            }
            if (std::memcmp(card, "END", 3) == 0) {
                last_card.assign(card, kCard);
                result.readable = true;
                return result;
            }
            if (card_no == whole_cards) last_card.assign(card, kCard);
        }
    }
    result.readable = true;
    return result;
}

std::string newest_fits_name(const std::string& folder, std::string& last_card) {
    if (folder.empty()) return {};
    const std::vector<std::string> names = list_candidates(folder);
    if (names.empty()) return {};
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0) return {};

    std::array<char, kCard> best_card{};
    bool have_best = false;
    const std::string* best_name = nullptr;
    for (const std::string& name : names) {
        const HeaderScan scan = scan_header_dates(dir.get(), name.c_str(), last_card);
        if (!scan.readable || !scan.has_date) continue;
        // Strictly greater: among equal cards the first listed file keeps its place.
        if (!have_best || std::memcmp(scan.best_card.data(), best_card.data(), kCard) > 0) {
            best_card = scan.best_card;
            best_name = &name;
            have_best = true;
        }
    }
    return best_name != nullptr ? *best_name : std::string();
}

void new_fits_file_name(State& s, View& v) {
    s.fits_file_name = newest_fits_name(v.text(TextBox::Text1), s.header_cards[1]);
}

}  // namespace trakora
