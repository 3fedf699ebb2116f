// SPDX-License-Identifier: MIT
#include "arrival/folder_memory.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <ctime>
#include <optional>
#include <set>
#include <system_error>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "arrival/newest_image.hpp"
#include "fits/file_names.hpp"
#include "fits/read_only_file.hpp"

namespace trakora {
namespace {

// How far apart two changes must be for their timestamps to differ for sure: a local
// disk stamps with the kernel's coarse clock (a few milliseconds); FAT keeps two seconds,
// and a share or FUSE mount may keep anything down to that.
constexpr std::int64_t kLocalStampNs = 100'000'000;
constexpr std::int64_t kOtherStampNs = 2'000'000'000;
// How far behind this machine's clock a file server's may be.
constexpr std::int64_t kClockSkewNs = 10'000'000'000;

// Files checked by one thread when the checks are spread over several. On a share each
// check is a round trip and the threads mostly wait, so more of them than cores pay.
constexpr std::size_t kFilesPerThread = 64;
constexpr std::size_t kMaxThreads = 16;

// On a share, the newest images the tick asks about itself (see folder_memory.hpp).
constexpr std::size_t kEveryTick = 64;
// How long after this scan's last ask of a name on FUSE the kernel surely holds nothing
// of it: FUSE keeps names and attributes 1 s unless mounted otherwise.
constexpr std::int64_t kFuseCacheLapsedNs = 1'500'000'000;
constexpr long kFuseMagic = 0x65735546;

std::int64_t nanoseconds(std::int64_t seconds, std::int64_t nanos) {
    return seconds * 1'000'000'000 + nanos;
}

std::int64_t now_ns() {
    timespec t{};
    ::clock_gettime(CLOCK_REALTIME, &t);
    return nanoseconds(t.tv_sec, t.tv_nsec);
}

// One candidate name as this tick finds it.
struct Look {
    explicit Look(std::string n) : name(std::move(n)) {}
    std::string name;
    ino_t listed_ino = 0;
    bool cached = false;  // its attributes may be those the kernel holds
    std::int64_t asked_ns = 0;
    bool linked = false;   // a symbolic link
    bool regular = false;  // an ordinary file (links followed)
    nlink_t links = 0;
    FileIdentity identity;
};

// Looks the name up, links followed. On a share or FUSE mount the attributes are asked
// of the file system itself rather than taken from the kernel's cache, as opening the
// file would, unless the look may take the cache's.
void look_up(int folder_fd, bool force_sync, Look& look) {
    struct statx st {};
    const int sync = force_sync && !look.cached ? AT_STATX_FORCE_SYNC : AT_STATX_SYNC_AS_STAT;
    const char* name = look.name.c_str();
    look.asked_ns = now_ns();
    if (::statx(folder_fd, name, sync | AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &st) != 0) return;
    look.linked = S_ISLNK(st.stx_mode);
    if (look.linked && ::statx(folder_fd, name, sync, STATX_BASIC_STATS, &st) != 0) return;
    look.regular = S_ISREG(st.stx_mode);
    look.links = st.stx_nlink;
    look.identity.dev = ::makedev(st.stx_dev_major, st.stx_dev_minor);
    look.identity.ino = st.stx_ino;
    look.identity.size = st.stx_size;
    look.identity.modified_ns = nanoseconds(st.stx_mtime.tv_sec, st.stx_mtime.tv_nsec);
    look.identity.changed_ns = nanoseconds(st.stx_ctime.tv_sec, st.stx_ctime.tv_nsec);
}

std::int64_t stamped_ns(const FileIdentity& id) { return std::max(id.modified_ns, id.changed_ns); }

// Runs work(i) for i in [0, count): here, or on several threads when round trips to a
// share dominate.
template <class Work>
void for_each_index(std::size_t count, bool spread, Work&& work) {
    const std::size_t threads =
        spread ? std::min(kMaxThreads, (count + kFilesPerThread - 1) / kFilesPerThread) : 1;
    if (threads <= 1) {
        for (std::size_t i = 0; i < count; ++i) work(i);
        return;
    }
    std::atomic<std::size_t> next{0};
    const auto run = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < count;) work(i);
    };
    std::vector<std::thread> pool;
    pool.reserve(threads - 1);
    // Threads that cannot be had are done without: the others take their share.
    try {
        for (std::size_t t = 1; t < threads; ++t) pool.emplace_back(run);
    } catch (const std::system_error&) {
    }
    run();
    for (std::thread& t : pool) t.join();
}

