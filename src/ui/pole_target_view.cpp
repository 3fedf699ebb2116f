// SPDX-License-Identifier: MIT
#include "ui/pole_target_view.hpp"

#include <QFontMetrics>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "chart/japanese_font.hpp"
#include "report/session_pole_target_data.hpp"
#include "session/alignment_step.hpp"
#include "ui/drift_words.hpp"

namespace trakora::ui {

PoleTargetPicture::PoleTargetPicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void PoleTargetPicture::set_target(chart::PoleTarget target) {
    target_ = std::move(target);
    update();
}

QSize PoleTargetPicture::sizeHint() const {
    const int em = fontMetrics().height();
    return {16 * em, 16 * em};
}

QSize PoleTargetPicture::minimumSizeHint() const {
    // Wide enough for the title at the smallest size the picture paints it.
    const int em = fontMetrics().height();
    const QFontMetrics title(chart::sized_font(chart::japanese_font_family(), 15, QFont::Bold));
    const int side =
        std::max(10 * em, title.horizontalAdvance(QString::fromStdString(target_.title)) + 24);
    return {side, side};
}

void PoleTargetPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Square, at the top of whatever room the layout gave.
    const int side = std::min(width(), height());
    painter.fillRect(rect(), palette().window());
    chart::paint_pole_target(painter, QRectF((width() - side) / 2.0, 0, side, side), target_);
}

PoleTargetView::PoleTargetView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PoleTarget"));
    picture_ = new PoleTargetPicture(this);
    answer_ = new QLabel(this);
    knobs_ = new QLabel(this);
    before_turn_ = new QLabel(this);
    note_ = new QLabel(this);
    for (QLabel* l : {answer_, knobs_, before_turn_, note_}) {
        l->setWordWrap(true);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    answer_->setMinimumHeight(2 * answer_->fontMetrics().lineSpacing());
    note_->setStyleSheet(QStringLiteral("color: #c0392b; font-weight: bold;"));
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(picture_);
    box->addWidget(answer_);
    box->addWidget(knobs_);
    box->addWidget(before_turn_);
    box->addWidget(note_);
    box->addStretch(1);
    show_assistant(DriftAssistant{});
}

void PoleTargetView::show_assistant(const DriftAssistant& a) {
    // Where the axis points is a direction: none on an unknown north.
    const bool north = a.segments.empty() || direction_known(drift_summary_now(a));
    chart::PoleTarget target = report::session_pole_target(north ? a : DriftAssistant{});
    target.style = chart::ChartStyle::night;
    target.title = tr("極軸の位置").toStdString();
    target.x_label = tr("方位 (′)").toStdString();
    target.y_label = tr("高度 (′)").toStdString();
    target.west = tr("西", "the azimuth axis's west end").toStdString();
    target.east = tr("東", "the azimuth axis's east end").toStdString();
    target.high = tr("高", "the altitude axis's upper end").toStdString();
    target.low = tr("低", "the altitude axis's lower end").toStdString();
    const std::optional<CombinedError> now =
        north ? combined_now(a) : std::optional<CombinedError>();
    target.subtitle =
        now ? tr("合計 %1′").arg(now->total_arcmin, 0, 'f', 1).toStdString() : std::string();
    picture_->set_target(std::move(target));

    if (now) {
        answer_->setText(combined_line(*now));
        knobs_->setText(knobs_line(*now));
    } else if (!north) {
        answer_->setText(tr("画像のどちらが北か分かるまで、極軸の位置は示しません。"));
        knobs_->clear();
    } else {
        answer_->setText(tr("両方の成分: 子午線付近の星と東か西の低い星を測ると出ます"));
        knobs_->clear();
    }
    const std::optional<CombinedError> before =
        north ? combined_before_turn(a) : std::optional<CombinedError>();
    before_turn_->setText(before ? before_turn_line(*before) : QString());
    before_turn_->setVisible(before.has_value());
    const std::optional<DriftNote> same = same_star_note(a);
    const QString note = same ? note_words(*same) : QString();
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
}

}  // namespace trakora::ui
