// SPDX-License-Identifier: MIT
// Test helpers for the desktop windows: a wired-up program and a hand that answers
// message boxes.
#pragma once

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/handlers.hpp"
#include "core/state.hpp"
#include "support/fits_files.hpp"
#include "ui/handler_wiring.hpp"
#include "ui/language.hpp"
#include "ui/main_window.hpp"
#include "ui/qt_view.hpp"

namespace trakora::ui::testing {

// A message box as the user saw it.
struct SeenBox {
    std::string title;
    std::string text;
    bool has_icon = false;
    int buttons = 0;
};

// Presses OK on every modal message box that opens while it lives, after noting it.
class BoxAnswerer {
  public:
    BoxAnswerer() {
        poll_.setInterval(5);
        QObject::connect(&poll_, &QTimer::timeout, [this] { answer(); });
        poll_.start();
    }
    const std::vector<SeenBox>& seen() const { return seen_; }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const SeenBox& b : seen_) out.push_back(b.text);
        return out;
    }

  private:
    void answer() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        seen_.push_back({box->windowTitle().toStdString(), box->text().toStdString(),
                         box->icon() != QMessageBox::NoIcon,
                         static_cast<int>(box->buttons().size())});
        box->button(QMessageBox::Ok)->click();
    }

    QTimer poll_;
    std::vector<SeenBox> seen_;
};

// Shows every text made while it lives in English, as `trakora --lang en` does.
class InEnglish {
  public:
    InEnglish() : translator_(translator_for(Language::english)) {
        if (translator_) QCoreApplication::installTranslator(translator_.get());
    }
    bool loaded() const { return translator_ != nullptr; }

  private:
    std::unique_ptr<QTranslator> translator_;  // removes itself from the application
};

// Runs the event loop until `done` holds; fails the test if that takes absurdly long
// (a watchdog against hangs, not a timing check).
inline bool spin_until(const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done()) loop.quit();
    });
    check.start(2);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    bool timed_out = false;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        timed_out = true;
        loop.quit();
    });
    watchdog.start(30000);
    if (!done()) loop.exec();
    return !timed_out;
}

// The whole desktop program on a folder of the test's own, loaded as at start-up. The
// working directory is put back afterwards, since scanning a folder changes it.
class Program {
  public:
    Program()
        : saved_cwd_(std::filesystem::current_path()),
          state_(std::make_unique<State>()),
          form1_(QString::fromStdString(folder_.path().string())),
          view_(form1_) {
        wire_handlers(*state_, view_);
        form1::Form_Load(*state_, view_);
    }
    ~Program() { std::filesystem::current_path(saved_cwd_); }

    State& state() { return *state_; }
    QtView& view() { return view_; }
    MainWindow& form1() { return form1_; }
    const Form1Controls& controls() const { return form1_.controls(); }
    const trakora::testing::TempDir& folder() const { return folder_; }

  private:
    trakora::testing::TempDir folder_;
    std::filesystem::path saved_cwd_;
    std::unique_ptr<State> state_;
    MainWindow form1_;
    QtView view_;
};

}  // namespace trakora::ui::testing
