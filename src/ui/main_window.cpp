// SPDX-License-Identifier: MIT
#include "ui/main_window.hpp"

namespace trakora::ui {

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Trakora ver1.00"));
    setFixedSize(406, 415);
}

}  // namespace trakora::ui
