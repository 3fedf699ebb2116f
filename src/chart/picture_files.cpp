// SPDX-License-Identifier: MIT
#include "chart/picture_files.hpp"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QString>
#include <QSvgGenerator>
#include <algorithm>
#include <cctype>
#include <filesystem>

#include "chart/chart_gui_guard.hpp"

namespace trakora::chart {

namespace {

// Larger than any screen or print; a typo of a size must not ask for gigabytes.
constexpr int kLargestSide = 16384;

bool fail(std::string* error, const std::string& message) {
    if (error != nullptr) *error = message;
    return false;
}

// Checks what every writer needs before a file is opened.
bool can_write(const std::string& path, QSize size, std::string* error) {
    if (!can_paint_text())
        return fail(error, "cannot draw the chart '" + path + "': no QGuiApplication");
    if (size.width() < 1 || size.height() < 1 || size.width() > kLargestSide ||
        size.height() > kLargestSide)
        return fail(error, "cannot draw the chart '" + path + "' at " +
                               std::to_string(size.width()) + " x " +
                               std::to_string(size.height()) + " pixels (1 to " +
                               std::to_string(kLargestSide) + " each way)");
    return true;
}

// Opens the temporary file beside `path`; QSaveFile renames it over `path` on commit and
// removes it when dropped uncommitted.
bool open(QSaveFile& file, const std::string& path, std::string* error) {
    if (file.open(QIODevice::WriteOnly)) return true;
    return fail(error, "cannot write '" + path + "': " + file.errorString().toStdString());
}

bool commit(QSaveFile& file, const std::string& path, std::string* error) {
    if (file.commit()) return true;
    return fail(error, "cannot write '" + path + "': " + file.errorString().toStdString());
}

bool write_picture_png(const std::string& path, QSize size, const PaintPicture& paint,
                       std::string* error) {
    if (!can_write(path, size, error)) return false;
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) return fail(error, "cannot draw the chart '" + path + "': out of memory");
    {
        QPainter painter(&image);
        paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    QSaveFile file(QString::fromStdString(path));
    if (!open(file, path, error)) return false;
    if (!image.save(&file, "PNG")) {
        file.cancelWriting();
        return fail(error, "cannot write '" + path + "': " + file.errorString().toStdString());
    }
    return commit(file, path, error);
}

bool write_picture_svg(const std::string& path, QSize size, const PictureText& text,
                       const PaintPicture& paint, std::string* error) {
    if (!can_write(path, size, error)) return false;
    QBuffer svg;
    svg.open(QIODevice::WriteOnly);
    {
        QSvgGenerator generator;
        generator.setOutputDevice(&svg);
        generator.setSize(size);
        generator.setResolution(96);  // so a browser shows it at `size` CSS pixels
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setTitle(QString::fromStdString(text.title));
        generator.setDescription(QString::fromStdString(text.description));
        QPainter painter;
        if (!painter.begin(&generator))
            return fail(error, "cannot draw the chart '" + path + "': the SVG did not start");
        paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    // Where the Japanese family is missing (another computer), any sans-serif beats the
    // viewer's default serif.
    QByteArray bytes = svg.data();
    const QRegularExpression family(QStringLiteral("font-family=\"([^\",]*)\""));
    bytes = QString::fromUtf8(bytes)
                .replace(family, QStringLiteral("font-family=\"\\1, sans-serif\""))
                .toUtf8();

    QSaveFile file(QString::fromStdString(path));
    if (!open(file, path, error)) return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return fail(error, "cannot write '" + path + "': " + file.errorString().toStdString());
    }
    return commit(file, path, error);
}

}  // namespace

bool write_picture(const std::string& path, QSize size, const PictureText& text,
                   const PaintPicture& paint, std::string* error) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".png") return write_picture_png(path, size, paint, error);
    if (extension == ".svg") return write_picture_svg(path, size, text, paint, error);
    if (extension.empty())
        return fail(error, "the plot file '" + path + "' has no extension: use .png or .svg");
    return fail(error, "cannot write a plot as '" +
                           std::filesystem::path(path).extension().string() + "' ('" + path +
                           "'): use .png or .svg");
}

}  // namespace trakora::chart
