// SPDX-License-Identifier: MIT
// Hostile names and folders: whatever the watched folder holds or becomes, a tick and
// the object setting end in the program's own messages or skip the entry; nothing
// crashes and nothing waits forever (a FIFO opened for reading would wait for a writer).
//
// Steps that could hang run first in a forked child with an alarm, so a regression shows
// as a failed test naming the step instead of a stuck test run; once they are known to
// return they run again in the test process for the state checks.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "arrival/newest_image.hpp"
#include "core/handlers.hpp"
#include "core/messages.hpp"
#include "night.hpp"
#include "support/recording_view.hpp"

namespace trakora {
namespace {

namespace fs = std::filesystem;
using testing::RecordingView;
using testing::TempDir;
using Events = std::vector<std::string>;

constexpr unsigned kHangSeconds = 30;

// Runs `step` in a child process and returns what it returned, or nothing when the child
// did not come back within kHangSeconds (or died).
std::optional<std::string> run_guarded(const std::function<std::string()>& step) {
    int fds[2];
    if (::pipe(fds) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        ::alarm(kHangSeconds);
        const std::string out = step();
        const ssize_t written = ::write(fds[1], out.data(), out.size());
        ::_exit(written == static_cast<ssize_t>(out.size()) ? 0 : 1);
    }
    ::close(fds[1]);
    std::string out;
    char buf[512];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        out.append(buf, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return out;
}

bool running_as_root() { return ::geteuid() == 0; }

class HostileFolder : public ::testing::Test {
  protected:
    HostileFolder() : view(dir.path().string()) {
        form1::Form_Load(s, view);
        view.take();
    }

    void put_star(const std::string& name, int minute, int sx = 30, int sy = 20) {
        testing::write_file(dir.file(name),
                            testing::star_image(sx, sy, testing::night_date(minute)));
    }

    // Object setting on the newest image and a pick on its star, then Start.
    void pick_and_start(int x, int y) {
        form1::Command3_Click(s, view);
        form4::Picture1_MouseDown(s, view, 1, 0, static_cast<float>(x), static_cast<float>(y));
        form1::Command1_Click(s, view);
        ASSERT_TRUE(view.timer_enabled());
        view.take();
    }

    std::string newest_guarded() {
        return run_guarded([this] {
                   new_fits_file_name(s, view);
                   return s.fits_file_name;
               })
            .value_or("<hung or crashed>");
    }

    TempDir dir;
    State s;
    RecordingView view;
};

// ---- Names --------------------------------------------------------------------------

struct NameRow {
    const char* label;
    std::string name;
};

class HostileName : public HostileFolder, public ::testing::WithParamInterface<NameRow> {};

TEST_P(HostileName, IsChosenShownAndMeasuredLikeAnyOther) {
    const std::string& name = GetParam().name;
    put_star("old.FIT", 0, 10, 10);
    put_star(name, 1);
    form1::Command3_Click(s, view);
    EXPECT_EQ(s.fits_file_name, name);
    EXPECT_EQ(view.take(), Events{"object_window " + name + " 64x48"});

    form4::Picture1_MouseDown(s, view, 1, 0, 30, 20);
    form1::Command1_Click(s, view);
    view.take();
    form1::Timer1_Timer(s, view);
    const Events events = view.take();
    EXPECT_NE(std::find(events.begin(), events.end(), "object_window " + name + " 64x48"),
              events.end())
        << ::testing::PrintToString(events);
    EXPECT_EQ(s.measurements[2], s.measurements[1]);  // the same image, the same star
    for (const std::string& e : events) EXPECT_NE(e.rfind("message", 0), 0u) << e;
}

INSTANTIATE_TEST_SUITE_P(
    Names, HostileName,
    ::testing::Values(NameRow{"blanks", "  star with  blanks .FIT"},
                      NameRow{"utf8", "オリオン座 α Ori.FIT"},
                      NameRow{"invalid_utf8", "\xff\xfe\x80star\xc3.FIT"},
                      NameRow{"longest", std::string(251, 'n') + ".FIT"},
                      NameRow{"control_characters", "tab\there\nnew line\x01.FTS"},
                      NameRow{"quotes_backslash", "a\"b\\c'd.Fit"},
                      NameRow{"leading_dash", "-rf.Fts"}),
    [](const ::testing::TestParamInfo<NameRow>& row) { return std::string(row.param.label); });

// ---- Entries that are not ordinary files ------------------------------------------

struct EntryRow {
    const char* label;
    // Makes the entry `name` in `folder`.
    std::function<void(const fs::path& folder, const std::string& name)> make;
};

class HostileEntry : public HostileFolder, public ::testing::WithParamInterface<EntryRow> {};

// The entry is listed before and after the good image, so it is met whatever the order.
TEST_P(HostileEntry, IsSkippedByTheTickAndRejectedByTheReader) {
    put_star("m.FIT", 0);
    pick_and_start(30, 20);
    for (const char* name : {"0special.FIT", "zspecial.FTS"}) GetParam().make(dir.path(), name);

    ASSERT_EQ(newest_guarded(), "m.FIT");
    const auto tick = run_guarded([this] {
        form1::Timer1_Timer(s, view);
        return std::string("ticked");
    });
    ASSERT_EQ(tick, std::optional<std::string>("ticked")) << "the tick hung or crashed";
    form1::Timer1_Timer(s, view);
    EXPECT_EQ(s.fits_file_name, "m.FIT");
    EXPECT_EQ(s.measurements[2], s.measurements[1]);
    for (const std::string& e : view.take()) EXPECT_NE(e.rfind("message", 0), 0u) << e;

    // Named directly (as the driver can), the reader turns it away with its message.
    for (const char* name : {"0special.FIT", "zspecial.FTS"}) {
        const auto read = run_guarded([this, name] {
            s.fits_file_name = name;
            return std::to_string(read_fits_image(s, view));
        });
        ASSERT_EQ(read, std::optional<std::string>("-1"))
            << name << ": the reader hung, crashed or read it";
        s.fits_file_name = name;
        EXPECT_EQ(read_fits_image(s, view), -1);
        const Events events = view.take();
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].rfind(std::string("message ") + name, 0), 0u) << events[0];
    }
}

void make_fifo(const fs::path& folder, const std::string& name) {
    ASSERT_EQ(::mkfifo((folder / name).c_str(), 0644), 0) << std::strerror(errno);
}

void make_socket(const fs::path& folder, const std::string& name) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = (folder / name).string();
    ASSERT_LT(path.size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0)
        << std::strerror(errno);
    ::close(fd);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, HostileEntry,
    ::testing::Values(EntryRow{"directory",
                               [](const fs::path& folder, const std::string& name) {
                                   fs::create_directory(folder / name);
                                   testing::write_file(folder / name / "inside.FIT",
                                                       testing::star_image(1, 1, "2099-01-01"));
                               }},
                      EntryRow{"fifo", make_fifo},
                      EntryRow{"link_to_fifo",
                               [](const fs::path& folder, const std::string& name) {
                                   make_fifo(folder, "." + name + ".fifo");
                                   fs::create_symlink("." + name + ".fifo", folder / name);
                               }},
                      EntryRow{"socket", make_socket},
                      EntryRow{"link_to_itself",
                               [](const fs::path& folder, const std::string& name) {
                                   fs::create_symlink(name, folder / name);
                               }},
                      EntryRow{"link_loop_of_two",
                               [](const fs::path& folder, const std::string& name) {
                                   fs::create_symlink(name + ".b", folder / name);
                                   fs::create_symlink(name, folder / (name + ".b"));
                               }},
                      EntryRow{"dangling_link",
                               [](const fs::path& folder, const std::string& name) {
                                   fs::create_symlink("nowhere/at/all.FIT", folder / name);
                               }},
                      EntryRow{"link_to_directory",
                               [](const fs::path& folder, const std::string& name) {
                                   fs::create_directory_symlink("/", folder / name);
                               }},
                      EntryRow{"link_to_device",
                               [](const fs::path& folder, const std::string& name) {
                                   fs::create_symlink("/dev/zero", folder / name);
                               }}),
    [](const ::testing::TestParamInfo<EntryRow>& row) { return std::string(row.param.label); });

