// SPDX-License-Identifier: MIT
#include "ui/object_window.hpp"

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

// The colour values are r + 256 g + 65536 b with an opaque top byte: in memory on a
// little-endian machine that is R, G, B, X, exactly RGBX8888.
QImage copy_colours(const PictureImage& image) {
    if (image.colours == nullptr || image.width <= 0 || image.height <= 0) return {};
    QImage rgbx(image.width, image.height, QImage::Format_RGBX8888);
    for (int y = 0; y < image.height; ++y) {
        const std::uint32_t* row = image.colours + static_cast<std::size_t>(y) * image.stride;
        auto* out = reinterpret_cast<std::uint32_t*>(rgbx.scanLine(y));
        for (int x = 0; x < image.width; ++x) out[x] = row[x] | 0xFF000000u;
    }
    // The screen's own format repaints without converting on every expose.
    return rgbx.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

ObjectPicture::ObjectPicture(QWidget* parent) : QWidget(parent) {
    setCursor(crosshair_cursor());
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ObjectPicture::show_image(const PictureImage& image, double scale_width, double scale_height) {
    surface_ = copy_colours(image);
    scale_width_ = scale_width;
    scale_height_ = scale_height;
    setFixedSize(surface_.size().expandedTo(QSize(1, 1)));
    update();
}

void ObjectPicture::draw_line(double x1, double y1, double x2, double y2, QColor colour) {
    if (surface_.isNull() || scale_width_ == 0 || scale_height_ == 0) return;
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return;
    const int w = surface_.width();
    const int h = surface_.height();
    const QPoint from(device_pixel(x1, scale_width_, w), device_pixel(y1, scale_height_, h));
    const QPoint to(device_pixel(x2, scale_width_, w), device_pixel(y2, scale_height_, h));
    draw_pixel_line(surface_, from, to, 1, colour);
    update();
}

QPointF ObjectPicture::drawing_position(QPointF widget_position) const {
    const int w = std::max(width(), 1);
    const int h = std::max(height(), 1);
    return {std::floor(widget_position.x()) * scale_width_ / w,
            std::floor(widget_position.y()) * scale_height_ / h};
}

void ObjectPicture::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    painter.drawImage(event->rect().topLeft(), surface_, event->rect());
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
