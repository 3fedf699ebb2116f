// SPDX-License-Identifier: MIT
#include "ui/knob_target_view.hpp"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QImage>
#include <QKeySequence>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "session/alignment_step.hpp"
#include "session/drift_actions.hpp"
#include "session/drift_adjust.hpp"
#include "ui/ui_fonts.hpp"

namespace trakora::ui {

CutoutPicture::CutoutPicture(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("KnobCutout"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void CutoutPicture::set_adjusting(std::optional<KnobAdjusting> adjusting) {
    adjusting_ = std::move(adjusting);
    update();
}

void CutoutPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (!adjusting_ || adjusting_->cutout.cells.empty()) return;
    const KnobAdjusting& k = *adjusting_;
    const AdjustCutout& c = k.cutout;

    // The background is the middle cell, the star's top the brightest; a square root
    // between them shows the faint wings too.
    std::vector<std::int32_t> sorted = c.cells;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<long>(sorted.size() / 2),
                     sorted.end());
    const double low = sorted[sorted.size() / 2];
    const double high = *std::max_element(c.cells.begin(), c.cells.end());
    QImage image(c.width, c.height, QImage::Format_Grayscale8);
    for (int row = 0; row < c.height; ++row) {
        uchar* line = image.scanLine(row);
        for (int col = 0; col < c.width; ++col) {
            const double v = c.cells[static_cast<std::size_t>(row * c.width + col)];
            const double t = high > low ? std::clamp((v - low) / (high - low), 0.0, 1.0) : 0.0;
            line[col] = static_cast<uchar>(std::lround(255 * std::sqrt(t)));
        }
    }
    const double side = std::min(width(), height());
    const QRectF square((width() - side) / 2, (height() - side) / 2, side, side);
    p.drawImage(square, image);

    const double per_pixel = side / (c.width * c.step);
    const auto at = [&](Position q) {
        return QPointF(square.left() + (q.x - c.x0 + 0.5) * per_pixel,
                       square.top() + (q.y - c.y0 + 0.5) * per_pixel);
    };
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF anchor = at(k.anchor), target = at(k.target), star = at(k.star);
    p.setPen(QPen(QColor(120, 170, 255), 1.5, Qt::DashLine));
    p.drawLine(anchor, target);
    p.setPen(QPen(QColor(120, 170, 255), 1.5));
    p.drawEllipse(anchor, 4, 4);
    const double ring = std::max(6.0, k.reached_px * per_pixel);
    const QColor target_colour = k.reached ? QColor(80, 220, 120) : QColor(255, 80, 80);
    p.setPen(QPen(target_colour, 2));
    p.drawEllipse(target, ring, ring);
    p.drawLine(target - QPointF(ring + 6, 0), target - QPointF(ring - 3, 0));
    p.drawLine(target + QPointF(ring - 3, 0), target + QPointF(ring + 6, 0));
    p.drawLine(target - QPointF(0, ring + 6), target - QPointF(0, ring - 3));
    p.drawLine(target + QPointF(0, ring - 3), target + QPointF(0, ring + 6));
    if (!k.lost) {
        p.setPen(QPen(QColor(255, 210, 60), 1.5));
        p.drawEllipse(star, 9, 9);
    }
}

QString way_word(ScreenWay way) {
    switch (way) {
        case ScreenWay::up:
            return KnobTargetView::tr("上");
        case ScreenWay::up_right:
            return KnobTargetView::tr("右上");
        case ScreenWay::right:
            return KnobTargetView::tr("右");
        case ScreenWay::down_right:
            return KnobTargetView::tr("右下");
        case ScreenWay::down:
            return KnobTargetView::tr("下");
        case ScreenWay::down_left:
            return KnobTargetView::tr("左下");
        case ScreenWay::left:
            return KnobTargetView::tr("左");
        case ScreenWay::up_left:
            return KnobTargetView::tr("左上");
    }
    return {};
}

QString adjusting_text(const KnobAdjusting& k) {
    if (k.reached)
        return KnobTargetView::tr(
            "目標に届きました。星を中央に戻し、「新しい区間」で測り直してください。");
    if (k.lost) return KnobTargetView::tr("星を見失いました。星を目標の線の近くに戻してください。");
    return KnobTargetView::tr("あと %1″、%2へ", "distance to go, the way the star must go")
        .arg(std::lround(k.to_go_arcsec))
        .arg(way_word(k.way));
}

KnobTargetView::KnobTargetView(QWidget* parent) : QGroupBox(tr("ノブを回す目標"), parent) {
    setObjectName(QStringLiteral("KnobTarget"));
    picture = new CutoutPicture(this);
    status = new QLabel(this);
    status->setObjectName(QStringLiteral("KnobStatus"));
    status->setWordWrap(true);
    // Room for the longest sentence, or two lines of the distance to go in large type.
    status->setMinimumHeight(std::max(3 * QFontMetrics(japanese_font(10)).lineSpacing(),
                                      2 * QFontMetrics(japanese_font(14)).lineSpacing()));
    azimuth = new QPushButton(tr("方位ノブを回す"), this);
    altitude = new QPushButton(tr("高度ノブを回す"), this);
    // Disabled once pressed: a button with the focus would hand it to the next box. Each
    // has its key instead, named in its tip.
    for (auto [button, key] : {std::pair{azimuth, QKeySequence(Qt::CTRL | Qt::Key_1)},
                               std::pair{altitude, QKeySequence(Qt::CTRL | Qt::Key_2)}}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setShortcut(key);
        button->setToolTip(tr("ボタンを押してからノブを回すと、星の目標を示します (%1)")
                               .arg(key.toString(QKeySequence::NativeText)));
    }

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(azimuth);
    buttons->addWidget(altitude);
    auto* box = new QVBoxLayout(this);
    box->addWidget(picture, 1);
    box->addWidget(status);
    box->addLayout(buttons);

    connect(azimuth, &QPushButton::clicked, this, [this] { emit turnRequested(Knob::azimuth); });
    connect(altitude, &QPushButton::clicked, this, [this] { emit turnRequested(Knob::altitude); });
    show_assistant({});
}

void KnobTargetView::show_assistant(const DriftAssistant& a) {
    picture->set_adjusting(a.adjusting);
    const bool turning = a.adjusting.has_value();
    azimuth->setEnabled(!drift_action_refusal(a, DriftAction::turn_azimuth));
    altitude->setEnabled(!drift_action_refusal(a, DriftAction::turn_altitude));
    // The distance to go stands out, large; the sentences are read once, at the usual size.
    const bool to_go = turning && !a.adjusting->reached && !a.adjusting->lost;
    QFont font = japanese_font(to_go ? 14 : 10);
    font.setBold(to_go);
    status->setFont(font);
    if (turning) {
        status->setText(adjusting_text(*a.adjusting));
    } else if (!direction_known(drift_summary_now(a)) && drift_adjust_now(a)) {
        status->setText(tr("画像のどちらが北か分かるまで、ノブの目標は示しません。"));
    } else if (const std::optional<KnobAdjust> next = drift_adjust_now(a)) {
        status->setText(next->knob == Knob::azimuth
                            ? tr("ボタンを押してから方位ノブを回すと、星の目標を示します。")
                            : tr("ボタンを押してから高度ノブを回すと、星の目標を示します。"));
    } else {
        status->setText(tr("ずれが分かると、ノブを回すときの星の目標をここに示します。"));
    }
}

}  // namespace trakora::ui
