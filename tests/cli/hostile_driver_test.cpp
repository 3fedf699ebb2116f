// SPDX-License-Identifier: MIT
// Hostile names through the driver: whatever bytes a folder or file name holds, every
// line the driver prints is one valid JSON object with valid UTF-8 strings.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "support/fits_files.hpp"
#include "support/run_program.hpp"

namespace {

namespace fs = std::filesystem;
using trakora::testing::TempDir;

// A strict JSON reader that only says whether the text is one JSON value: strings must
// be valid UTF-8 without raw control characters, escapes must be complete.
class JsonCheck {
  public:
    explicit JsonCheck(std::string_view text) : t_(text) {}

    bool one_object() {
        space();
        if (!object()) return false;
        space();
        return i_ == t_.size();
    }

  private:
    void space() {
        while (i_ < t_.size() &&
               (t_[i_] == ' ' || t_[i_] == '\t' || t_[i_] == '\n' || t_[i_] == '\r'))
            ++i_;
    }
    bool eat(char c) {
        space();
        if (i_ < t_.size() && t_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }
    bool word(std::string_view w) {
        if (t_.substr(i_, w.size()) != w) return false;
        i_ += w.size();
        return true;
    }
    bool value() {
        space();
        if (i_ >= t_.size()) return false;
        switch (t_[i_]) {
            case '{':
                return object();
            case '[':
                return array();
            case '"':
                return string();
            case 't':
                return word("true");
            case 'f':
                return word("false");
            case 'n':
                return word("null");
            default:
                return number();
        }
    }
    bool object() {
        if (!eat('{')) return false;
        if (eat('}')) return true;
        do {
            space();
            if (!string() || !eat(':') || !value()) return false;
        } while (eat(','));
        return eat('}');
    }
    bool array() {
        if (!eat('[')) return false;
        if (eat(']')) return true;
        do {
            if (!value()) return false;
        } while (eat(','));
        return eat(']');
    }
    bool digits() {
        const std::size_t start = i_;
        while (i_ < t_.size() && t_[i_] >= '0' && t_[i_] <= '9') ++i_;
        return i_ > start;
    }
    bool number() {
        if (i_ < t_.size() && t_[i_] == '-') ++i_;
        if (!digits()) return false;
        if (i_ < t_.size() && t_[i_] == '.' && (++i_, !digits())) return false;
        if (i_ < t_.size() && (t_[i_] == 'e' || t_[i_] == 'E')) {
            ++i_;
            if (i_ < t_.size() && (t_[i_] == '+' || t_[i_] == '-')) ++i_;
            if (!digits()) return false;
        }
        return true;
    }
    bool string() {
        if (i_ >= t_.size() || t_[i_] != '"') return false;
        ++i_;
        while (i_ < t_.size()) {
            const auto c = static_cast<unsigned char>(t_[i_]);
            if (c == '"') {
                ++i_;
                return true;
            }
            if (c < 0x20) return false;
            if (c == '\\') {
                ++i_;
                if (i_ >= t_.size()) return false;
                const char e = t_[i_++];
                if (e == 'u') {
                    for (int k = 0; k < 4; ++k, ++i_) {
                        if (i_ >= t_.size() || !std::isxdigit(static_cast<unsigned char>(t_[i_])))
                            return false;
                    }
                } else if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) {
                    return false;
                }
                continue;
            }
            if (!utf8_sequence()) return false;
        }
        return false;
    }
    // One UTF-8 encoded character at i_: no overlong forms, no surrogates, at most U+10FFFF.
    bool utf8_sequence() {
        const auto b = [&](std::size_t k) { return static_cast<unsigned char>(t_[i_ + k]); };
        const unsigned char c = b(0);
        std::size_t n;
        unsigned min;
        unsigned cp;
        if (c < 0x80) {
            ++i_;
            return true;
        } else if ((c & 0xE0) == 0xC0) {
            n = 2, min = 0x80, cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            n = 3, min = 0x800, cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            n = 4, min = 0x10000, cp = c & 0x07;
        } else {
            return false;
        }
        if (i_ + n > t_.size()) return false;
        for (std::size_t k = 1; k < n; ++k) {
            if ((b(k) & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (b(k) & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i_ += n;
        return true;
    }

    std::string_view t_;
    std::size_t i_ = 0;
};

TEST(JsonCheck, TellsValidFromBroken) {
    EXPECT_TRUE(JsonCheck(R"({"a":[1,-2.5e3,"x\u00e9\n"],"b":{"c":true,"d":null}})").one_object());
    EXPECT_TRUE(JsonCheck("{\"t\":\"\xe3\x82\xaa\xf0\x9f\x8c\x9f\"}").one_object());
    for (const char* broken : {"{\"t\":\"\xff\"}", "{\"t\":\"\xc3\"}", "{\"t\":\"\xc0\xaf\"}",
                               "{\"t\":\"\xed\xa0\x80\"}", "{\"t\":\"a\nb\"}", "{\"t\":\"\\x\"}",
                               "{\"t\":1.}", "{\"t\":1}x", "{\"t\" 1}", "[1]"}) {
        EXPECT_FALSE(JsonCheck(broken).one_object()) << broken;
    }
}

// Folder and file names with bytes that are not UTF-8, quotes, backslashes and control
// characters reach the output as the title, Text1 and fits_file_name.
TEST(HostileDriver, NamesThatAreNotUtf8GiveValidJson) {
    TempDir dir;
    const fs::path folder = dir.path() / "night \xff\xfe \"quoted\" back\\slash";
    fs::create_directory(folder);
    const std::vector<std::string> names = {"\xff\xfe\x80star.FIT", "half\xe3\x82.FIT",
                                            "tab\tnew\nline\x01\x7f.FIT", "\xc0\xaf-overlong.FIT",
                                            "\xed\xa0\x80-surrogate.FIT"};
    int minute = 0;
    for (const std::string& name : names) {
        char date[32];
        std::snprintf(date, sizeof date, "'2026-12-09T01:%02d:00'", minute++);
        std::vector<double> samples(16 * 12, 10.0);
        samples[5 * 16 + 7] = 900;
        trakora::testing::write_file(
            folder / name,
            trakora::testing::make_fits(16, 16, 12, samples,
                                        {trakora::testing::fits_card("DATE-OBS", date)}));
    }

    std::ostringstream script;
    script << "folder " << folder.string() << "\n"
           << "click Command3\n"
           << "mouse 1 0 7 5\n"
           << "click Command1\n"
           << "tick\n"
           << "state\n";
    // Each name read directly: the reader's own messages carry the name too.
    for (const std::string& name : names) {
        if (name.find('\n') != std::string::npos) continue;  // a command line cannot hold it
        script << "set fits_file_name " << name << "\ncall read_fits_image\n";
    }
    script << "set fits_file_name \xff-missing.FIT\ncall read_fits_image\nstate\n";
    const fs::path script_path = dir.path() / "hostile.script";
    trakora::testing::write_file(script_path, script.str());

    const trakora::testing::ProgramRun run = trakora::testing::run_cli({"script", script_path});
    EXPECT_EQ(run.status, 0) << run.out;
    std::istringstream lines(run.out);
    int count = 0;
    bool saw_title = false;
    for (std::string line; std::getline(lines, line); ++count) {
        EXPECT_TRUE(JsonCheck(line).one_object()) << "line " << count + 1 << ": " << line;
        saw_title |=
            line.find("\"event\":\"object_window\"") != std::string::npos &&
            line.find("\xef\xbf\xbd") != std::string::npos;  // U+FFFD stands in for the bad bytes
    }
    EXPECT_GT(count, 10);
    EXPECT_TRUE(saw_title) << run.out;
}

}  // namespace
