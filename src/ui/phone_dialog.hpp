// SPDX-License-Identifier: MIT
// "スマホで表示" ("Show on phone"): a small dialog with the page's address and its QR code
// for a phone's camera; without a page (the program was started without --serve), how to
// start one instead.
#pragma once

#include <QDialog>
#include <QImage>
#include <QString>

namespace trakora::ui {

class PhoneDialog : public QDialog {
    Q_OBJECT
  public:
    // `address` is the page's, with its token; empty when no page is served.
    PhoneDialog(const QString& address, QWidget* parent = nullptr);
};

// The QR code of `text`, `module` pixels a module, with the light quiet zone of four
// modules around it; a null image when the text is too long for a code.
QImage qr_image(const QString& text, int module);

}  // namespace trakora::ui
