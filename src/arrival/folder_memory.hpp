// SPDX-License-Identifier: MIT
// What the newest-image scan remembers of the watched folder from tick to tick, so that a
// tick reads the headers of new and changed files only. The answer is always the one a
// scan of every header would give (see newest_fits_name).
//
// A file's remembered DATE-OBS card is trusted while the file's identity (device, inode,
// size, modification and change times to the nanosecond) stays the same, and only when
// the file was read after its last change had surely been stamped: a file whose times are
// within the file system's timestamp granularity of the time it was read could change
// again under the same times, so it is read again each tick until it is older. That time
// is the newest timestamp the folder shows, or in a folder quiet for a while this
// machine's clock less ten seconds, so a file server's clock may lag by that much. On local
// disks, inotify tells which files changed and the folder is not even listed on a quiet
// tick, and the answer is exact at every tick.
//
// Elsewhere (network shares, FUSE) no notification comes, every tick lists the folder, and
// asking a file's identity costs a round trip or two (a name lookup, then its attributes):
// 1.5 s or more for 20,000 images through bindfs on two cores, too long to stall a tick.
// There the answer is exact at every tick but for in-place rewrites of old images, found
// within two ticks. The tick itself asks about new names, names given to another file (the
// listing's inode number differs), files not yet trusted, links, files with more names,
// unreadable or undated files, the 64 newest images (and any sharing the 64th one's card)
// and the files from the last one read on in name order (they give the last card). Every
// other image, old and settled, is asked about between ticks: when a tick returns, threads
// ask the file system about all of them, and the next tick waits for those answers (at
// once unless ticks come quicker than the asking) and asks again, then reads, only those
// whose identity changed. A rewrite made before the asking reaches its file is found at
// the next tick, one made after at the tick after that. On FUSE the asking takes the
// attributes the kernel holds when it last asked over 1.5 s ago: FUSE keeps names
// and attributes 1 s unless mounted otherwise, so the kernel's entry has lapsed and
// looking the name up fetches fresh attributes, one round trip instead of two. So on a
// FUSE mount keeping attributes longer (attr_timeout), the two ticks count from when that
// time has passed since the rewrite. The asks are issued concurrently so that round trips
// overlap.
#pragma once

#include <sys/types.h>

#include <array>
#include <cstdint>
#include <future>
#include <map>
#include <string>
#include <vector>

#include "arrival/folder_watch.hpp"
#include "arrival/name_rule.hpp"
#include "fits/header_cards.hpp"

namespace trakora {

// What tells one content of a file from another without reading it.
struct FileIdentity {
    dev_t dev = 0;
    ino_t ino = 0;
    std::uint64_t size = 0;
    std::int64_t modified_ns = 0;
    std::int64_t changed_ns = 0;
    bool operator==(const FileIdentity&) const = default;
};

// One candidate as its header was last read.
struct RememberedFile {
    FileIdentity identity;
    bool trusted = false;   // may be taken again while the identity stays the same
    bool checked = false;   // a link, another device or more names: no notification covers it
    bool readable = false;  // the header was read (see HeaderScan)
    bool has_date = false;
    bool has_last = false;      // a whole card was read: last_card holds the last of them
    ino_t listed_ino = 0;       // the inode number the folder's listing gave with the name
    std::int64_t asked_ns = 0;  // when its identity was last asked of a share
    std::array<char, kCardBytes> best_card{};
    std::array<char, kCardBytes> last_card{};
};

// The old images of a share as asked about between ticks, in name order.
struct AskedBetweenTicks {
    struct File {
        std::string name;
        bool plain = false;  // a regular file, not a link
        FileIdentity identity;
        std::int64_t asked_ns = 0;
    };
    std::vector<File> files;
};

struct FolderMemory {
    std::string folder;  // the folder text the memory is of; another one starts afresh
    NameRule rule = NameRule::specified;
    std::map<std::string, RememberedFile> files;  // candidates by name, in byte order
    FolderWatch watch;
    // Whether inotify may stand in for listing a local folder (tests turn it off to check
    // the listing alone).
    bool use_notifications = true;
    // Asking about the old images of a share, started when the last tick returned.
    std::future<AskedBetweenTicks> between_ticks;
};

// The newest image of `folder` as newest_fits_name chooses it, `last_card` filled the same
// way, with what `memory` holds of earlier ticks; `date_card` receives the chosen file's
// greatest DATE-OBS card (empty when none is chosen).
std::string remembered_newest_fits_name(FolderMemory& memory, const std::string& folder,
                                        std::string& last_card, std::string& date_card,
                                        NameRule rule = NameRule::specified);

}  // namespace trakora
