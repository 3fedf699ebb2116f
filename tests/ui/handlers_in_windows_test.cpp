// SPDX-License-Identifier: MIT
// The real handlers driven through the windows: what a user does reaches the core, and
// what the core asks for shows up in the controls.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMouseEvent>
#include <cmath>

#include "core/state.hpp"
#include "ui_fixture.hpp"

namespace trakora::ui {
namespace {

using testing::BoxAnswerer;
using testing::Program;
using testing::spin_until;
using trakora::testing::fits_card;
using trakora::testing::make_fits;
using trakora::testing::write_file;

void type_into(QLineEdit* box, const QString& text) {
    for (QChar ch : text) {
        QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(box, &key);
    }
}

void press_enter(QLineEdit* box) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(box, &key);
}

TEST(HandlersInWindows, LoadPutsTheFolderIntoText1) {
    Program program;
    EXPECT_EQ(program.controls().text1->text(), program.controls().dir1->path());
    EXPECT_EQ(program.state().max_count, 50);
}

TEST(HandlersInWindows, MessageBoxesAreTitledTrakoraWithOnlyOk) {
    Program program;
    BoxAnswerer answerer;
    program.controls().command1->click();  // Start without an object
    ASSERT_EQ(answerer.seen().size(), 1u);
    const testing::SeenBox& box = answerer.seen()[0];
    EXPECT_EQ(box.title, "Trakora");
    EXPECT_EQ(box.text, "objectを設定して下さい");
    EXPECT_FALSE(box.has_icon);
    EXPECT_EQ(box.buttons, 1);
    EXPECT_FALSE(program.controls().timer1->enabled());
}

TEST(HandlersInWindows, TypingIntoText2SetsTheIntervalKeyByKey) {
    Program program;
    QLineEdit* text2 = program.controls().text2;
    text2->clear();
    type_into(text2, QStringLiteral("1"));
    EXPECT_EQ(program.controls().timer1->interval(), 1000);
    type_into(text2, QStringLiteral("0"));
    EXPECT_EQ(program.controls().timer1->interval(), 10000);
    text2->setText(QStringLiteral("7"));  // a change made by program also counts
    EXPECT_EQ(program.controls().timer1->interval(), 7000);
}

TEST(HandlersInWindows, EnterInText3AppliesTheCount) {
    Program program;
    BoxAnswerer answerer;
    QLineEdit* text3 = program.controls().text3;
    text3->clear();
    type_into(text3, QStringLiteral("301"));
    EXPECT_TRUE(answerer.seen().empty()) << "characters other than Enter say nothing";
    press_enter(text3);
    EXPECT_EQ(answerer.texts(), std::vector<std::string>{"300以下にして下さい"});
    EXPECT_EQ(text3->text(), QStringLiteral("300"));
    EXPECT_EQ(program.state().max_count, 300);
}

TEST(HandlersInWindows, OpeningASubfolderUpdatesText1) {
    Program program;
    const auto sub = program.folder().path() / "night2";
    std::filesystem::create_directory(sub);
    FolderList* dir1 = program.controls().dir1;
    dir1->set_path(dir1->path());  // list the new folder
    const QString target = QString::fromStdString(sub.string());
    const QStringList entries = dir1->entry_paths();
    const auto row = entries.indexOf(target);
    ASSERT_GE(row, 0);
    emit dir1->itemActivated(dir1->item(static_cast<int>(row)));
    ASSERT_TRUE(spin_until([&] { return dir1->path() == target; }));
    EXPECT_EQ(program.controls().text1->text(), target);
}

// The program on an empty folder with Timer1 running every millisecond: every tick that
// runs shows "no FITS file". The view counts how many message boxes are open at once.
class TicksDuringABox : public ::testing::Test {
  protected:
    class CountingView : public QtView {
      public:
        using QtView::QtView;
        void message(const std::string& text) override {
            ++open;
            deepest = std::max(deepest, open);
            texts.push_back(text);
            QtView::message(text);
            --open;
        }
        int open = 0, deepest = 0;
        std::vector<std::string> texts;
    };

    TicksDuringABox()
        : saved_(std::filesystem::current_path()),
          state_(std::make_unique<State>()),
          form1_(QString::fromStdString(folder_.path().string())),
          view_(form1_) {
        wire_handlers(*state_, view_);
        form1::Form_Load(*state_, view_);
        QObject::connect(form1_.controls().timer1, &PollTimer::tick, [this] {
            if (view_.open > 0) ++ticks_during_box_;
        });
    }
    ~TicksDuringABox() override { std::filesystem::current_path(saved_); }

    void start_timer() {
        view_.set_polling_interval(1);
        view_.set_polling_enabled(true);
    }

