// SPDX-License-Identifier: MIT
// The remembered scan against the full one: after every step of a random night of
// creations, in-place rewrites, truncations, renames, deletions, files being written,
// links and unreadable entries, both choose the same file and leave the same last card.
// Steps follow each other within microseconds, so rewrites keep their timestamps: the
// rule for recently stamped files is what keeps the answers equal.
#include "arrival/folder_memory.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "arrival/newest_image.hpp"
#include "support/fits_files.hpp"

namespace trakora {
namespace {

namespace fs = std::filesystem;
using testing::fits_card;
using testing::fits_header;
using testing::TempDir;

constexpr long kFuseMagic = 0x65735546;

// `source` shown again at `point` by bindfs, a FUSE passthrough; unmounted when it goes.
class BindfsMount {
  public:
    BindfsMount(const fs::path& source, const fs::path& point) : point_(point) {
        fs::create_directories(point);
        const std::string command =
            "bindfs '" + source.string() + "' '" + point.string() + "' 2>/dev/null";
        struct statfs st;
        mounted_ = ::access("/dev/fuse", R_OK | W_OK) == 0 && std::system(command.c_str()) == 0 &&
                   ::statfs(point.c_str(), &st) == 0 && st.f_type == kFuseMagic;
    }
    ~BindfsMount() {
        if (mounted_)
            (void)std::system(("fusermount3 -u '" + point_.string() +
                               "' 2>/dev/null || fusermount -u '" + point_.string() +
                               "' 2>/dev/null || umount '" + point_.string() + "'")
                                  .c_str());
    }
    BindfsMount(const BindfsMount&) = delete;
    BindfsMount& operator=(const BindfsMount&) = delete;
    bool mounted() const { return mounted_; }

