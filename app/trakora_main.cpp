// SPDX-License-Identifier: MIT
// trakora: the desktop program.
//
//   trakora [--folder PATH] [--names any|specified] [--assistant] [--lang ja|en]
//           [--serve [ADDRESS:]PORT [--token TEXT]]
//
// The drive and folder lists start at PATH, or at the current directory without it.
// --names any also takes images named .fit, .fits or .fts in any case; --assistant opens
// the drift window at start. --lang en (or TRAKORA_LANG=en) shows the windows in English;
// Japanese, as the texts are written, otherwise. --serve serves the drift session on the
// page for a phone (docs/web.md) and prints its address. The command line is read before Qt starts,
// so
// --help,
// --version and a refused option need no display.
#include <QApplication>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

#include "arrival/name_rule.hpp"
#include "base/command_line.hpp"
#include "core/handlers.hpp"
#include "core/state.hpp"
#include "ui/handler_wiring.hpp"
#include "ui/language.hpp"
#include "ui/main_window.hpp"
#include "ui/phone_page.hpp"
#include "ui/qt_view.hpp"
#include "web/serve_address.hpp"

namespace {

namespace fs = std::filesystem;
namespace cl = trakora::command_line;

// The folder as an absolute path without "." or ".." steps or a trailing '/'.
std::string absolute_folder(std::string_view text, std::error_code& ec) {
    std::string path = fs::absolute(fs::path(text), ec).lexically_normal().string();
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// Whether Qt has anywhere to show the windows: without any of these it would abort.
bool has_display() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

// The language TRAKORA_LANG names when --lang did not choose; Japanese when it is unset,
// and, with a note, when it names neither.
trakora::ui::Language language_from_environment() {
    const char* value = std::getenv("TRAKORA_LANG");
    if (value == nullptr || *value == '\0') return trakora::ui::Language::japanese;
    if (const auto language = trakora::ui::language_named(value)) return *language;
    std::fprintf(stderr, "trakora: TRAKORA_LANG=%s is neither en nor ja; showing Japanese\n",
                 value);
    return trakora::ui::Language::japanese;
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder;
    bool assistant = false;
    std::optional<trakora::ui::Language> language;
    trakora::NameRule names = trakora::NameRule::specified;
    std::optional<trakora::web::ServeAddress> serve;
    std::string token;
    cl::Syntax syntax{"trakora", "", "Polar alignment by star drift."};
    syntax.options = {
        {"folder", "PATH", "start the folder list at PATH (default: the current folder)", 1,
         [&folder](std::span<const std::string_view> v) -> cl::Refusal {
             std::error_code ec;
             folder = absolute_folder(v[0], ec);
             if (v[0].empty() || ec || !fs::is_directory(folder, ec))
                 return "not a folder: '" + std::string(v[0]) + "'";
             return std::nullopt;
         }},
        {"assistant", "", "open the drift window (ドリフト解析) at start", 0,
         [&assistant](std::span<const std::string_view>) -> cl::Refusal {
             assistant = true;
             return std::nullopt;
         }},
        {"lang", "LANG",
         "the windows' language: ja (default, as written) or en (English);\n"
         "without it, the environment variable TRAKORA_LANG",
         1,
         [&language](std::span<const std::string_view> v) -> cl::Refusal {
             language = trakora::ui::language_named(v[0]);
             if (!language) return "expected ja or en, not '" + std::string(v[0]) + "'";
             return std::nullopt;
         }},
        {"names", "RULE",
         "which names count as images: specified (default: ending in FIT,\n"
         "Fit, FTS or Fts) or any (also .fit, .fits, .fts in any case, as\n"
         "NINA, KStars/Ekos, PHD2 and most capture programs name them)",
         1,
         [&names](std::span<const std::string_view> v) -> cl::Refusal {
             const std::optional<trakora::NameRule> rule = trakora::name_rule_named(v[0]);
             if (!rule) return "expected any or specified, not '" + std::string(v[0]) + "'";
             names = *rule;
             return std::nullopt;
         }},
        {"serve", "[ADDRESS:]PORT",
         "serve the drift session's page for a phone at PORT, on this machine\n"
         "only unless an ADDRESS is given (0.0.0.0 for every network: see\n"
         "docs/web.md); its address is printed",
         1,
         [&serve](std::span<const std::string_view> v) -> cl::Refusal {
             serve = trakora::web::serve_address_from_text(v[0]);
             if (!serve) return "expected [ADDRESS:]PORT, not '" + std::string(v[0]) + "'";
             return std::nullopt;
         }},
        {"token", "TEXT", "the token every request must bring (default: 128 random bits)", 1,
         [&token](std::span<const std::string_view> v) -> cl::Refusal {
             if (!trakora::web::token_usable(v[0]))
                 return std::string(
                     "expected at least 8 characters that need no escaping in a URL");
             token = std::string(v[0]);
             return std::nullopt;
         }},
    };
    syntax.check = [&serve, &token]() -> cl::Refusal {
        if (!token.empty() && !serve) return std::string("--token needs --serve");
        return std::nullopt;
    };
    if (const auto status = cl::parse_or_exit(syntax, argc - 1, argv + 1)) return *status;
    if (folder.empty()) {
        std::error_code ec;
        folder = fs::current_path(ec).string();
    }
    if (!has_display()) {
        std::fputs(
            "trakora: no display to show the windows on (DISPLAY is not set); run it from a "
            "desktop session, or with xvfb-run\n",
            stderr);
        return 2;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("trakora"));
    // The main window's closing ends the program, even if another window is still up.
    QApplication::setQuitOnLastWindowClosed(false);
    // Before any window, which takes its texts when it is made.
    const trakora::ui::Language shown = language ? *language : language_from_environment();
    const std::unique_ptr<QTranslator> translation = trakora::ui::translator_for(shown);
    if (translation) {
        QApplication::installTranslator(translation.get());
    } else if (shown != trakora::ui::Language::japanese) {
        std::fputs("trakora: the English translation is missing; showing Japanese\n", stderr);
    }

    trakora::State state;
    state.name_rule = names;
    trakora::ui::MainWindow form1(QString::fromStdString(folder));
    trakora::ui::QtView view(form1);
    trakora::ui::wire_handlers(state, view);
    QObject::connect(&form1, &trakora::ui::MainWindow::closing, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    trakora::ui::PhonePage phone(state, view,
                                 shown == trakora::ui::Language::english ? "en" : "ja");
    if (serve) {
        std::string error;
        if (!phone.start(*serve, token, &error)) {
            std::fprintf(stderr, "trakora: %s\n", error.c_str());
            return 1;
        }
        std::printf("trakora: the page is at %s\n", phone.url().c_str());
        std::fflush(stdout);
    }

    trakora::form1::Form_Load(state, view);
    form1.show();
    if (assistant) view.drift_window().open();
    return QApplication::exec();
}
