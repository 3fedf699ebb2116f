// SPDX-License-Identifier: MIT
// trakora: the desktop program.
//
//   trakora [--folder PATH]
//
// The drive and folder lists start at PATH, or at the current directory without it.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

#include "core/handlers.hpp"
#include "core/state.hpp"
#include "ui/handler_wiring.hpp"
#include "ui/main_window.hpp"
#include "ui/qt_view.hpp"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("trakora"));
    // The main window's closing ends the program, even if another window is still up.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Polar alignment by star drift."));
    options.addHelpOption();
    const QCommandLineOption folder_option(QStringLiteral("folder"),
                                           QStringLiteral("Start the folder list at <path>."),
                                           QStringLiteral("path"));
    options.addOption(folder_option);
    options.process(app);

    QString folder = QDir::currentPath();
    if (options.isSet(folder_option)) {
        const QFileInfo given(options.value(folder_option));
        if (!given.isDir()) {
            std::fprintf(stderr, "trakora: not a folder: %s\n", qPrintable(given.filePath()));
            return 2;
        }
        folder = given.absoluteFilePath();
    }

    trakora::State state;
    trakora::ui::MainWindow form1(folder);
    trakora::ui::QtView view(form1);
    trakora::ui::wire_handlers(state, view);
    QObject::connect(&form1, &trakora::ui::MainWindow::closing, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    trakora::form1::Form_Load(state, view);
    form1.show();
    return QApplication::exec();
}