  private:
    fs::path point_;
    bool mounted_ = false;
};

struct Place {
    const char* label;
    bool through_fuse;   // the folder is watched and written through a bindfs mount of it
    bool notifications;  // inotify may stand in for the listing
};

class RememberedScan : public ::testing::TestWithParam<Place> {};

// Same length whatever the date: a rewrite in place keeps the size.
std::string dated(int seconds) {
    char date[32];
    std::snprintf(date, sizeof date, "'2026-12-09T%02d:%02d:%02d'", seconds / 3600 % 24,
                  seconds / 60 % 60, seconds % 60);
    return fits_header({fits_card("SIMPLE", "T"), fits_card("DATE-OBS", date)});
}

void write_at(const fs::path& path, const std::string& bytes, int flags) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | flags, 0644);
    if (fd < 0) return;
    EXPECT_EQ(::pwrite(fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
}

TEST_P(RememberedScan, ChoosesAsTheFullScanAfterEveryStep) {
    const Place& place = GetParam();
    TempDir dir;
    const fs::path source = dir.path() / "night";
    fs::create_directories(source);
    std::optional<BindfsMount> mount;
    fs::path watched = source;
    if (place.through_fuse) {
        watched = dir.path() / "mount";
        mount.emplace(source, watched);
        if (!mount->mounted())
            GTEST_SKIP() << "no FUSE here: bindfs or /dev/fuse is missing or cannot mount";
    }

    // Older images that never change, enough for the checks through the mount to be
    // spread over threads; their names sort first.
    for (int n = 0; n < 100; ++n)
        write_at(watched / ("0old_" + std::to_string(n) + ".FIT"), dated(0), O_TRUNC);
    FolderMemory memory;
    memory.use_notifications = place.notifications;
    const std::array<std::string, 8> names = {"a.FIT", "b.FIT",  "c.FTS", "d.Fit",
                                              "e.FIT", ".h.FIT", "n.txt", "k.FIT"};
    std::mt19937 rng(20261209);
    const auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };
    std::string log;
    for (int step = 0; step < 600; ++step) {
        const fs::path a = watched / names[pick(names.size())];
        const fs::path b = watched / names[pick(names.size())];
        const int date = static_cast<int>(pick(40));
        std::error_code ec;
        switch (pick(11)) {
            case 0:  // a new file, or one written again from scratch
            case 1:
                write_at(a, dated(date), O_TRUNC);
                log += "write " + a.filename().string();
                break;
            case 2:  // the same bytes but the date, in place: same size, newer or older
            case 3:
                write_at(a, dated(date), 0);
                log += "rewrite " + a.filename().string();
                break;
            case 4:  // cut short, or still being written
                fs::resize_file(a, pick(3000), ec);
                log += "truncate " + a.filename().string();
                break;
            case 5:
                fs::rename(a, b, ec);
                log += "rename " + a.filename().string() + " " + b.filename().string();
                break;
            case 6:
                fs::remove(a, ec);
                log += "remove " + a.filename().string();
                break;
            case 7:  // a link: its target changes with no word about the link
                fs::remove(a, ec);
                fs::create_symlink(b.filename(), a, ec);
                log += "symlink " + a.filename().string() + " " + b.filename().string();
                break;
            case 8:  // a second name for the same file
                fs::remove(a, ec);
                fs::create_hard_link(b, a, ec);
                log += "hard link " + a.filename().string() + " " + b.filename().string();
                break;
            case 9:  // unreadable (unless running as root), or no file at all
                if (pick(2) == 0) {
                    ::chmod(a.c_str(), 0);
                } else {
                    fs::remove(a, ec);
                    ::mkfifo(a.c_str(), 0644);
                }
                log += "unreadable " + a.filename().string();
                break;
            default:
                ::chmod(a.c_str(), 0644);
                log += "readable " + a.filename().string();
                break;
        }
        log += "; ";
        if (log.size() > 400) log.erase(0, log.find("; ", log.size() - 400) + 2);  // the last steps
        std::string full_last = "none", remembered_last = "none", date_card;
        const std::string full = newest_fits_name(watched.string(), full_last);
        const std::string remembered =
            remembered_newest_fits_name(memory, watched.string(), remembered_last, date_card);
        ASSERT_EQ(remembered, full) << "step " << step << ": " << log;
        ASSERT_EQ(remembered_last, full_last) << "step " << step << ": " << log;
        if (!full.empty()) {  // the chosen file's greatest DATE-OBS card, as the scan read it
            std::string scratch;
            const HeaderScan chosen =
                scan_header_dates(ReadOnlyFile::open_folder(watched), full.c_str(), scratch);
            EXPECT_EQ(date_card, std::string(chosen.best_card.data(), kCardBytes));
        } else {
            EXPECT_EQ(date_card, "");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Places, RememberedScan,
                         ::testing::Values(Place{"local_notified", false, true},
                                           Place{"local_listed", false, false},
                                           Place{"fuse", true, true}),
                         [](const ::testing::TestParamInfo<Place>& row) {
                             return std::string(row.param.label);
                         });

// On a share the old images are asked about between ticks: a change made behind the mount
// (as by another computer) is found by its tick, then the answers are the full scan's.
struct ShareChange {
    const char* label;
    bool lapsed;       // the kernel's entries of the names lapsed before the change
    const char* name;  // written in place over an old image, or a new one
    int by_tick;       // the tick after the change by which it is the newest image
};

class ShareChanges : public ::testing::TestWithParam<ShareChange> {};

TEST_P(ShareChanges, FoundByTheirTickThenAsTheFullScan) {
    const ShareChange& change = GetParam();
    TempDir dir;
    const fs::path source = dir.path() / "night";
    fs::create_directories(source);
    // 100 old images, stamped well before the newest: more than the tick asks about itself.
    for (int n = 0; n < 100; ++n)
        write_at(source / ("old_" + std::to_string(100 + n) + ".FIT"), dated(n), O_TRUNC);
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    write_at(source / "recent.FIT", dated(200), O_TRUNC);
    const fs::path watched = dir.path() / "mount";
    BindfsMount mount(source, watched);
    if (!mount.mounted()) GTEST_SKIP() << "no FUSE here: bindfs or /dev/fuse is missing";

    FolderMemory memory;
    std::string last = "none", date_card;
    const auto tick = [&] {
        return remembered_newest_fits_name(memory, watched.string(), last, date_card);
    };
    ASSERT_EQ(tick(), "recent.FIT");  // reads everything, then the old images are asked about
    ASSERT_EQ(tick(), "recent.FIT");
    if (change.lapsed) std::this_thread::sleep_for(std::chrono::seconds(2));
    write_at(source / change.name, dated(300), 0);
    int found = 0;
    for (int t = 1; t <= change.by_tick && found == 0; ++t)
        if (tick() == change.name) found = t;
    EXPECT_NE(found, 0) << change.name << " not the newest by tick " << change.by_tick;
    tick();
    std::string full_last = "none";
    EXPECT_EQ(tick(), newest_fits_name(watched.string(), full_last));
    EXPECT_EQ(last, full_last);
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, ShareChanges,
    ::testing::Values(ShareChange{"new_image_at_the_next_tick", false, "new.FIT", 1},
                      ShareChange{"old_image_rewritten_by_the_second", false, "old_110.FIT", 2},
                      ShareChange{"old_image_rewritten_after_caches_lapsed", true, "old_110.FIT",
                                  2}),
    [](const ::testing::TestParamInfo<ShareChange>& row) { return std::string(row.param.label); });

}  // namespace
}  // namespace trakora
