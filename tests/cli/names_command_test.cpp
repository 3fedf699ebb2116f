// SPDX-License-Identifier: MIT
// The driver's `names` command: which names count as images from then on. It prints no
// event; a bad argument is an error like any other.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/script_driver.hpp"
#include "support/fits_files.hpp"

namespace trakora::cli {
namespace {

struct NamesRow {
    const char* label;
    std::vector<std::string> commands;  // before `call new_fits_file_name`
    std::string newest;                 // fits_file_name afterwards
    std::string output;                 // what the commands printed
};

class NamesCommand : public ::testing::TestWithParam<NamesRow> {};

TEST_P(NamesCommand, ChoosesTheRuleOfCandidates) {
    const NamesRow& row = GetParam();
    testing::TempDir dir;
    for (const auto& [name, minute] : {std::pair{"a.FIT", 0}, {"b.fits", 1}, {"c.FITS", 2}}) {
        testing::write_file(
            dir.file(name),
            testing::fits_header({testing::fits_card(
                "DATE-OBS", "'2026-12-09T01:0" + std::to_string(minute) + ":00'")}));
    }
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* out = ::open_memstream(&text, &size);
    ASSERT_NE(out, nullptr);
    auto state = std::make_unique<State>();
    {
        ScriptView view(out, dir.path().string(), "/");
        ScriptSession session{*state, view, dir.path().string()};
        start_session(session);
        std::fflush(out);
        const std::size_t start = size;
        for (const std::string& line : row.commands) run_command(session, line);
        run_command(session, "call new_fits_file_name");
        std::fflush(out);
        EXPECT_EQ(std::string(text + start, size - start), row.output);
        EXPECT_EQ(session.had_error, !row.output.empty());
    }
    std::fclose(out);
    std::free(text);
    EXPECT_EQ(state->fits_file_name, row.newest);
}

const std::string kBadNames = "{\"event\":\"error\",\"text\":\"names needs any or specified\"}\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, NamesCommand,
    ::testing::Values(
        NamesRow{"usual_rule_by_default", {}, "a.FIT", ""},
        NamesRow{"any", {"names any"}, "c.FITS", ""},
        NamesRow{"back_to_specified", {"names any", "names specified"}, "a.FIT", ""},
        NamesRow{"unknown_rule", {"names lower"}, "a.FIT", kBadNames},
        NamesRow{"unknown_rule_keeps_the_rule", {"names any", "names ANY"}, "c.FITS", kBadNames},
        NamesRow{"no_rule", {"names"}, "a.FIT", kBadNames},
        NamesRow{"two_rules", {"names any specified"}, "a.FIT", kBadNames}),
    [](const auto& row) { return std::string(row.param.label); });

}  // namespace
}  // namespace trakora::cli
