// SPDX-License-Identifier: MIT
#include "ui/phone_dialog.hpp"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPixmap>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/ui_fonts.hpp"
#include "web/qr_code.hpp"

namespace trakora::ui {

QImage qr_image(const QString& text, int module) {
    const std::optional<web::QrCode> code = web::qr_code(text.toStdString());
    if (!code) return {};
    constexpr int kQuiet = 4;
    const int side = (code->size + 2 * kQuiet) * module;
    QImage image(side, side, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    for (int y = 0; y < code->size; ++y)
        for (int x = 0; x < code->size; ++x)
            if (code->dark(x, y))
                for (int dy = 0; dy < module; ++dy)
                    for (int dx = 0; dx < module; ++dx)
                        image.setPixel((x + kQuiet) * module + dx, (y + kQuiet) * module + dy,
                                       qRgb(0, 0, 0));
    return image;
}

PhoneDialog::PhoneDialog(const QString& address, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PhoneDialog"));
    setWindowTitle(tr("スマホで表示 - Trakora"));
    setFont(japanese_font(10));
    auto* box = new QVBoxLayout(this);
    auto* note = new QLabel(this);
    note->setWordWrap(true);
    note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (address.isEmpty()) {
        note->setText(
            tr("スマホ用のページは動いていません。同じネットワークのスマホで見るには、\n"
               "trakora --serve 0.0.0.0:8080\n"
               "のように起動してください。ページを開くのに必要なアドレスが出ます (docs/web.md)。"));
        box->addWidget(note);
    } else {
        auto* code = new QLabel(this);
        code->setObjectName(QStringLiteral("QrCode"));
        code->setPixmap(QPixmap::fromImage(qr_image(address, 6)));
        code->setAlignment(Qt::AlignCenter);
        auto* url = new QLabel(address, this);
        url->setObjectName(QStringLiteral("PageAddress"));
        url->setTextInteractionFlags(Qt::TextSelectableByMouse);
        const QString host = QUrl(address).host();
        note->setText(
            host == QLatin1String("127.0.0.1")
                ? tr("このアドレスはこのコンピューターの中だけで開けます。スマホから開くには "
                     "--serve 0.0.0.0:ポート で起動してください。")
                : tr("スマホのカメラでコードを読むか、アドレスを開いてください。スマホは同じ"
                     "ネットワークにつながっている必要があります。"));
        box->addWidget(code);
        box->addWidget(url);
        box->addWidget(note);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    box->addWidget(buttons);
    note->setMinimumWidth(420);
}

}  // namespace trakora::ui
