// SPDX-License-Identifier: MIT
// Fuzzes newest-image detection with a folder of a few files cut from the input.
//
// The input is a list of records: one byte that picks the entry's name and kind, two
// bytes (little-endian) of length, then that many bytes of content (the rest of the input
// when it is shorter). Kinds are a file, a symbolic link to the previous entry (to itself
// for the first, a loop) and a directory. The choice is checked against a plain reading
// of the same folder: the candidate names in byte order, each file's cards up to END (at
// most 500), the greatest DATE-OBS card, the first name winning a tie.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "core/handlers.hpp"
#include "core/state.hpp"
#include "core/view.hpp"
#include "scratch_folder.hpp"
#include "windowless/windowless_view.hpp"

namespace {

using namespace trakora;
using fuzz::fail;
namespace fs = std::filesystem;

constexpr std::size_t kCard = 80;
constexpr int kMaxEntries = 6;
constexpr std::array<const char*, 8> kNames = {"a.FIT", "b.FTS",  "c.Fit",  "d.Fts",
                                               "e.fit", "OUTFIT", ".h.FIT", "FI"};

// Only the folder box matters to the routine; everything else is inert.
using FolderView = WindowlessView;

void make_entries(const fs::path& folder, const std::uint8_t* data, std::size_t size) {
    std::string previous;
    std::size_t at = 0;
    for (int entry = 0; entry < kMaxEntries && at + 3 <= size; ++entry) {
        const std::uint8_t pick = data[at];
        const std::size_t length =
            std::min<std::size_t>(data[at + 1] | (data[at + 2] << 8), size - at - 3);
        at += 3;
        const std::string name = kNames[pick % kNames.size()];
        const fs::path path = folder / name;
        std::error_code ignored;
        fs::remove_all(path, ignored);
        switch ((pick >> 3) % 4) {
            case 2:
                if (::symlink(previous.empty() ? name.c_str() : previous.c_str(), path.c_str()) !=
                    0) {
                    fail("symlink");
                }
                break;
            case 3:
                fs::create_directory(path, ignored);
                break;
            default:
                fuzz::write_bytes(
                    path, std::string_view(reinterpret_cast<const char*>(data + at), length));
        }
        at += length;
        previous = name;
    }
}

bool fits_ending(const std::string& name) {
    if (name.size() < 3) return false;
    const std::string end = name.substr(name.size() - 3);
    return end == "Fit" || end == "FIT" || end == "FTS" || end == "Fts";
}

struct Expected {
    std::string name;
    bool read_a_card = false;
    std::string last_card;
};

Expected expected_choice(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());

    Expected out;
    std::string best_card;
    for (const std::string& name : names) {
        std::error_code error;
        if (name[0] == '.' || !fits_ending(name) || !fs::is_regular_file(folder / name, error))
            continue;
        std::ifstream in(folder / name, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        const std::size_t cards = std::min<std::size_t>(bytes.size() / kCard, kMaxHeaderCards);
        for (std::size_t i = 0; i < cards; ++i) {
            const std::string card = bytes.substr(i * kCard, kCard);
            out.read_a_card = true;
            out.last_card = card;
            if (card.starts_with("DATE-OBS") && card > best_card) {
                best_card = card;
                out.name = name;
            }
            if (card.starts_with("END")) break;
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::ScratchFolder folder;
    static State* state = new State();
    State& s = *state;

    folder.empty();
    make_entries(folder.path(), data, size);
    FolderView view(folder.path().string());
    const std::string untouched = "(no card read)";
    s.header_cards[1] = untouched;
    new_fits_file_name(s, view);

    const Expected expected = expected_choice(folder.path());
    if (s.fits_file_name != expected.name) {
        fail("chose '" + s.fits_file_name + "', expected '" + expected.name + "'");
    }
    const std::string& last = expected.read_a_card ? expected.last_card : untouched;
    if (s.header_cards[1] != last) fail("header_cards[1] is not the last card read");
    return 0;
}