    // Closes the open box once `ready` says so, stopping the timer first so that no
    // later tick opens another; returns false if that never happened.
    bool close_box_when(const std::function<bool()>& ready) {
        bool closed = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !ready()) return;
            view_.set_polling_enabled(false);
            box->button(QMessageBox::Ok)->click();
            closed = true;
        });
        poll.start(2);
        return spin_until([&] { return closed && view_.open == 0; });
    }

    trakora::testing::TempDir folder_;
    std::filesystem::path saved_;
    std::unique_ptr<State> state_;
    MainWindow form1_;
    CountingView view_;
    int ticks_during_box_ = 0;
};

TEST_F(TicksDuringABox, ATicksOwnBoxHoldsBackTheNextTick) {
    start_timer();
    int polls = 0;
    ASSERT_TRUE(close_box_when([&] { return ++polls >= 20; }));
    EXPECT_EQ(view_.deepest, 1);
    EXPECT_EQ(view_.texts, std::vector<std::string>{"Fitsファイルがありません"});
}

TEST_F(TicksDuringABox, TicksFallingDueUnderAnotherHandlersBoxAreDropped) {
    // Enter in Text3 confirms the count in a box; the timer is started while that box is
    // open and falls due again and again before the box is closed.
    bool pressed = false;
    QTimer::singleShot(0, [&] {
        press_enter(form1_.controls().text3);
        pressed = true;
    });
    ASSERT_TRUE(close_box_when([&] {
        if (!form1_.controls().timer1->enabled()) start_timer();
        return ticks_during_box_ >= 5;
    }));
    ASSERT_TRUE(spin_until([&] { return pressed; }));
    EXPECT_EQ(view_.deepest, 1);
    EXPECT_EQ(view_.texts, std::vector<std::string>{"最大測定数 50"});
    EXPECT_GE(ticks_during_box_, 5);
}

// A 64 x 48 image, zero but for one bright pixel.
std::string star_image(int star_x, int star_y) {
    std::vector<double> samples(64 * 48, 0);
    samples[star_y * 64 + star_x] = 30000;
    return make_fits(16, 64, 48, samples, {fits_card("DATE-OBS", "'2024-03-01T21:00:00'")});
}

TEST(HandlersInWindows, ObjectSettingAndAClickPickTheStar) {
    Program program;
    write_file(program.folder().file("star.FIT"), star_image(30, 20));
    BoxAnswerer answerer;
    program.controls().command3->click();
    EXPECT_TRUE(answerer.seen().empty()) << answerer.texts()[0];
    ASSERT_TRUE(program.view().object_window_open());
    ObjectPicture& picture = program.view().object_window().picture();
    EXPECT_EQ(program.view().object_window().windowTitle(), QStringLiteral("star.FIT"));
    EXPECT_EQ(picture.size(), QSize(64, 48));
    EXPECT_EQ(picture.surface().pixelColor(30, 20), QColor(255, 255, 255));
    EXPECT_EQ(picture.surface().pixelColor(31, 20), QColor(0, 0, 0));

    // A press two pixels beside the star: the search lands on the first 7 x 7 box that
    // holds it, three up and left of the star.
    const QPointF at(32, 20);
    QMouseEvent press(QEvent::MouseButtonPress, at, picture.mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&picture, &press);
    EXPECT_EQ(program.state().object_x, 27);
    EXPECT_EQ(program.state().object_y, 17);
    EXPECT_EQ(program.state().measurements[1][1], 17);
    // The white crosshair through the star's position times the crosshair scale.
    const double scale = program.state().crosshair_scale;
    const int row = static_cast<int>(std::floor(static_cast<float>(scale * 17)));
    const int column = static_cast<int>(std::floor(static_cast<float>(scale * 27)));
    EXPECT_EQ(picture.surface().pixelColor(5, row), QColor(255, 255, 255));
    EXPECT_EQ(picture.surface().pixelColor(column, 40), QColor(255, 255, 255));
    EXPECT_EQ(picture.surface().pixelColor(5, row + 1), QColor(0, 0, 0));
    EXPECT_EQ(picture.surface().pixelColor(5, row - 1), QColor(0, 0, 0));
}

TEST(HandlersInWindows, ClosingTheMainWindowClosesTheObjectWindow) {
    Program program;
    write_file(program.folder().file("star.FIT"), star_image(10, 10));
    BoxAnswerer answerer;
    program.controls().command3->click();
    ASSERT_TRUE(program.view().object_window_open());
    program.form1().show();
    program.form1().close();
    EXPECT_FALSE(program.view().object_window_open());
}

}  // namespace
}  // namespace trakora::ui
