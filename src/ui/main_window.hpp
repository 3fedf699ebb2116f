// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

namespace trakora::ui {

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
};

}  // namespace trakora::ui
