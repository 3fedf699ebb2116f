// SPDX-License-Identifier: MIT
// The object window: the rendered colours on screen, presses in drawing coordinates,
// lines that stay, and a fresh look at every showing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QScreen>
#include <vector>

#include "base/image_buffer.hpp"
#include "core/view.hpp"
#include "ui/crosshair_icon.hpp"
#include "ui/main_window.hpp"
#include "ui/qt_view.hpp"

namespace trakora::ui {
namespace {

// A test image whose every pixel has its own colour: red = column, green = row,
// blue = 7. Rows are `stride` values apart with junk in the gap.
struct TestImage {
    int width, height, stride;
    std::vector<std::uint32_t> colours;
    TestImage(int w, int h, int extra = 3) : width(w), height(h), stride(w + extra) {
        colours.assign(static_cast<std::size_t>(stride) * h, 0xFF123456u);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) colours[y * stride + x] = kOpaque | rgb(x, y, 7);
    }
    PictureImage picture() const { return {colours.data(), width, height, stride}; }
};

struct Press {
    std::int16_t button = -1, shift = -1;
    float x = -1, y = -1;
};

class ObjectWindowTest : public ::testing::Test {
  protected:
    ObjectWindowTest() : window_(QDir::currentPath()), view_(window_) {
        QObject::connect(&picture(), &ObjectPicture::pressed,
                         [this](std::int16_t b, std::int16_t s, float x, float y) {
                             presses_.push_back({b, s, x, y});
                         });
    }

    ObjectPicture& picture() { return view_.object_window().picture(); }

    void press(QPointF at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers = {}) {
        QMouseEvent event(QEvent::MouseButtonPress, at, picture().mapToGlobal(at), button, button,
                          modifiers);
        QApplication::sendEvent(&picture(), &event);
    }