// ---- Headers that never end --------------------------------------------------------------

// A FIFO that replaces a listed file between the listing and the scan: the scan of that
// one name must come back at once, not wait for a writer.
TEST_F(HostileFolder, HeaderScanOfAFifoReturns) {
    make_fifo(dir.path(), "pipe.FIT");
    const auto scan = run_guarded([this] {
        const ReadOnlyFile folder = ReadOnlyFile::open_folder(dir.path());
        std::string last;
        const HeaderScan result = scan_header_dates(folder, "pipe.FIT", last);
        return std::string(result.readable ? "readable" : "skipped");
    });
    EXPECT_EQ(scan, std::optional<std::string>("skipped"));
}

// No header beyond card 500 can be read as an image, so the scan stops there: a date
// past it does not count, and a huge file without END costs no more than a header.
TEST_F(HostileFolder, ScanStopsWhereAnImageHeaderMustHaveEnded) {
    std::string cards;
    for (int i = 1; i <= 509; ++i)
        cards += testing::padded_card("COMMENT card " + std::to_string(i));
    cards += testing::fits_card("DATE-OBS", "'2099-01-01'");
    testing::write_file(dir.file("long.FIT"), cards + testing::padded_card("END"));
    put_star("m.FIT", 0);
    ASSERT_EQ(newest_guarded(), "m.FIT");
    new_fits_file_name(s, view);
    EXPECT_EQ(s.header_cards[1], testing::padded_card("END"));  // m.FIT is scanned last

    // A terabyte of nothing (sparse, so it takes no room) named like an image, newer by name.
    const fs::path huge = dir.file("zz_sparse.FIT");
    testing::write_file(huge, testing::fits_card("DATE-OBS", "'2099-01-01'"));
    std::error_code error;
    fs::resize_file(huge, std::uintmax_t{1} << 40, error);
    if (error) GTEST_SKIP() << "no sparse terabyte file here: " << error.message();
    ASSERT_EQ(newest_guarded(), "zz_sparse.FIT");
    new_fits_file_name(s, view);
    EXPECT_EQ(s.header_cards[1], std::string(80, '\0'));  // card 500, the last one looked at
    EXPECT_EQ(read_fits_image(s, view), -1);              // and the reader turns it away
}