bool takes_name(const std::string& name, NameRule rule) {
    return !name.empty() && name[0] != '.' && is_image_name(name, rule == NameRule::any);
}

// The tick's view of the folder: what it holds, and the facts the trust rule needs.
class Tick {
  public:
    Tick(FolderMemory& memory, const ReadOnlyFile& dir, int folder_fd, bool local)
        : memory_(memory), dir_(dir), folder_fd_(folder_fd), local_(local), started_(now_ns()) {
        struct stat st;
        if (::fstat(folder_fd, &st) == 0) {
            folder_dev_ = st.st_dev;
            newest_stamp_ = std::max(nanoseconds(st.st_mtim.tv_sec, st.st_mtim.tv_nsec),
                                     nanoseconds(st.st_ctim.tv_sec, st.st_ctim.tv_nsec));
        }
    }

    // Looks each name up, then reads the headers of those new, changed or not to be
    // trusted, and keeps the result in the memory. `reread` names are read whatever
    // their identity (a notification said they changed).
    void update(std::vector<Look>& looks, const std::set<std::string>& reread) {
        for_each_index(looks.size(), !local_,
                       [&](std::size_t i) { look_up(folder_fd_, !local_, looks[i]); });
        // The file system's clock has passed the newest timestamp the folder shows; it
        // is taken to be near this machine's (kClockSkewNs) only when nothing newer
        // shows, as in a quiet folder. A timestamp within the granularity of that time
        // may still be shared by a later change.
        std::int64_t newest = newest_stamp_;
        for (const Look& look : looks)
            if (look.regular) newest = std::max(newest, stamped_ns(look.identity));
        const std::int64_t settled = std::min(started_, std::max(newest, started_ - kClockSkewNs)) -
                                     (local_ ? kLocalStampNs : kOtherStampNs);

        std::vector<std::size_t> to_read;
        for (std::size_t i = 0; i < looks.size(); ++i) {
            const Look& look = looks[i];
            if (!look.regular) {
                // A link that leads nowhere now may lead to a file later, with no word
                // about it: it stays, to be looked at again.
                if (look.linked) {
                    RememberedFile nowhere;
                    nowhere.checked = true;
                    memory_.files.insert_or_assign(look.name, nowhere);
                } else {
                    memory_.files.erase(look.name);
                }
                continue;
            }
            const auto known = memory_.files.find(look.name);
            if (known == memory_.files.end() || !known->second.trusted ||
                !(known->second.identity == look.identity) || reread.contains(look.name))
                to_read.push_back(i);
            else
                known->second.asked_ns = look.asked_ns;
        }
        std::vector<RememberedFile> read(to_read.size());
        for_each_index(to_read.size(), !local_, [&](std::size_t k) {
            const Look& look = looks[to_read[k]];
            RememberedFile& f = read[k];
            std::string last;
            const HeaderScan scan = scan_header_dates(dir_, look.name.c_str(), last);
            f.identity = look.identity;
            f.readable = scan.readable;
            f.has_date = scan.has_date;
            f.best_card = scan.best_card;
            f.has_last = scan.readable && last.size() == kCardBytes;
            if (f.has_last) std::memcpy(f.last_card.data(), last.data(), kCardBytes);
            f.trusted = scan.readable && stamped_ns(look.identity) < settled;
            f.checked = look.linked || look.identity.dev != folder_dev_ || look.links != 1;
            f.listed_ino = look.listed_ino;
            f.asked_ns = look.asked_ns;
        });
        for (std::size_t k = 0; k < to_read.size(); ++k)
            memory_.files.insert_or_assign(looks[to_read[k]].name, read[k]);
    }

  private:
    FolderMemory& memory_;
    const ReadOnlyFile& dir_;
    int folder_fd_;
    bool local_;
    std::int64_t started_;
    dev_t folder_dev_ = 0;
    std::int64_t newest_stamp_ = 0;
};

