// SPDX-License-Identifier: MIT
#include "ui/plot_picture.hpp"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "ui/picture_drawing.hpp"

namespace trakora::ui {

PlotPicture::PlotPicture(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
    background_ = palette().color(QPalette::Window);
    surface_ = QImage(1, 1, QImage::Format_RGB32);
    surface_.fill(background_);
}

const QImage& PlotPicture::surface() const {
    fit_surface();
    return surface_;
}

void PlotPicture::clear() {
    fit_surface();
    surface_.fill(background_);
    update();
}

void PlotPicture::set_scale(double width, double height) {
    if (!std::isfinite(width) || !std::isfinite(height) || width == 0 || height == 0) return;
    scale_set_ = true;
    scale_width_ = width;
    scale_height_ = height;
}

double PlotPicture::scale_width() const {
    fit_surface();
    return scale_set_ ? scale_width_ : surface_.width() * kTwipsPerPixel;
}

double PlotPicture::scale_height() const {
    fit_surface();
    return scale_set_ ? scale_height_ : surface_.height() * kTwipsPerPixel;
}

QPoint PlotPicture::to_device(double x, double y) const {
    return {device_pixel(x, scale_width(), surface_.width()),
            device_pixel(y, scale_height(), surface_.height())};
}

void PlotPicture::draw_line(double x1, double y1, double x2, double y2, QColor colour) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return;
    fit_surface();
    draw_pixel_line(surface_, to_device(x1, y1), to_device(x2, y2), kDrawWidth, colour);
    update();
}

void PlotPicture::draw_point(double x, double y, QColor colour) {
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    fit_surface();
    draw_pixel_dot(surface_, to_device(x, y), kDrawWidth, colour);
    update();
}

void PlotPicture::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), surface());
}

void PlotPicture::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    fit_surface();
}

void PlotPicture::fit_surface() const {
    const QSize client = contentsRect().size().expandedTo(QSize(1, 1));
    if (client == surface_.size()) return;
    // What was drawn stays where it was; new parts start as background.
    QImage grown(client, QImage::Format_RGB32);
    grown.fill(background_);
    QPainter painter(&grown);
    painter.drawImage(0, 0, surface_);
    painter.end();
    surface_ = grown;
}

}  // namespace trakora::ui
