// SPDX-License-Identifier: MIT
#include "ui/object_window.hpp"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "ui/crosshair_icon.hpp"
#include "ui/picture_drawing.hpp"

namespace trakora::ui {

namespace {

std::int16_t button_code(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return 1;
        case Qt::RightButton:
            return 2;
        case Qt::MiddleButton:
            return 4;
        default:
            return 0;
    }
}

std::int16_t shift_code(Qt::KeyboardModifiers modifiers) {
    std::int16_t code = 0;
    if (modifiers & Qt::ShiftModifier) code += 1;
    if (modifiers & Qt::ControlModifier) code += 2;
    if (modifiers & Qt::AltModifier) code += 4;
    return code;
}

// The colour values are r + 256 g + 65536 b; the screen's format is 0xFFRRGGBB.
void convert_colours(const std::uint32_t* in, int count, std::uint32_t* out) {
    for (int x = 0; x < count; ++x) {
        const std::uint32_t v = in[x];
        out[x] = 0xFF000000u | ((v & 0xFFu) << 16) | (v & 0xFF00u) | ((v >> 16) & 0xFFu);
    }
}

}  // namespace

ObjectPicture::ObjectPicture(QWidget* parent) : QWidget(parent) {
    setCursor(crosshair_cursor());
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ObjectPicture::show_image(const PictureImage& image, double scale_width, double scale_height) {
    const bool usable = image.colours != nullptr && image.width > 0 && image.height > 0;
    image_ = usable ? image : PictureImage{};
    lines_.clear();
    surface_ = QImage();
    surface_current_ = false;
    scale_width_ = scale_width;
    scale_height_ = scale_height;
    setFixedSize(QSize(image_.width, image_.height).expandedTo(QSize(1, 1)));
    update();
}

void ObjectPicture::draw_line(double x1, double y1, double x2, double y2, QColor colour) {
    if (image_.colours == nullptr || scale_width_ == 0 || scale_height_ == 0) return;
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return;
    const int w = image_.width;
    const int h = image_.height;
    const QPoint from(device_pixel(x1, scale_width_, w), device_pixel(y1, scale_height_, h));
    const QPoint to(device_pixel(x2, scale_width_, w), device_pixel(y2, scale_height_, h));
    lines_.push_back({from, to, colour});
    if (surface_current_) draw_pixel_line(surface_, from, to, 1, colour);
    update(QRect(from, to).normalized().adjusted(-1, -1, 1, 1));
}

const QImage& ObjectPicture::surface() const {
    if (!surface_current_) {
        surface_ = QImage();
        if (image_.colours != nullptr) {
            surface_ = QImage(image_.width, image_.height, QImage::Format_RGB32);
            compose(QRect(0, 0, image_.width, image_.height), surface_);
        }
        surface_current_ = true;
    }
    return surface_;
}

void ObjectPicture::compose(const QRect& area, QImage& out) const {
    for (int y = 0; y < area.height(); ++y) {
        const std::uint32_t* row =
            image_.colours + static_cast<std::size_t>(area.top() + y) * image_.stride + area.left();
        convert_colours(row, area.width(), reinterpret_cast<std::uint32_t*>(out.scanLine(y)));
    }
    const QPoint origin = area.topLeft();
    for (const Line& line : lines_) {
        const QRect reach = QRect(line.from, line.to).normalized();
        if (!reach.intersects(area)) continue;
        draw_pixel_line(out, line.from - origin, line.to - origin, 1, line.colour);
    }
}

QPointF ObjectPicture::drawing_position(QPointF widget_position) const {
    const int w = std::max(width(), 1);
    const int h = std::max(height(), 1);
    return {std::floor(widget_position.x()) * scale_width_ / w,
            std::floor(widget_position.y()) * scale_height_ / h};
}

void ObjectPicture::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect image_area(0, 0, image_.width, image_.height);
    for (const QRect& rect : event->region()) {
        const QRect inside = rect & image_area;
        if (inside != rect) painter.fillRect(rect, palette().color(QPalette::Window));
        if (inside.isEmpty()) continue;
        if (surface_current_) {
            painter.drawImage(inside.topLeft(), surface_, inside);
            continue;
        }
        if (tile_.width() < inside.width() || tile_.height() < inside.height())
            tile_ = QImage(inside.size().expandedTo(tile_.size()), QImage::Format_RGB32);
        QImage part(tile_.bits(), inside.width(), inside.height(),
                    static_cast<qsizetype>(tile_.bytesPerLine()), QImage::Format_RGB32);
        compose(inside, part);
        painter.drawImage(inside.topLeft(), part);
    }
}

void ObjectPicture::mousePressEvent(QMouseEvent* event) {
    const std::int16_t button = button_code(event->button());
    if (button == 0) return;
    const QPointF at = drawing_position(event->position());
    emit pressed(button, shift_code(event->modifiers()), static_cast<float>(at.x()),
                 static_cast<float>(at.y()));
}

ObjectWindow::ObjectWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Form4"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(false);
    scroll_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture_ = new ObjectPicture;
    picture_->setObjectName(QStringLiteral("Picture1"));
    scroll_->setWidget(picture_);
    resize(632, 456);
}

void ObjectWindow::open(const QString& title, double scale_width, double scale_height,
                        const PictureImage& image) {
    setWindowTitle(title);
    picture_->show_image(image, scale_width, scale_height);
    scroll_->horizontalScrollBar()->setValue(0);
    scroll_->verticalScrollBar()->setValue(0);
    fit_to_screen();
    if (!placed_) {
        placed_ = true;
        place_beside_neighbour();
    }
    show();
    // Brought up only while the user is on the main window or on none of the program's:
    // never over another window in use, nor closing its open menu or drop-down.
    const QWidget* active = QApplication::activeWindow();
    if (QApplication::activePopupWidget() == nullptr &&
        (active == nullptr || active == this || active == neighbour_))
        raise();
}

void ObjectWindow::place_beside_neighbour() {
    if (neighbour_ == nullptr || !neighbour_->isVisible() || neighbour_->screen() == nullptr)
        return;
    const QRect room = neighbour_->screen()->availableGeometry();
    const QPoint at(neighbour_->frameGeometry().right() + 8, neighbour_->frameGeometry().top());
    if (at.x() + width() <= room.right()) move(at);
}

void ObjectWindow::fit_to_screen() {
    const QSize wanted = picture_->size();
    QScreen* on = screen();
    QSize room = on != nullptr ? on->availableGeometry().size() : wanted;
    // The frame is only known once the window manager has decorated the window.
    const QSize frame = isVisible() ? frameGeometry().size() - geometry().size() : QSize(16, 40);
    room -= frame;
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const bool scroll_across = wanted.width() > room.width();
    const bool scroll_down = wanted.height() > room.height();
    QSize client(wanted.width() + (scroll_down ? bar : 0),
                 wanted.height() + (scroll_across ? bar : 0));
    client = client.boundedTo(room).expandedTo(QSize(1, 1));
    resize(client);
}

void ObjectWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    scroll_->setGeometry(rect());
}

}  // namespace trakora::ui
