// SPDX-License-Identifier: MIT
// A file (or folder) opened for reading raw bytes, closed when the object goes, so that
// no return path of a reader can leave it open. The one file handle of the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace trakora {

class ReadOnlyFile {
  public:
    explicit ReadOnlyFile(const std::filesystem::path& path);
    // `name` in the folder open as `folder` (see open_folder).
    ReadOnlyFile(const ReadOnlyFile& folder, const char* name);
    // A folder, for opening the files in it by name; not open when `path` is no folder.
    static ReadOnlyFile open_folder(const std::filesystem::path& path);
    ReadOnlyFile(ReadOnlyFile&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
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
    explicit ReadOnlyFile(int fd) : fd_(fd) {}
    int fd_ = -1;
};

}  // namespace trakora
