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
// tick; elsewhere (network shares, FUSE) every tick lists the folder and checks each file's
// identity, the checks issued concurrently so that round trips overlap.
#pragma once

#include <sys/types.h>

#include <array>
#include <cstdint>
#include <map>
#include <string>

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
    bool has_last = false;  // a whole card was read: last_card holds the last of them
    std::array<char, kCardBytes> best_card{};
    std::array<char, kCardBytes> last_card{};
};

struct FolderMemory {
    std::string folder;  // the folder text the memory is of; another one starts afresh
    NameRule rule = NameRule::specified;
    std::map<std::string, RememberedFile> files;  // candidates by name, in byte order
    FolderWatch watch;
    // Whether inotify may stand in for listing a local folder (tests turn it off to check
    // the listing alone).
    bool use_notifications = true;
};

// The newest image of `folder` as newest_fits_name chooses it, `last_card` filled the same
// way, with what `memory` holds of earlier ticks; `date_card` receives the chosen file's
// greatest DATE-OBS card (empty when none is chosen).
std::string remembered_newest_fits_name(FolderMemory& memory, const std::string& folder,
                                        std::string& last_card, std::string& date_card,
                                        NameRule rule = NameRule::specified);

}  // namespace trakora
