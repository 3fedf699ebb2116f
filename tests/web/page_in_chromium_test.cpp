// SPDX-License-Identifier: MIT
// The page in a real browser: trakora-cli watch serves a simulated night, the page's knob
// button is pressed once offered, and headless Chromium, running the page's script, shows
// the error and the knob target. Its pictures at a phone's and a desktop's size go to
// TRAKORA_SCREENSHOT_DIR when set (docs/screenshots/web-*.png). Skipped without Chromium.
#include <gtest/gtest.h>
#include <signal.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

#include "support/fits_files.hpp"
#include "support/http_client.hpp"
#include "support/run_program.hpp"

namespace {

namespace fs = std::filesystem;
using trakora::testing::run_cli;
using trakora::testing::run_program;
constexpr const char* kToken = "chromium-test-token";

// Asks /api/state until `done` holds for it (a bounded number of times); the last answer.
QJsonObject state_until(std::uint16_t port, const std::function<bool(const QJsonObject&)>& done) {
    QJsonObject s;
    for (int attempt = 0; attempt < 600 && !done(s); ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const std::string body = trakora::testing::http_get(port, "/api/state", kToken).body;
        s = QJsonDocument::fromJson(QByteArray::fromStdString(body)).object();
    }
    return s;
}

TEST(PageInChromium, ShowsTheErrorAndTheKnobTarget) {
    if (run_program({"chromium", "--version"}).status != 0)
        GTEST_SKIP() << "chromium is not installed (scripts/deps.sh installs it)";
    trakora::testing::TempDir dir;
    ASSERT_EQ(
        run_cli({"simulate", dir.file("camera").string(), "--count", "24", "--interval", "30",
                 "--clock", "simulated", "--size", "300x300", "--az-offset", "6", "--dec", "10"})
            .status,
        0);
    std::vector<fs::path> images(fs::directory_iterator(dir.file("camera")), {});
    std::sort(images.begin(), images.end());
    fs::create_directory(dir.file("night"));
    const char* shots_dir = std::getenv("TRAKORA_SCREENSHOT_DIR");
    const fs::path shots = shots_dir ? fs::path(shots_dir) : dir.path();
    const std::uint16_t port = trakora::testing::free_port();
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/?token=" + kToken;
    QJsonObject state;
    std::string dom;
    const auto watch = run_cli(
        {"watch", "night", "--pick", "auto", "--interval", "0.2", "--angle", "0", "--serve",
         std::to_string(port), "--token", kToken},
        {.folder = dir.path(), .while_running = [&](pid_t pid) {
             // The images arrive one by one, each whole under its name, as a camera writes.
             for (std::size_t k = 0; k < images.size(); ++k) {
                 fs::copy_file(images[k], dir.file("part"));
                 fs::rename(dir.file("part"), dir.file("night") / images[k].filename());
                 state_until(port, [k](const QJsonObject& s) {
                     return s["summary"].toObject()["images"].toInt() == static_cast<int>(k) + 1;
                 });
             }
             trakora::testing::http_post(port, "/api/action/turn-azimuth", kToken);
             state = state_until(port,
                                 [](const QJsonObject& s) { return s["knob_target"].isObject(); });
             const auto chromium = [&](const std::string& what, const std::string& size) {
                 return run_program({"chromium", "--headless", "--no-sandbox", "--disable-gpu",
                                     "--hide-scrollbars", "--virtual-time-budget=5000",
                                     "--user-data-dir=" + dir.file("profile").string(), what,
                                     "--window-size=" + size, url});
             };
             dom = chromium("--dump-dom", "360,740").out;
             chromium("--screenshot=" + (shots / "web-phone.png").string(), "360,740");
             chromium("--screenshot=" + (shots / "web-desktop.png").string(), "1280,800");
             ::kill(pid, SIGTERM);
         }});
    EXPECT_EQ(watch.signal, SIGTERM) << watch.err;
    ASSERT_TRUE(state["knob_target"].isObject()) << watch.err;
    const auto fixed = [](const QJsonValue& v) { return QString::number(v.toDouble(), 'f', 1); };
    const QString error = fixed(state["summary"].toObject()["error_arcmin"]);
    const QString to_go = fixed(state["knob_target"].toObject()["to_go_px"]);
    EXPECT_NE(dom.find("<div id=\"error\">" + error.toStdString() + " ± "), std::string::npos)
        << dom;
    EXPECT_NE(dom.find("to go " + to_go.toStdString() + " px"), std::string::npos) << dom;
    EXPECT_NE(dom.find("Turning the azimuth knob"), std::string::npos) << dom;
}

}  // namespace
