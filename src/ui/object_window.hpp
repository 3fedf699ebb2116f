// SPDX-License-Identifier: MIT
// Form4: the object window. Its picture shows the rendered image at one image pixel per
// screen pixel (device-independent), keeps the lines drawn on it, and reports presses in
// its drawing coordinates. Images larger than the screen scroll inside the window.
//
// The picture reads the colours where the core keeps them (they stay unchanged while the
// window is open) and converts only the part being painted, with the lines drawn since
// the showing on top: a large image costs per tick what the screen shows of it, not a
// copy of the whole.
#pragma once

#include <QImage>
#include <QScrollArea>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "core/view.hpp"

namespace trakora::ui {

// The image picture inside the object window.
class ObjectPicture : public QWidget {
    Q_OBJECT
  public:
    explicit ObjectPicture(QWidget* parent = nullptr);

    // Shows these colours (read while the picture shows them, not copied); the picture
    // becomes the image's size and its drawing coordinates span scale_width x
    // scale_height.
    void show_image(const PictureImage& image, double scale_width, double scale_height);
    // A 1-pixel line in drawing coordinates, drawn onto the surface so that it stays.
    void draw_line(double x1, double y1, double x2, double y2, QColor colour);

    double scale_width() const { return scale_width_; }
    double scale_height() const { return scale_height_; }
    // The whole picture as shown, lines included (made when asked for).
    const QImage& surface() const;

    // Drawing coordinates of the pixel under a position in the widget: the pixel's
    // top-left corner, so a press anywhere on image pixel (c, r) reports (c, r) when one
    // unit is one pixel, at any screen density.
    QPointF drawing_position(QPointF widget_position) const;

  signals:
    // button: 1 left, 2 right, 4 middle; shift: 1 Shift + 2 Ctrl + 4 Alt.
    void pressed(std::int16_t button, std::int16_t shift, float x, float y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    struct Line {
        QPoint from, to;
        QColor colour;
    };
    // The picture's pixels in `area` (within the image) into `out`, whose top-left
    // corner is area's.
    void compose(const QRect& area, QImage& out) const;

    PictureImage image_;
    std::vector<Line> lines_;
    double scale_width_ = 0;
    double scale_height_ = 0;
    mutable QImage surface_;  // the whole picture, once asked for; then kept current
    mutable bool surface_current_ = false;
    QImage tile_;  // reused for painting
};

class ObjectWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ObjectWindow(QWidget* parent = nullptr);

    // Shows the window as if newly made: this title, this image and no earlier drawing,
    // sized to the image (or to the screen, scrolling). It does not take the keyboard
    // focus, so a tick leaves the user typing where they were, and comes up over the other
    // windows only from the main window or none of the program's, never closing an open
    // menu.
    void open(const QString& title, double scale_width, double scale_height,
              const PictureImage& image);
    bool is_open() const { return isVisible(); }
    // The first showing puts the window to the right of `neighbour` when the screen has
    // room there, so that it does not hide the main window's buttons; later showings keep
    // wherever the user moved it.
    void place_first_beside(const QWidget* neighbour) { neighbour_ = neighbour; }

    ObjectPicture& picture() { return *picture_; }
    const ObjectPicture& picture() const { return *picture_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void fit_to_screen();
    void place_beside_neighbour();

    const QWidget* neighbour_ = nullptr;
    bool placed_ = false;
    QScrollArea* scroll_ = nullptr;
    ObjectPicture* picture_ = nullptr;
};

}  // namespace trakora::ui
