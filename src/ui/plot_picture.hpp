// SPDX-License-Identifier: MIT
// The main window's plot picture: a sunken box whose drawing surface keeps what is drawn
// on it, with a user coordinate system (origin top left, y downward) and a drawing width
// of five pixels.
#pragma once

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QPoint>

namespace trakora::ui {

class PlotPicture : public QFrame {
    Q_OBJECT
  public:
    static constexpr int kDrawWidth = 5;
    // Until a scale is set the unit is the twip, fifteen to a pixel.
    static constexpr double kTwipsPerPixel = 15;

    explicit PlotPicture(QWidget* parent = nullptr);

    // Fills the surface with the background colour.
    void clear();
    // The surface spans `width` units across and `height` down from now on. A zero or
    // undefined extent would put every drawing at infinity, so it keeps the old one.
    void set_scale(double width, double height);
    void draw_line(double x1, double y1, double x2, double y2, QColor colour);
    void draw_point(double x, double y, QColor colour);

    double scale_width() const;
    double scale_height() const;
    QColor background() const { return background_; }
    // The drawing surface: the client area inside the border, pixel for pixel.
    const QImage& surface() const;
    // Where the client area starts within the box; children such as the result label are
    // placed from here.
    QPoint client_origin() const { return contentsRect().topLeft(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QPoint to_device(double x, double y) const;
    // The surface follows the client area's size; a hidden box learns its size before it
    // gets any resize event, so every use checks.
    void fit_surface() const;

    mutable QImage surface_;
    QColor background_;
    bool scale_set_ = false;
    double scale_width_ = 0;
    double scale_height_ = 0;
};

}  // namespace trakora::ui