    MainWindow window_;
    QtView view_;
    std::vector<Press> presses_;
};

TEST_F(ObjectWindowTest, ShowsEveryImagePixelOnItsOwnScreenPixel) {
    const TestImage image(40, 30);
    view_.open_object_window("star_0001.fit", 40, 30, image.picture());
    ASSERT_TRUE(view_.object_window_open());
    EXPECT_EQ(view_.object_window().windowTitle(), QStringLiteral("star_0001.fit"));
    EXPECT_EQ(picture().size(), QSize(40, 30));
    EXPECT_EQ(view_.object_window().size(), QSize(40, 30));
    const QImage shown = picture().grab().toImage();
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(shown.pixelColor(x, y), QColor(x, y, 7)) << "pixel " << x << "," << y;
}

struct PressCase {
    const char* name;
    double px, py;  // position on the widget, logical pixels
    Qt::MouseButton button;
    Qt::KeyboardModifiers modifiers;
    double scale_w, scale_h;
    std::int16_t want_button, want_shift;
    float want_x, want_y;
};

class PressMapping : public ObjectWindowTest, public ::testing::WithParamInterface<PressCase> {};

TEST_P(PressMapping, ReportsButtonKeysAndDrawingPosition) {
    const PressCase& c = GetParam();
    const TestImage image(40, 30);
    view_.open_object_window("a.fit", c.scale_w, c.scale_h, image.picture());
    press({c.px, c.py}, c.button, c.modifiers);
    ASSERT_EQ(presses_.size(), 1u) << c.name;
    EXPECT_EQ(presses_[0].button, c.want_button) << c.name;
    EXPECT_EQ(presses_[0].shift, c.want_shift) << c.name;
    EXPECT_FLOAT_EQ(presses_[0].x, c.want_x) << c.name;
    EXPECT_FLOAT_EQ(presses_[0].y, c.want_y) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PressMapping,
    ::testing::Values(
        PressCase{"left on pixel 12,7", 12, 7, Qt::LeftButton, {}, 40, 30, 1, 0, 12, 7},
        PressCase{
            "inside a pixel names the pixel", 12.5, 7.75, Qt::LeftButton, {}, 40, 30, 1, 0, 12, 7},
        PressCase{"right", 3, 4, Qt::RightButton, {}, 40, 30, 2, 0, 3, 4},
        PressCase{"middle", 3, 4, Qt::MiddleButton, {}, 40, 30, 4, 0, 3, 4},
        PressCase{"shift", 3, 4, Qt::LeftButton, Qt::ShiftModifier, 40, 30, 1, 1, 3, 4},
        PressCase{"ctrl alt", 3, 4, Qt::LeftButton, Qt::ControlModifier | Qt::AltModifier, 40, 30,
                  1, 6, 3, 4},
        PressCase{"scale twice the pixels", 10, 6, Qt::LeftButton, {}, 80, 60, 1, 0, 20, 12}),
    [](const ::testing::TestParamInfo<PressCase>& row) {
        std::string name = row.param.name;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

TEST_F(ObjectWindowTest, LinesAreOnePixelAndStay) {
    const TestImage image(40, 30);
    view_.open_object_window("a.fit", 40, 30, image.picture());
    view_.draw_object_line(0, 9.5f, 40, 9.5f, rgb(255, 255, 255));
    view_.draw_object_line(20, 0, 20, 30, rgb(255, 0, 0));
    const QImage& surface = picture().surface();
    for (int x = 0; x < 40; ++x) {
        if (x == 20) continue;
        ASSERT_EQ(surface.pixelColor(x, 9), QColor(255, 255, 255)) << "column " << x;
        ASSERT_EQ(surface.pixelColor(x, 8), QColor(x, 8, 7)) << "column " << x;
        ASSERT_EQ(surface.pixelColor(x, 10), QColor(x, 10, 7)) << "column " << x;
    }
    for (int y = 0; y < 30; ++y)
        ASSERT_EQ(surface.pixelColor(20, y), QColor(255, 0, 0)) << "row " << y;
    EXPECT_EQ(surface.pixelColor(19, 3), QColor(19, 3, 7));
    // What is on screen is the surface, lines included.
    EXPECT_EQ(picture().grab().toImage().pixelColor(5, 9), QColor(255, 255, 255));
}

TEST_F(ObjectWindowTest, EveryShowingLooksNew) {
    const TestImage first(40, 30);
    view_.open_object_window("first.fit", 40, 30, first.picture());
    view_.draw_object_line(0, 5, 40, 5, rgb(255, 0, 0));
    const TestImage second(24, 18);
    view_.open_object_window("second.fit", 24, 18, second.picture());
    EXPECT_EQ(view_.object_window().windowTitle(), QStringLiteral("second.fit"));
    EXPECT_EQ(picture().size(), QSize(24, 18));
    EXPECT_DOUBLE_EQ(view_.object_scale_width(), 24);
    EXPECT_DOUBLE_EQ(view_.object_scale_height(), 18);
    EXPECT_EQ(picture().surface().pixelColor(3, 5), QColor(3, 5, 7)) << "an earlier line survived";
}

TEST_F(ObjectWindowTest, ClosedWindowIsNotOpenAndTakesNoLines) {
    EXPECT_FALSE(view_.object_window_open());
    EXPECT_EQ(view_.object_scale_width(), 0);
    const TestImage image(10, 10);
    view_.open_object_window("a.fit", 10, 10, image.picture());
    view_.object_window().close();  // as the user does
    EXPECT_FALSE(view_.object_window_open());
    EXPECT_EQ(view_.object_scale_height(), 0);
    view_.draw_object_line(0, 2, 10, 2, rgb(255, 0, 0));
    EXPECT_EQ(picture().surface().pixelColor(4, 2), QColor(4, 2, 7));
    view_.open_object_window("b.fit", 10, 10, image.picture());
    EXPECT_TRUE(view_.object_window_open());
    view_.close_object_window();
    EXPECT_FALSE(view_.object_window_open());
    view_.close_object_window();  // closing a closed window does nothing
}

TEST_F(ObjectWindowTest, ShowingDoesNotTakeTheFocus) {
    EXPECT_TRUE(view_.object_window().testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(view_.object_window().windowIcon().isNull());
    EXPECT_EQ(picture().cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(picture().cursor().hotSpot(), QPoint(kCrosshairHotSpot, kCrosshairHotSpot));
}

TEST_F(ObjectWindowTest, ImageLargerThanTheScreenScrolls) {
    const QSize room = view_.object_window().screen()->availableGeometry().size();
    const TestImage image(room.width() + 200, 50, 0);
    view_.open_object_window("wide.fit", image.width, 50, image.picture());
    EXPECT_EQ(picture().width(), image.width);
    EXPECT_LE(view_.object_window().width(), room.width());
}

TEST_F(ObjectWindowTest, BusyPointerComesBackOnce) {
    view_.set_busy_pointer(true);
    view_.set_busy_pointer(true);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    view_.set_busy_pointer(false);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    view_.set_busy_pointer(false);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace trakora::ui
