// SPDX-License-Identifier: MIT
// Folders of headers-only images for the scan and replay benchmarks, and a bindfs
// mount of a folder (a FUSE passthrough: every open, read and lookup a round trip to a
// user-space file system, as on a network share).
#pragma once

#include <fcntl.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "fits/fits_writer.hpp"

namespace trakora::bench {

namespace fs = std::filesystem;

// The n-th second of the night as a DATE-OBS value.
inline std::string night_date(int n) {
    char date[40];
    std::snprintf(date, sizeof date, "2026-12-09T%02d:%02d:%02d.000", 18 + n / 3600 % 6,
                  n / 60 % 60, n % 60);
    return date;
}

// A 765 x 510 BITPIX 16 image with a sparse body: only its header takes room.
inline void write_sparse_image(const fs::path& path, int n) {
    std::vector<std::string> cards = {logical_card("SIMPLE", true),
                                      integer_card("BITPIX", 16),
                                      integer_card("NAXIS", 2),
                                      integer_card("NAXIS1", 765),
                                      integer_card("NAXIS2", 510),
                                      real_card("EXPTIME", 2.0),
                                      string_card("DATE-OBS", night_date(n))};
    append_format_cards(cards, storage_format(16));
    const auto bytes = fits_file_bytes(cards, {});
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) < 0 ||
        ::ftruncate(fd, static_cast<off_t>(bytes.size() + 765 * 510 * 2)) != 0)
        std::perror("bench folder");
    if (fd >= 0) ::close(fd);
}

inline fs::path bench_folder(const std::string& what) {
    const fs::path path =
        fs::temp_directory_path() / ("trakora-bench-" + what + "-" + std::to_string(::getpid()));
    fs::create_directories(path);
    return path;
}

class BindfsMount {
  public:
    explicit BindfsMount(const fs::path& source) : point_(source.string() + "-fuse") {
        fs::create_directories(point_);
        const std::string command =
            "bindfs '" + source.string() + "' '" + point_.string() + "' 2>/dev/null";
        struct statfs st;
        mounted_ = ::access("/dev/fuse", R_OK | W_OK) == 0 && std::system(command.c_str()) == 0 &&
                   ::statfs(point_.c_str(), &st) == 0 && st.f_type == 0x65735546;
    }
    ~BindfsMount() {
        if (mounted_) {
            const std::string p = "'" + point_.string() + "'";
            (void)std::system(("fusermount3 -u " + p + " 2>/dev/null || fusermount -u " + p +
                               " 2>/dev/null || umount " + p)
                                  .c_str());
        }
        std::error_code ec;
        fs::remove(point_, ec);
    }
    BindfsMount(const BindfsMount&) = delete;
    BindfsMount& operator=(const BindfsMount&) = delete;
    bool mounted() const { return mounted_; }
    const fs::path& path() const { return point_; }

  private:
    fs::path point_;
    bool mounted_ = false;
};

}  // namespace trakora::bench
