// SPDX-License-Identifier: MIT
#include "ui/qt_view.hpp"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <string_view>

#include "core/messages.hpp"
#include "ui/picture_drawing.hpp"

namespace trakora::ui {

namespace {

QString from_utf8(const std::string& text) { return QString::fromStdString(text); }

// A message from core in the language shown: its translation when it has one (the
// count's confirmation as a sentence with the count in it), else as it came.
QString shown_message(const std::string& text) {
    const std::string_view count = messages::kCountConfirmed;
    if (text.starts_with(count))
        return QCoreApplication::translate("trakora::messages", messages::kCountConfirmedSentence)
            .arg(from_utf8(text.substr(count.size())));
    return QCoreApplication::translate("trakora::messages", text.c_str());
}

}  // namespace

QtView::QtView(MainWindow& form1)
    : form1_(form1),
      form4_(std::make_unique<ObjectWindow>()),
      drift_(std::make_unique<DriftAssistantWindow>()) {
    form4_->place_first_beside(&form1_);
    drift_->place_first_below(&form1_);
}

QtView::~QtView() {
    if (busy_) QGuiApplication::restoreOverrideCursor();
}

void QtView::message(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Trakora"), shown_message(text),
                    QMessageBox::Ok, &form1_);
    // File names and numbers are shown as they are, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    // Some desktops decorate dialog buttons with icons; the box stays plain text and OK.
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    box.exec();
}

QLineEdit* QtView::box(TextField which) const {
    switch (which) {
        case TextField::Folder:
            return form1_.controls().text1;
        case TextField::Interval:
            return form1_.controls().text2;
        case TextField::Count:
            return form1_.controls().text3;
    }
    return form1_.controls().text1;
}

std::string QtView::text(TextField which) const { return box(which)->text().toStdString(); }

void QtView::set_text(TextField which, const std::string& text) {
    box(which)->setText(from_utf8(text));
}

std::string QtView::folder_list_path() const {
    return form1_.controls().dir1->path().toStdString();
}

void QtView::set_folder_list_path(const std::string& path) {
    form1_.controls().dir1->set_path(from_utf8(path));
}

std::string QtView::selected_drive() const {
    return form1_.controls().drive1->selected_root().toStdString();
}

void QtView::set_polling_enabled(bool enabled) { form1_.controls().timer1->set_enabled(enabled); }

void QtView::set_polling_interval(int milliseconds) {
    form1_.controls().timer1->set_interval(milliseconds);
}

void QtView::set_busy_pointer(bool busy) {
    // Qt stacks override cursors; keep exactly one while busy so that "not busy" always
    // brings the normal pointer back.
    if (busy == busy_) return;
    busy_ = busy;
    if (busy) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
}

bool QtView::object_window_open() const { return form4_->is_open(); }

void QtView::present_object_window(const std::string& title, double scale_width,
                                   double scale_height, const PictureImage& image) {
    // The drift window in use stays above the picture that a tick shows again.
    const bool drift_in_use = drift_->isActiveWindow();
    form4_->open(from_utf8(title), scale_width, scale_height, image);
    if (drift_in_use && QApplication::activePopupWidget() == nullptr) drift_->raise();
}

void QtView::hide_object_window() { form4_->hide(); }

void QtView::draw_object_picture_line(float x1, float y1, float x2, float y2,
                                      std::uint32_t colour) {
    form4_->picture().draw_line(x1, y1, x2, y2, colour_from_value(colour));
}

void QtView::clear_drift_plot() { form1_.controls().picture1->clear(); }

void QtView::set_drift_plot_scale(float width, float height) {
    form1_.controls().picture1->set_scale(width, height);
}

void QtView::draw_drift_line(float x1, float y1, float x2, float y2, std::uint32_t colour) {
    form1_.controls().picture1->draw_line(x1, y1, x2, y2, colour_from_value(colour));
}

void QtView::draw_drift_point(float x, float y, std::uint32_t colour) {
    form1_.controls().picture1->draw_point(x, y, colour_from_value(colour));
}

void QtView::set_drift_label(const std::string& caption) {
    form1_.controls().label5->setText(from_utf8(caption));
}

void QtView::show_drift_assistant(const DriftAssistant& assistant) {
    drift_->show_assistant(assistant);
}

}  // namespace trakora::ui
