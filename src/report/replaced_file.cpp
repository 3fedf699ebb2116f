// SPDX-License-Identifier: MIT
#include "report/replaced_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace trakora::report {
namespace {

bool fail(std::string* error, const std::string& path, int code) {
    if (error != nullptr) *error = "cannot write '" + path + "': " + std::strerror(code);
    return false;
}

bool write_all(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

bool write_file_replacing(const std::string& path, std::string_view content, std::string* error) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    if (path.empty() || !target.has_filename()) return fail(error, path, EISDIR);
    std::string temporary =
        (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return fail(error, path, errno);
    // mkstemp makes the file for its owner only; a report is an ordinary file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    const bool written = write_all(fd, content);
    const int write_error = errno;
    if (::close(fd) != 0 || !written) {
        const int code = written ? errno : write_error;
        ::unlink(temporary.c_str());
        return fail(error, path, code);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        return fail(error, path, code);
    }
    return true;
}

}  // namespace trakora::report
