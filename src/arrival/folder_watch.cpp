// SPDX-License-Identifier: MIT
#include "arrival/folder_watch.hpp"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

namespace trakora {
namespace {

// File systems whose every change is made by this kernel, so inotify hears of it. FUSE,
// NFS, SMB and overlay mounts are left out: their files can change behind the kernel's
// back (another machine, the FUSE daemon, a lower layer).
constexpr std::array<unsigned long, 10> kLocalFileSystems = {
    0xEF53,      // ext2, ext3, ext4
    0x58465342,  // XFS
    0x9123683E,  // Btrfs
    0x01021994,  // tmpfs
    0x858458F6,  // ramfs
    0xF2F52010,  // F2FS
    0x3153464A,  // JFS
    0x52654973,  // ReiserFS
    0x2FC12FC1,  // ZFS
    0xCA451A4E,  // bcachefs
};

constexpr std::uint32_t kEvents = IN_CREATE | IN_DELETE | IN_MODIFY | IN_CLOSE_WRITE |
                                  IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF |
                                  IN_MOVE_SELF | IN_ONLYDIR;

}  // namespace

bool notifications_are_complete(const std::string& folder) {
    struct statfs fs;
    if (::statfs(folder.c_str(), &fs) != 0) return false;
    const auto type = static_cast<unsigned long>(fs.f_type);
    for (const unsigned long local : kLocalFileSystems)
        if (type == local) return true;
    return false;
}

FolderWatch::~FolderWatch() { stop(); }

FolderWatch::FolderWatch(FolderWatch&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), owner_(other.owner_), dev_(other.dev_), ino_(other.ino_) {}

FolderWatch& FolderWatch::operator=(FolderWatch&& other) noexcept {
    if (this != &other) {
        stop();
        fd_ = std::exchange(other.fd_, -1);
        owner_ = other.owner_;
        dev_ = other.dev_;
        ino_ = other.ino_;
    }
    return *this;
}

void FolderWatch::stop() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool FolderWatch::start(const std::string& folder) {
    stop();
    if (!notifications_are_complete(folder)) return false;
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) return false;
    struct stat st;
    if (::inotify_add_watch(fd_, folder.c_str(), kEvents) < 0 || ::stat(folder.c_str(), &st) != 0) {
        stop();
        return false;
    }
    owner_ = ::getpid();
    dev_ = st.st_dev;
    ino_ = st.st_ino;
    return true;
}

FolderChanges FolderWatch::take_changes(const std::string& folder) {
    FolderChanges changes;
    struct stat st;
    if (fd_ < 0 || owner_ != ::getpid() || ::stat(folder.c_str(), &st) != 0 || st.st_dev != dev_ ||
        st.st_ino != ino_) {
        changes.lost = true;
        return changes;
    }
    alignas(inotify_event) char buffer[16 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 && errno == EAGAIN) break;
        if (got <= 0) {
            changes.lost = true;
            break;
        }
        for (ssize_t at = 0; at < got;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            const char* name = buffer + at + sizeof event;
            at += static_cast<ssize_t>(sizeof event + event.len);
            // Events on the folder itself (no name): its permissions, its removal or
            // renaming, the end of the watch, a full queue.
            if (event.len == 0 || (event.mask & (IN_Q_OVERFLOW | IN_IGNORED)) != 0) {
                changes.lost = true;
                continue;
            }
            changes.names.emplace_back(name);  // NUL-padded to event.len
        }
    }
    return changes;
}

}  // namespace trakora
