// SPDX-License-Identifier: MIT
// The page in a real browser: trakora-cli watch follows a simulated night with --serve,
// the page's "Turn the azimuth knob" is pressed once the session offers it, and headless
// Chromium, running the page's own script, shows the error and the knob target to go.
// Its pictures at a phone's size and a desktop's go to the test's folder, or to
// TRAKORA_SCREENSHOT_DIR when set (docs/screenshots/web-*.png are made so). Skipped where
// Chromium is not installed.
#include <gtest/gtest.h>
#include <signal.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/fits_files.hpp"
#include "support/http_client.hpp"
#include "support/run_program.hpp"

namespace {

namespace fs = std::filesystem;
using trakora::testing::http_get;
using trakora::testing::http_post;
using trakora::testing::run_cli;
using trakora::testing::run_program;

constexpr const char* kToken = "chromium-test-token";
constexpr int kImages = 24;

QJsonObject state_of(std::uint16_t port) {
    return QJsonDocument::fromJson(
               QByteArray::fromStdString(http_get(port, "/api/state", kToken).body))
        .object();
}

// Asks until `done` holds (a bounded number of times); the last answer.
template <typename Done>
QJsonObject state_until(std::uint16_t port, Done done) {
    QJsonObject state;
    for (int attempt = 0; attempt < 600 && !done(state = state_of(port)); ++attempt)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return state;
}

struct Shot {
    const char* name;
    const char* size;
};

TEST(PageInChromium, ShowsTheErrorAndTheKnobTarget) {
    if (run_program({"chromium", "--version"}).status != 0)
        GTEST_SKIP() << "chromium is not installed (scripts/deps.sh installs it)";
    trakora::testing::TempDir dir;
    const auto simulated = run_cli(
        {"simulate", dir.file("camera").string(), "--count", std::to_string(kImages), "--interval",
         "30", "--clock", "simulated", "--size", "300x300", "--az-offset", "6", "--dec", "10"});
    ASSERT_EQ(simulated.status, 0) << simulated.err;
    std::vector<fs::path> images(fs::directory_iterator(dir.file("camera")), {});
    std::sort(images.begin(), images.end());
    fs::create_directory(dir.file("night"));
    const auto arrive = [&](const fs::path& from) {
        fs::copy_file(from, dir.file("night.part"));
        fs::rename(dir.file("night.part"), dir.file("night") / from.filename());
    };
    arrive(images[0]);
    const char* shots_dir = std::getenv("TRAKORA_SCREENSHOT_DIR");
    const fs::path shots = shots_dir ? fs::path(shots_dir) : dir.path();
    const std::uint16_t port = trakora::testing::free_port();
    const std::string url =
        "http://127.0.0.1:" + std::to_string(port) + "/?token=" + std::string(kToken);
    QJsonObject state;
    int turned = 0;
    trakora::testing::ProgramRun dom;
    const auto watch = run_cli(
        {"watch", "night", "--pick", "auto", "--interval", "0.2", "--angle", "0", "--serve",
         std::to_string(port), "--token", kToken},
        {.folder = dir.path(), .while_running = [&](pid_t pid) {
             for (std::size_t k = 1; k <= images.size(); ++k) {
                 if (k > 1) arrive(images[k - 1]);
                 state_until(port, [k](const QJsonObject& s) {
                     return s["summary"].toObject()["images"].toInt() == static_cast<int>(k);
                 });
             }
             turned = http_post(port, "/api/action/turn-azimuth", kToken).status;
             state = state_until(port,
                                 [](const QJsonObject& s) { return s["knob_target"].isObject(); });
             const std::vector<std::string> chromium = {
                 "chromium",
                 "--headless",
                 "--no-sandbox",
                 "--disable-gpu",
                 "--hide-scrollbars",
                 "--user-data-dir=" + dir.file("profile").string(),
                 "--virtual-time-budget=5000"};
             auto with = [&](std::vector<std::string> more) {
                 more.insert(more.begin(), chromium.begin(), chromium.end());
                 more.push_back(url);
                 return run_program(more, {.limit = std::chrono::seconds(90)});
             };
             dom = with({"--dump-dom"});
             for (const Shot& shot :
                  {Shot{"web-phone", "360,740"}, Shot{"web-desktop", "1280,800"}})
                 with({"--screenshot=" + (shots / (std::string(shot.name) + ".png")).string(),
                       std::string("--window-size=") + shot.size});
             ::kill(pid, SIGTERM);
         }});
    EXPECT_EQ(watch.signal, SIGTERM) << watch.err;
    ASSERT_EQ(turned, 202) << watch.err;
    const QJsonObject summary = state["summary"].toObject();
    const QJsonObject knob = state["knob_target"].toObject();
    ASSERT_TRUE(summary["error_arcmin"].isDouble());
    const std::string error =
        QString::number(summary["error_arcmin"].toDouble(), 'f', 1).toStdString();
    const std::string to_go =
        "to go " + QString::number(knob["to_go_px"].toDouble(), 'f', 1).toStdString() + " px";
    EXPECT_NE(dom.out.find("<div id=\"error\">" + error + " ± "), std::string::npos) << dom.out;
    EXPECT_NE(dom.out.find(to_go), std::string::npos) << dom.out;
    EXPECT_NE(dom.out.find("Turning the azimuth knob"), std::string::npos) << dom.out;
    for (const char* name : {"web-phone.png", "web-desktop.png"})
        EXPECT_GT(fs::exists(shots / name) ? fs::file_size(shots / name) : 0, 1000u) << name;
}

}  // namespace
