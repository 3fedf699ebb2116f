// SPDX-License-Identifier: MIT
// Change notifications for the watched folder (Linux inotify), for the folders where the
// kernel sees every change: local disk file systems. On network shares, FUSE mounts and
// anything unknown the watch is not set up at all, and the folder is listed every tick.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace trakora {

// What the notifications said since the last look.
struct FolderChanges {
    bool lost = false;  // the queue overflowed, or the folder itself changed: list it again
    std::vector<std::string> names;  // entries created, written, removed, renamed or changed
};

class FolderWatch {
  public:
    FolderWatch() = default;
    ~FolderWatch();
    FolderWatch(FolderWatch&& other) noexcept;
    FolderWatch& operator=(FolderWatch&& other) noexcept;
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Starts watching `folder` when its file system reports every change to inotify;
    // false (and nothing watched) otherwise. Call it before listing the folder, so that no
    // change between the listing and the start goes unseen.
    bool start(const std::string& folder);
    void stop();
    bool active() const { return fd_ >= 0; }

    // The changes queued since the last call. `lost` also when the folder's path no
    // longer leads to the folder the watch was set on, and in a forked child, which must
    // not take the changes its parent has yet to read from the queue they share.
    FolderChanges take_changes(const std::string& folder);

  private:
    int fd_ = -1;
    pid_t owner_ = 0;
    dev_t dev_ = 0;
    ino_t ino_ = 0;
};

// Whether the file system holding `folder` is a local disk one whose changes all pass
// through this kernel (ext4, XFS, Btrfs, tmpfs and the like).
bool notifications_are_complete(const std::string& folder);

}  // namespace trakora
