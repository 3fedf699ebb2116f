// SPDX-License-Identifier: MIT
// Form1: the main window with its controls at fixed positions, and Timer1. The window
// only realises the controls; what they do is decided by the handlers they are wired to.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <cstdint>

#include "ui/drive_list.hpp"
#include "ui/folder_list.hpp"
#include "ui/plot_picture.hpp"
#include "ui/poll_timer.hpp"

namespace trakora::ui {

// The controls, by their names; all owned by the window.
struct Form1Controls {
    DriveList* drive1 = nullptr;
    FolderList* dir1 = nullptr;
    QLineEdit* text1 = nullptr;
    QLabel* label1 = nullptr;
    QPushButton* command1 = nullptr;  // Start
    QPushButton* command2 = nullptr;  // Stop
    PlotPicture* picture1 = nullptr;
    QLabel* label2 = nullptr;
    QLineEdit* text2 = nullptr;
    QLabel* label3 = nullptr;
    QPushButton* command3 = nullptr;  // object setting
    QLineEdit* text3 = nullptr;
    QLabel* label4 = nullptr;
    QLabel* label5 = nullptr;  // the result, inside picture1
    PollTimer* timer1 = nullptr;
};

class MainWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kClientWidth = 406;
    static constexpr int kClientHeight = 415;

    // The drive and folder lists start at `folder`.
    explicit MainWindow(const QString& folder, QWidget* parent = nullptr);

    const Form1Controls& controls() const { return controls_; }

  signals:
    // A character key was pressed in Text3 (13 for Enter), before the box takes it. A
    // receiver that sets the code to 0 cancels the key.
    void text3KeyPressed(std::int16_t& key_ascii);
    // The window is closing; the program ends after it.
    void closing();
    // The user asked for the drift window: "ドリフト解析…" on the plot's menu, or Ctrl+D.
    void driftWindowRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void build(const QString& folder);
    void chain_tab_order();
    void offer_drift_window(const QPoint& at);

    Form1Controls controls_;
};

}  // namespace trakora::ui
