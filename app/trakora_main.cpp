// SPDX-License-Identifier: MIT
// trakora: the desktop program.
//
//   trakora [--folder PATH] [--assistant]
//
// The drive and folder lists start at PATH, or at the current directory without it;
// --assistant opens the drift window beside the main window at start. The
// command line is read before Qt starts, so --help, --version and a refused option need
// no display.
#include <QApplication>
#include <QString>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

#include "base/command_line.hpp"
#include "core/handlers.hpp"
#include "core/state.hpp"
#include "ui/handler_wiring.hpp"
#include "ui/main_window.hpp"
#include "ui/qt_view.hpp"

namespace {

namespace fs = std::filesystem;
namespace cl = trakora::command_line;

// The folder as an absolute path without "." or ".." steps or a trailing '/'.
std::string absolute_folder(std::string_view text, std::error_code& ec) {
    std::string path = fs::absolute(fs::path(text), ec).lexically_normal().string();
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder;
    bool assistant = false;
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
    };
    if (const auto status = cl::parse_or_exit(syntax, argc - 1, argv + 1)) return *status;
    if (folder.empty()) {
        std::error_code ec;
        folder = fs::current_path(ec).string();
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("trakora"));
    // The main window's closing ends the program, even if another window is still up.
    QApplication::setQuitOnLastWindowClosed(false);

    trakora::State state;
    trakora::ui::MainWindow form1(QString::fromStdString(folder));
    trakora::ui::QtView view(form1);
    trakora::ui::wire_handlers(state, view);
    QObject::connect(&form1, &trakora::ui::MainWindow::closing, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    trakora::form1::Form_Load(state, view);
    form1.show();
    if (assistant) view.drift_window().open();
    return QApplication::exec();
}
