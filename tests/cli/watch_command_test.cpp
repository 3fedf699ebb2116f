// SPDX-License-Identifier: MIT
// trakora-cli watch on a simulated night, end to end: it picks a star by itself, writes
// the assistant's state once per tick, serves the same answer to the page with its token,
// takes the page's "new segment" as the drift window's button, and ends on SIGTERM as the
// signal ends a program, after a clean stop.
#include <gtest/gtest.h>
#include <signal.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/commands.hpp"
#include "support/fits_files.hpp"
#include "support/http_client.hpp"
#include "support/run_program.hpp"

namespace trakora::cli {
namespace {

using trakora::testing::http_get;
using trakora::testing::http_post;
using trakora::testing::TempDir;
namespace fs = std::filesystem;

constexpr int kImages = 6;
constexpr const char* kToken = "watch-test-token";

QJsonObject json_of(const std::string& text) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

// Asks /api/state until `done` holds for it (a bounded number of times); the last answer.
template <typename Done>
QJsonObject state_until(std::uint16_t port, Done done) {
    QJsonObject state;
    for (int attempt = 0; attempt < 1200; ++attempt) {
        const auto reply = http_get(port, "/api/state", kToken);
        if (reply.status == 200 && done(state = json_of(reply.body))) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return state;
}

struct WatchRow {
    const char* name;
    bool serve;
};

class WatchCommand : public ::testing::TestWithParam<WatchRow> {};

TEST_P(WatchCommand, FollowsTheNightUntilSigterm) {
    const WatchRow& row = GetParam();
    TempDir dir;
    const auto simulated = trakora::testing::run_in_process(
        run_simulate, {dir.file("camera").string(), "--count", std::to_string(kImages),
                       "--interval", "30", "--clock", "simulated", "--size", "300x300"});
    ASSERT_EQ(simulated.status, 0) << simulated.err;
    // The images arrive one by one, each whole under its name, as a camera writes them.
    std::vector<fs::path> images;
    for (const auto& entry : fs::directory_iterator(dir.file("camera"))) images.push_back(entry);
    std::sort(images.begin(), images.end());
    ASSERT_EQ(images.size(), static_cast<std::size_t>(kImages));
    fs::create_directory(dir.file("night"));
    const auto arrive = [&](int k) {
        const fs::path& from = images[static_cast<std::size_t>(k)];
        const fs::path to = dir.file("night") / from.filename();
        fs::copy_file(from, to.string() + ".part");
        fs::rename(to.string() + ".part", to);
    };
    arrive(0);
    const std::uint16_t port = trakora::testing::free_port();
    // North typed, so that the summary gives the error's way as the driver's event does.
    std::vector<std::string> args = {"watch",      "night", "--pick",  "auto",
                                     "--interval", "0.2",   "--angle", "0"};
    if (row.serve)
        args.insert(args.end(), {"--serve", "127.0.0.1:" + std::to_string(port), "--token", kToken,
                                 "--lang", "ja"});
    QJsonObject state;
    int unauthorised = 0, queued = 0;
    const auto run = trakora::testing::run_cli(
        args, {.folder = dir.path(), .while_running = [&](pid_t pid) {
                   if (row.serve) {
                       for (int k = 1; k <= kImages; ++k) {
                           if (k > 1) arrive(k - 1);
                           state = state_until(port, [k](const QJsonObject& s) {
                               return s["summary"].toObject()["images"].toInt() == k;
                           });
                       }
                       unauthorised = http_get(port, "/api/state", "").status;
                       queued = http_post(port, "/api/action/new-segment", kToken).status;
                       state = state_until(port, [](const QJsonObject& s) {
                           return s["segment_requested"].toString() == "knob_turned";
                       });
                   }
                   ::kill(pid, SIGTERM);
               }});
    EXPECT_EQ(run.signal, SIGTERM) << run.err;
    EXPECT_FALSE(run.timed_out);
    std::vector<QJsonObject> lines;
    std::istringstream out(run.out);
    for (std::string line; std::getline(out, line);) {
        lines.push_back(json_of(line));
        EXPECT_EQ(lines.back()["event"].toString(), "assistant") << line;
    }
    if (!row.serve) return;  // stopped at once: whatever was written is whole lines
    EXPECT_NE(run.err.find("?token=" + std::string(kToken)), std::string::npos) << run.err;
    EXPECT_EQ(unauthorised, 401);
    EXPECT_EQ(queued, 202);
    EXPECT_EQ(state["lang"].toString(), "ja");
    EXPECT_FALSE(state["advice"].toObject()["text"].toString().isEmpty());
    ASSERT_FALSE(lines.empty());
    // The page's summary is the session's, as the last tick wrote it.
    const QJsonObject summary = state["summary"].toObject();
    const QJsonObject& last = lines.back();
    EXPECT_EQ(last["images"].toInt(), kImages);
    for (const QString& key : last.keys()) {
        if (key == "event" || key == "segments") continue;
        EXPECT_EQ(summary[key], last[key]) << key.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, WatchCommand,
                         ::testing::Values(WatchRow{"served", true}, WatchRow{"alone", false}),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace trakora::cli
