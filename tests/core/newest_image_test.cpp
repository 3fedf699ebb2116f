// SPDX-License-Identifier: MIT
// Choosing the newest image of the folder by its DATE-OBS card.
#include "arrival/newest_image.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/handlers.hpp"
#include "support/fits_files.hpp"
#include "support/recording_view.hpp"

namespace trakora {
namespace {

using testing::fits_card;
using testing::fits_header;
using testing::padded_card;
using testing::TempDir;
using testing::write_file;

std::string dated(const std::string& date) {
    return fits_header({fits_card("DATE-OBS", "'" + date + "'")});
}

class Newest : public ::testing::Test {
  protected:
    std::string newest() {
        testing::RecordingView view;
        view.type_text(TextField::Folder, dir.path().string());
        new_fits_file_name(s, view);
        EXPECT_TRUE(view.events.empty());  // the routine itself shows nothing
        return s.fits_file_name;
    }
    void put(const std::string& name, const std::string& bytes) {
        write_file(dir.file(name), bytes);
    }
    TempDir dir;
    State s;
};

TEST_F(Newest, EndingsDecideWhichFilesAreRead) {
    put("a.FIT", dated("2002-10-05T20:00:00"));
    put("b.fts", dated("2002-10-05T23:00:00"));  // lower case: never a candidate
    put("c.FTS", dated("2002-10-05T20:05:00"));
    EXPECT_EQ(newest(), "c.FTS");

    for (const char* name : {"d.fits", "e.FITS", "f.fit", "g.fTs"}) put(name, dated("2099-01-01"));
    EXPECT_EQ(newest(), "c.FTS");
    put("OUTFIT", dated("2003-01-01"));  // no dot needed
    EXPECT_EQ(newest(), "OUTFIT");
    put("h.Fit", dated("2004-01-01"));
    EXPECT_EQ(newest(), "h.Fit");
    put("i.Fts", dated("2005-01-01"));
    EXPECT_EQ(newest(), "i.Fts");
    put("FIT", dated("2006-01-01"));  // three characters: the whole name
    EXPECT_EQ(newest(), "FIT");
}

TEST_F(Newest, TheWiderNameRuleAddsLowerCaseExtensions) {
    put("a.FIT", dated("2002-10-05T20:00:00"));
    put("b.fits", dated("2002-10-05T20:01:00"));
    put(".c.fits", dated("2002-10-05T20:02:00"));  // hidden: never a candidate
    EXPECT_EQ(newest(), "a.FIT");
    s.name_rule = NameRule::any;
    EXPECT_EQ(newest(), "b.fits");
    put("d.fit", dated("2002-10-05T20:03:00"));
    EXPECT_EQ(newest(), "d.fit");
    put("OUTFIT", dated("2002-10-05T20:04:00"));  // the usual endings still count
    EXPECT_EQ(newest(), "OUTFIT");
    s.name_rule = NameRule::specified;
    put("e.fts", dated("2002-10-05T20:05:00"));
    EXPECT_EQ(newest(), "OUTFIT");
}

TEST_F(Newest, NothingQualifies) {
    EXPECT_EQ(newest(), "");
    put("only.fits", dated("2002-10-05"));
    put("nodate.FIT", fits_header({fits_card("BITPIX", "16")}));
    put("T", "x");
    put("FI", dated("2002-10-05"));  // names shorter than three characters are skipped
    EXPECT_EQ(newest(), "");
}

TEST_F(Newest, TiesGoToTheFirstNameInByteOrder) {
    put("b.FIT", dated("2002-10-05T20:00:00"));
    put("B.FIT", dated("2002-10-05T20:00:00"));
    put("a.FIT", dated("2002-10-05T19:00:00"));
    EXPECT_EQ(newest(), "B.FIT");  // "B" sorts before "b"
}

TEST_F(Newest, CardsCompareWholeAndTheGreatestOfAFileCounts) {
    put("a.FIT", fits_header({fits_card("DATE-OBS", "'2002-10-05'"),
                              fits_card("DATE-OBS", "'2002-10-07'")}));
    put("b.FIT", dated("2002-10-06"));
    EXPECT_EQ(newest(), "a.FIT");
    // The card text decides, not the time it names: day first sorts by day.
    put("c.FIT", fits_header({padded_card("DATE-OBS= '31/12/01'")}));
    EXPECT_EQ(newest(), "c.FIT");
    // A blank before the quote makes the same date a smaller text.
    put("d.FIT", fits_header({padded_card("DATE-OBS=  '31/12/01'")}));
    EXPECT_EQ(newest(), "c.FIT");
}

TEST_F(Newest, EndStopsTheScan) {
    // A keyword that merely starts with END ends the header too.
    put("a.FIT", fits_header({padded_card("ENDTIME = 5"), fits_card("DATE-OBS", "'2099-01-01'")}));
    put("b.FIT", dated("2002-01-01"));
    EXPECT_EQ(newest(), "b.FIT");
}

TEST_F(Newest, FileWithoutEndIsReadToItsLastWholeCard) {
    // Three cards and a short tail: the card cut by the tail is not read.
    std::string bytes =
        fits_card("SIMPLE", "T") + fits_card("DATE-OBS", "'2002-01-02'") + fits_card("X", "1");
    bytes += fits_card("DATE-OBS", "'2099-01-01'").substr(0, 79);
    put("a.FIT", bytes);
    put("b.FIT", dated("2002-01-01"));
    EXPECT_EQ(newest(), "a.FIT");
    put("c.FIT", dated("2002-01-03"));
    EXPECT_EQ(newest(), "c.FIT");
    // Cards beyond the first block are read too.
    std::vector<std::string> cards(40, fits_card("COMMENT", "", "filler"));
    cards.push_back(fits_card("DATE-OBS", "'2002-01-04'"));
    put("d.FIT", fits_header(cards));
    EXPECT_EQ(newest(), "d.FIT");
}

TEST_F(Newest, HiddenFoldersLinksAndUnreadableFiles) {
    put("a.FIT", dated("2002-01-01"));
    put(".hidden.FIT", dated("2099-01-01"));
    std::filesystem::create_directory(dir.file("dir.FIT"));
    EXPECT_EQ(newest(), "a.FIT");

    // Links are followed; a dangling one is not a file.
    TempDir other;
    write_file(other.file("x.dat"), dated("2003-01-01"));
    std::filesystem::create_symlink(other.file("x.dat"), dir.file("link.FIT"));
    std::filesystem::create_symlink(other.file("gone"), dir.file("dangling.FIT"));
    EXPECT_EQ(newest(), "link.FIT");

    put("z.FIT", dated("2004-01-01"));
    ::chmod(dir.file("z.FIT").c_str(), 0);
    if (::access(dir.file("z.FIT").c_str(), R_OK) != 0) {  // root reads it anyway
        EXPECT_EQ(newest(), "link.FIT");
    }
}

TEST_F(Newest, FolderMissingOrEmptyText) {
    put("a.FIT", dated("2002-01-01"));
    testing::RecordingView view;
    view.type_text(TextField::Folder, "");
    new_fits_file_name(s, view);
    EXPECT_EQ(s.fits_file_name, "");
    view.type_text(TextField::Folder, (dir.path() / "missing").string());
    new_fits_file_name(s, view);
    EXPECT_EQ(s.fits_file_name, "");
    // The process's current directory is never changed.
    const auto cwd = std::filesystem::current_path();
    EXPECT_EQ(newest(), "a.FIT");
    EXPECT_EQ(std::filesystem::current_path(), cwd);
}

TEST_F(Newest, TheLastCardReadIsKeptInSlotOne) {
    put("a.FIT", dated("2002-01-01"));
    newest();
    EXPECT_EQ(s.header_cards[1].substr(0, 3), "END");
    EXPECT_EQ(s.header_cards[1].size(), 80u);
}

}  // namespace
}  // namespace trakora
