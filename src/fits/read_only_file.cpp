// SPDX-License-Identifier: MIT
#include "fits/read_only_file.hpp"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trakora {

ReadOnlyFile::ReadOnlyFile(const std::filesystem::path& path) {
    // Non-blocking, so that a FIFO under the name returns at once instead of waiting for
    // a writer; regular_file_size() then turns it away. Reads of ordinary files ignore it.
    do {
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    } while (fd_ < 0 && errno == EINTR);
}

ReadOnlyFile::ReadOnlyFile(const ReadOnlyFile& folder, const char* name) {
    // Non-blocking for the same reason: a FIFO put in place of a listed file must not
    // hold the caller until some writer opens it.
    do {
        fd_ = ::openat(folder.fd_, name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    } while (fd_ < 0 && errno == EINTR);
}

ReadOnlyFile ReadOnlyFile::open_folder(const std::filesystem::path& path) {
    return ReadOnlyFile(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

ReadOnlyFile::~ReadOnlyFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::optional<std::uint64_t> ReadOnlyFile::regular_file_size() const {
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

std::size_t ReadOnlyFile::read_at(void* buffer, std::size_t count, std::uint64_t offset) const {
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        ssize_t got = ::pread(fd_, bytes + done, count - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

}  // namespace trakora