// The old images of a share, those asked about between ticks (see folder_memory.hpp).
std::vector<const std::pair<const std::string, RememberedFile>*> old_images(
    const FolderMemory& memory) {
    std::vector<const std::pair<const std::string, RememberedFile>*> old;
    std::vector<const char*> cards;
    for (const auto& [name, f] : memory.files)
        if (f.readable && f.has_date) cards.push_back(f.best_card.data());
    if (cards.size() <= kEveryTick) return old;
    const auto later = [](const char* a, const char* b) { return is_later_card(a, b); };
    std::nth_element(cards.begin(), cards.begin() + (kEveryTick - 1), cards.end(), later);
    const char* const floor = cards[kEveryTick - 1];
    // The files from the last one read on give the last card.
    auto last_read = memory.files.end();
    for (auto it = memory.files.rbegin(); it != memory.files.rend(); ++it) {
        if (it->second.has_last) {
            last_read = std::prev(it.base());
            break;
        }
    }
    for (auto it = memory.files.begin(); it != last_read; ++it) {
        const RememberedFile& f = it->second;
        if (f.trusted && f.readable && f.has_date && !f.checked &&
            is_later_card(floor, f.best_card.data()))
            old.push_back(&*it);
    }
    return old;
}

// Asks about `looks` in `folder`, off the tick.
AskedBetweenTicks ask_about(const std::string& folder, std::vector<Look> looks) {
    AskedBetweenTicks asked;
    const int folder_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_fd < 0) return asked;
    for_each_index(looks.size(), true, [&](std::size_t i) { look_up(folder_fd, true, looks[i]); });
    ::close(folder_fd);
    asked.files.reserve(looks.size());
    for (Look& look : looks)
        asked.files.push_back(
            {std::move(look.name), look.regular && !look.linked, look.identity, look.asked_ns});
    return asked;
}

// Starts asking about the old images of the share, for the next tick.
void ask_between_ticks(FolderMemory& memory, const std::string& folder, bool fuse) {
    std::vector<Look> looks;
    const std::int64_t now = now_ns();
    for (const auto* old : old_images(memory)) {
        Look& look = looks.emplace_back(old->first);
        look.cached = fuse && now - old->second.asked_ns >= kFuseCacheLapsedNs;
    }
    if (looks.empty()) return;
    // Without a thread the next tick asks about them all itself.
    try {
        memory.between_ticks = std::async(std::launch::async, ask_about, folder, std::move(looks));
    } catch (const std::system_error&) {
    }
}

// Leaves out of `looks` the files the asking between ticks found as the memory holds them.
// All three are in name order.
void leave_unchanged(FolderMemory& memory, std::vector<Look>& looks) {
    AskedBetweenTicks asked;
    try {
        asked = memory.between_ticks.get();
    } catch (const std::exception&) {
        return;
    }
    auto answer = asked.files.begin();
    auto known = memory.files.begin();
    std::erase_if(looks, [&](const Look& look) {
        while (answer != asked.files.end() && answer->name < look.name) ++answer;
        while (known != memory.files.end() && known->first < look.name) ++known;
        if (answer == asked.files.end() || answer->name != look.name ||
            known == memory.files.end() || known->first != look.name)
            return false;
        RememberedFile& f = known->second;
        if (!answer->plain || !(answer->identity == f.identity) || !f.trusted ||
            f.listed_ino != look.listed_ino)
            return false;
        f.asked_ns = answer->asked_ns;
        return true;
    });
}

// Every candidate of the folder, looked up and read where needed. False when the folder
// cannot be listed or holds no candidate name.
bool list_and_check(FolderMemory& memory, const std::string& folder, NameRule rule) {
    const bool local = notifications_are_complete(folder);
    // Watching starts before the listing, so a change made meanwhile is heard of.
    if (memory.use_notifications && local && !memory.watch.active()) memory.watch.start(folder);
    if (!local) memory.watch.stop();

    std::vector<Look> looks;
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr) return false;
    while (const dirent* entry = ::readdir(listing)) {
        std::string name(entry->d_name);
        if (!takes_name(name, rule)) continue;
        looks.emplace_back(std::move(name)).listed_ino = entry->d_ino;
    }
    std::optional<ReadOnlyFile> dir;
    if (!looks.empty()) dir.emplace(ReadOnlyFile::open_folder(folder));
    if (looks.empty() || !dir->is_open()) {
        ::closedir(listing);
        return false;
    }
    // Names no longer listed leave the memory.
    std::sort(looks.begin(), looks.end(),
              [](const Look& a, const Look& b) { return a.name < b.name; });
    auto listed = looks.begin();
    for (auto it = memory.files.begin(); it != memory.files.end();) {
        while (listed != looks.end() && listed->name < it->first) ++listed;
        it = listed != looks.end() && listed->name == it->first ? std::next(it)
                                                                : memory.files.erase(it);
    }
    if (memory.between_ticks.valid() && !local) leave_unchanged(memory, looks);
    if (memory.between_ticks.valid()) memory.between_ticks = {};
    Tick(memory, *dir, ::dirfd(listing), local).update(looks, {});
    if (!local) {
        struct statfs st;
        ask_between_ticks(memory, folder,
                          ::fstatfs(::dirfd(listing), &st) == 0 && st.f_type == kFuseMagic);
    }
    ::closedir(listing);
    return true;
}

