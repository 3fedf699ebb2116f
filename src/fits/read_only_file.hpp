// SPDX-License-Identifier: MIT
// A file opened for reading raw bytes, closed when the object goes, so that no return
// path of the reader can leave it open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace trakora {

class ReadOnlyFile {
  public:
    explicit ReadOnlyFile(const std::filesystem::path& path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool is_open() const { return fd_ >= 0; }

    // The length in bytes when this is an ordinary file; nothing for directories,
    // devices and pipes, whose length says nothing about what a read returns.
    std::optional<std::uint64_t> regular_file_size() const;

    // Reads up to `count` bytes at byte `offset`, retrying short and interrupted reads.
    // Returns the bytes read: fewer than `count` only at the end of the file or after an
    // error.
    std::size_t read_at(void* buffer, std::size_t count, std::uint64_t offset) const;

  private:
    int fd_ = -1;
};

}  // namespace trakora