// ---- The folder itself ----------------------------------------------------------------

TEST_F(HostileFolder, FolderRemovedWhileWatchedThenBack) {
    put_star("m.FIT", 0);
    pick_and_start(30, 20);
    const auto series = s.measurements;

    fs::remove_all(dir.path());
    form1::Timer1_Timer(s, view);
    form1::Command3_Click(s, view);
    EXPECT_EQ(view.take(), (Events{std::string("message ") + messages::kNoFitsFile,
                                   std::string("message ") + messages::kNoFitsFile}));
    EXPECT_EQ(s.measurements, series);

    // A file now stands where the folder was.
    testing::write_file(dir.path(), testing::star_image(30, 20, "2099-01-01"));
    form1::Timer1_Timer(s, view);
    EXPECT_EQ(view.take(), Events{std::string("message ") + messages::kNoFitsFile});
    fs::remove(dir.path());

    // The camera program makes the folder again: measuring goes on.
    fs::create_directory(dir.path());
    put_star("m2.FIT", 1);
    form1::Timer1_Timer(s, view);
    EXPECT_EQ(s.fits_file_name, "m2.FIT");
    EXPECT_EQ(s.measurements[2], s.measurements[1]);
}

TEST_F(HostileFolder, NewestFileRemovedBetweenChoiceAndRead) {
    put_star("m.FIT", 0);
    pick_and_start(30, 20);
    const auto series = s.measurements;
    // The capture program deletes the file the tick has just chosen.
    new_fits_file_name(s, view);
    fs::remove(dir.file("m.FIT"));
    EXPECT_EQ(read_fits_image(s, view), -1);
    const Events events = view.take();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].rfind("message m.FIT", 0), 0u) << events[0];
    EXPECT_EQ(s.measurements, series);
}

TEST_F(HostileFolder, FolderWithoutReadPermission) {
    put_star("m.FIT", 0);
    pick_and_start(30, 20);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0), 0);
    const std::string chosen = newest_guarded();
    if (chosen != "<hung or crashed>") form1::Timer1_Timer(s, view);
    const Events events = view.take();
    ::chmod(dir.path().c_str(), 0700);
    ASSERT_NE(chosen, "<hung or crashed>");
    if (running_as_root()) {
        // Permissions do not bind root: the folder reads as before.
        EXPECT_EQ(chosen, "m.FIT");
        GTEST_SKIP() << "running as root: a folder cannot be made unreadable";
    }
    EXPECT_EQ(chosen, "");
    EXPECT_EQ(events, Events{std::string("message ") + messages::kNoFitsFile});
}

TEST_F(HostileFolder, UnreadableNewestFileIsSkipped) {
    put_star("m.FIT", 0);
    pick_and_start(30, 20);
    put_star("n.FIT", 1, 32, 21);
    ASSERT_EQ(::chmod(dir.file("n.FIT").c_str(), 0), 0);
    form1::Timer1_Timer(s, view);
    for (const std::string& e : view.take()) EXPECT_NE(e.rfind("message", 0), 0u) << e;
    if (running_as_root()) GTEST_SKIP() << "running as root: a file cannot be made unreadable";
    EXPECT_EQ(s.fits_file_name, "m.FIT");
    EXPECT_EQ(s.measurements[2], s.measurements[1]);
}

TEST_F(HostileFolder, FolderBoxNamingNoFolder) {
    put_star("m.FIT", 0);
    for (const std::string& text :
         {std::string(), dir.file("m.FIT").string(), std::string("/nonexistent/x"),
          std::string(5000, 'x'), std::string("\xff\xfe")}) {
        view.type_text(TextField::Folder, text);
        form1::Command3_Click(s, view);
        EXPECT_EQ(view.take(), Events{std::string("message ") + messages::kNoFitsFile}) << text;
    }
}

}  // namespace
}  // namespace trakora