// The changes notifications told of, and the files no notification covers, checked
// again. False when the notifications cannot be relied on this tick.
bool check_changes(FolderMemory& memory, const std::string& folder, NameRule rule) {
    FolderChanges changes = memory.watch.take_changes(folder);
    if (changes.lost) {
        memory.watch.stop();
        return false;
    }
    std::set<std::string> reread;
    std::vector<Look> others;  // changed names the rule does not take
    for (std::string& name : changes.names) {
        if (takes_name(name, rule))
            reread.insert(std::move(name));
        else
            others.emplace_back(std::move(name));
    }
    std::vector<Look> looks;
    for (const std::string& name : reread) looks.emplace_back(name);
    for (const auto& [name, f] : memory.files)
        if ((f.checked || !f.readable) && !reread.contains(name)) looks.emplace_back(name);
    if (looks.empty() && others.empty()) return true;
    const ReadOnlyFile dir = ReadOnlyFile::open_folder(folder);
    if (!dir.is_open()) {
        memory.watch.stop();
        return false;
    }
    // The folder handle for the lookups: the one the reads use.
    const int folder_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_fd < 0) {
        memory.watch.stop();
        return false;
    }
    Tick(memory, dir, folder_fd, true).update(looks, reread);

    // A file with several names is told of under the name it was changed through only:
    // the other names of the changed files are read again, and checked from now on.
    for (Look& other : others) look_up(folder_fd, false, other);
    std::set<std::pair<dev_t, ino_t>> shared;
    for (const std::vector<Look>* group : {&looks, &others})
        for (const Look& look : *group)
            if (look.regular && look.links != 1)
                shared.emplace(look.identity.dev, look.identity.ino);
    if (!shared.empty()) {
        std::set<std::string> names;
        for (const Look& look : looks) names.insert(look.name);
        std::set<std::string> again;
        std::vector<Look> more;
        for (const auto& [name, f] : memory.files) {
            if (!names.contains(name) && shared.contains({f.identity.dev, f.identity.ino})) {
                again.insert(name);
                more.emplace_back(name);
            }
        }
        Tick(memory, dir, folder_fd, true).update(more, again);
    }
    ::close(folder_fd);
    return true;
}

}  // namespace

std::string remembered_newest_fits_name(FolderMemory& memory, const std::string& folder,
                                        std::string& last_card, std::string& date_card,
                                        NameRule rule) {
    date_card.clear();
    if (folder.empty()) return {};
    if (memory.folder != folder || memory.rule != rule) {
        memory.files.clear();
        memory.watch.stop();
        memory.between_ticks = {};
        memory.folder = folder;
        memory.rule = rule;
    }
    const bool heard =
        memory.use_notifications && memory.watch.active() && check_changes(memory, folder, rule);
    if (!heard && !list_and_check(memory, folder, rule)) {
        memory.files.clear();
        return {};
    }
    if (memory.files.empty()) return {};

    // Strictly greater: among equal cards the first file in name order keeps its place.
    const std::string* best_name = nullptr;
    const RememberedFile* best = nullptr;
    for (const auto& [name, f] : memory.files) {
        if (!f.readable || !f.has_date) continue;
        if (best == nullptr || is_later_card(f.best_card.data(), best->best_card.data())) {
            best = &f;
            best_name = &name;
        }
    }
    // The last card read by a scan in name order is the last card of the last file read.
    for (auto it = memory.files.rbegin(); it != memory.files.rend(); ++it) {
        if (it->second.has_last) {
            last_card.assign(it->second.last_card.data(), kCardBytes);
            break;
        }
    }
    if (best == nullptr) return {};
    date_card.assign(best->best_card.data(), kCardBytes);
    return *best_name;
}

}  // namespace trakora
