// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QDir>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>

#include "chart/japanese_font.hpp"
#include "ui/main_window.hpp"
#include "ui/ui_fonts.hpp"

namespace trakora::ui {
namespace {

struct Placement {
    const char* name;
    int left, top, width, height;
    const char* text;  // nullptr where the control shows no fixed text
};

class ControlPlacement : public ::testing::TestWithParam<Placement> {};

TEST_P(ControlPlacement, SitsWhereTheLayoutSays) {
    const Placement& p = GetParam();
    MainWindow window(QDir::currentPath());
    auto* control = window.findChild<QWidget*>(QString::fromLatin1(p.name));
    ASSERT_NE(control, nullptr) << p.name;
    EXPECT_EQ(control->geometry(), QRect(p.left, p.top, p.width, p.height)) << p.name;
    if (p.text == nullptr) return;
    const QString expected = QString::fromUtf8(p.text);
    if (auto* label = qobject_cast<QLabel*>(control)) {
        EXPECT_EQ(label->text(), expected) << p.name;
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        EXPECT_EQ(button->text(), expected) << p.name;
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        EXPECT_EQ(edit->text(), expected) << p.name;
    } else {
        ADD_FAILURE() << p.name << " has no text";
    }
}

INSTANTIATE_TEST_SUITE_P(Form1, ControlPlacement,
                         ::testing::Values(Placement{"Drive1", 8, 40, 393, 20, nullptr},
                                           Placement{"Dir1", 8, 64, 393, 118, nullptr},
                                           Placement{"Text1", 120, 8, 281, 25, ""},
                                           Placement{"Label1", 8, 16, 121, 17, "CCD画像フォルダー"},
                                           Placement{"Command1", 88, 192, 73, 49, "Start"},
                                           Placement{"Command2", 168, 192, 73, 49, "Stop"},
                                           Placement{"Picture1", 8, 248, 393, 161, nullptr},
                                           Placement{"Label2", 256, 192, 73, 17, "インターバル"},
                                           Placement{"Text2", 328, 184, 33, 25, "5"},
                                           Placement{"Label3", 368, 192, 25, 17, "秒"},
                                           Placement{"Command3", 8, 192, 73, 49, "objec setting"},
                                           Placement{"Text3", 328, 216, 57, 25, "50"},
                                           Placement{"Label4", 256, 224, 65, 17, "最大測定数"}),
                         [](const ::testing::TestParamInfo<Placement>& row) {
                             return std::string(row.param.name);
                         });

TEST(MainWindow, IsAFixedWindowWithItsCaptionAndIcon) {
    MainWindow window(QDir::currentPath());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Trakora ver1.00"));
    EXPECT_EQ(window.minimumSize(), QSize(406, 415));
    EXPECT_EQ(window.maximumSize(), QSize(406, 415));
    EXPECT_FALSE(window.windowIcon().isNull());
}

TEST(MainWindow, ResultLabelLiesInsideThePlotClientArea) {
    MainWindow window(QDir::currentPath());
    const Form1Controls& c = window.controls();
    ASSERT_EQ(c.label5->parentWidget(), c.picture1);
    EXPECT_EQ(c.label5->geometry(),
              QRect(c.picture1->client_origin() + QPoint(8, 8), QSize(121, 17)));
    EXPECT_TRUE(c.label5->text().isEmpty());
}

TEST(MainWindow, FieldsAndResultUseTheJapaneseFontAtTheirSizes) {
    MainWindow window(QDir::currentPath());
    const Form1Controls& c = window.controls();
    const QString family = chart::japanese_font_family();
    ASSERT_FALSE(family.isEmpty()) << "no font with Japanese glyphs installed";
    struct Row {
        const char* name;
        QWidget* widget;
        double points;
    };
    for (const Row& row :
         {Row{"Text2", c.text2, 12}, Row{"Text3", c.text3, 12}, Row{"Label5", c.label5, 14.25}}) {
        const QFont font = row.widget->font();
        EXPECT_EQ(QFontInfo(font).family(), family) << row.name;
        EXPECT_DOUBLE_EQ(font.pointSizeF(), row.points) << row.name;
        EXPECT_EQ(font.weight(), QFont::Normal) << row.name;
        EXPECT_FALSE(font.italic() || font.underline() || font.strikeOut()) << row.name;
    }
}

TEST(MainWindow, TabVisitsTheFocusableControlsInLayoutOrder) {
    MainWindow window(QDir::currentPath());
    const Form1Controls& c = window.controls();
    const std::vector<QWidget*> expected = {c.drive1,   c.dir1,  c.text1,    c.command1, c.command2,
                                            c.picture1, c.text2, c.command3, c.text3};
    std::vector<QWidget*> visited;
    QWidget* w = c.drive1;
    do {
        if (std::find(expected.begin(), expected.end(), w) != expected.end()) visited.push_back(w);
        w = w->nextInFocusChain();
    } while (w != c.drive1 && visited.size() < 2 * expected.size());
    EXPECT_EQ(visited, expected);
    for (QWidget* label : {static_cast<QWidget*>(c.label1), static_cast<QWidget*>(c.label5)}) {
        EXPECT_EQ(label->focusPolicy(), Qt::NoFocus) << label->objectName().toStdString();
    }
    EXPECT_TRUE(c.picture1->focusPolicy() & Qt::TabFocus);
}

TEST(MainWindow, TimerStartsOffWithFiveSeconds) {
    MainWindow window(QDir::currentPath());
    const PollTimer& timer = *window.controls().timer1;
    EXPECT_FALSE(timer.enabled());
    EXPECT_FALSE(timer.running());
    EXPECT_EQ(timer.interval(), 5000);
}

TEST(MainWindow, PlotStartsBlank) {
    MainWindow window(QDir::currentPath());
    const PlotPicture& plot = *window.controls().picture1;
    const QImage& surface = plot.surface();
    EXPECT_EQ(surface.size(), plot.contentsRect().size());
    for (int y = 0; y < surface.height(); ++y) {
        for (int x = 0; x < surface.width(); ++x) {
            ASSERT_EQ(surface.pixelColor(x, y), plot.background()) << "pixel " << x << "," << y;
        }
    }
}

TEST(FolderLists, StartAtTheGivenFolder) {
    MainWindow window(QDir::tempPath());
    const Form1Controls& c = window.controls();
    EXPECT_EQ(c.dir1->path(), QDir(QDir::tempPath()).absolutePath());
    EXPECT_FALSE(c.drive1->selected_root().isEmpty());
    EXPECT_TRUE(c.dir1->path().startsWith(c.drive1->selected_root()));
}

}  // namespace
}  // namespace trakora::ui
