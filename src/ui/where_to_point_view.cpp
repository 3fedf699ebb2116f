// SPDX-License-Identifier: MIT
#include "ui/where_to_point_view.hpp"

#include <QDateTime>
#include <QFontMetrics>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QStringList>
#include <QVBoxLayout>
#include <cmath>

namespace trakora::ui {
namespace {

QString hours_text(double hours) {
    const double h = std::fmod(std::fmod(hours, 24) + 24, 24);
    int whole = static_cast<int>(h), minutes = static_cast<int>(std::lround((h - whole) * 60));
    if (minutes == 60) {
        minutes = 0;
        whole = (whole + 1) % 24;
    }
    return QString::asprintf("%02dh%02dm", whole, minutes);
}

}  // namespace

WhereToPointView::WhereToPointView(QWidget* parent) : QGroupBox(tr("次に向ける空"), parent) {
    setObjectName(QStringLiteral("WhereToPoint"));
    next_ = new QLabel(this);
    QFont bold = next_->font();
    bold.setBold(true);
    next_->setFont(bold);
    next_->setWordWrap(true);
    azimuth_ = new QLabel(this);
    east_ = new QLabel(this);
    west_ = new QLabel(this);
    lon_label_ = new QLabel(tr("経度 (東が +)"), this);
    lon_ = new QLineEdit(this);
    lon_->setPlaceholderText(tr("例: 139.7"));
    lon_->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-000.000 ")) * 2);
    auto* form = new QFormLayout(this);
    form->addRow(next_);
    form->addRow(tr("方位"), azimuth_);
    form->addRow(tr("高度 (東)"), east_);
    form->addRow(tr("高度 (西)"), west_);
    form->addRow(lon_label_, lon_);
    // Room kept for the longest lines, so that the window never has to grow for them.
    const int line = fontMetrics().lineSpacing();
    next_->setMinimumHeight(2 * QFontMetrics(bold).lineSpacing());
    for (QLabel* l : {azimuth_, east_, west_}) {
        l->setWordWrap(true);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        l->setMinimumHeight(4 * line);
    }
    show_where(WhereToPoint{});
}

std::optional<double> WhereToPointView::typed_longitude() const {
    bool ok = false;
    const double lon = lon_->text().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(lon) || std::abs(lon) > 360) return std::nullopt;
    return lon;
}

void WhereToPointView::show_assistant(const DriftAssistant& a) {
    show_where(where_to_point(a, typed_longitude(),
                              static_cast<double>(QDateTime::currentSecsSinceEpoch())));
}

void WhereToPointView::show_where(const WhereToPoint& w) {
    switch (w.next) {
        case NextPhase::azimuth:
            next_->setText(tr("次は方位: 子午線付近の星を測ります"));
            break;
        case NextPhase::altitude:
            next_->setText(tr("次は高度: 東か西の低い星を測ります"));
            break;
        case NextPhase::both_known:
            next_->setText(tr("両方わかりました: ノブを回して子午線の星から測り直します"));
            break;
        case NextPhase::nearly_aligned:
            next_->setText(tr("両方とも 1′ 以内のようです: もう少し測って確かめてください"));
            break;
        case NextPhase::aligned:
            next_->setText(tr("両方の成分が 1′ 以内です: 極軸合わせは完了です"));
            break;
    }
    const bool header_lon = w.lon_deg && !w.lon_typed;
    lon_label_->setVisible(!header_lon);
    lon_->setVisible(!header_lon);
    const auto patch_line = [](const std::optional<SkyPatch>& p) {
        if (!p) return tr("この緯度では条件に合う空がありません");
        QString line = tr("時角 %1h・赤緯 %2°・赤経 %3・高度 %4°")
                           .arg(p->ha_hours, 0, 'f', 1)
                           .arg(p->dec_deg, 0, 'f', 0)
                           .arg(hours_text(p->ra_hours))
                           .arg(p->altitude_deg, 0, 'f', 0);
        QStringList stars;
        for (const PatchStar& s : p->stars)
            stars << QStringLiteral("%1 (%2)").arg(
                QString::fromUtf8(s.name.data(), static_cast<qsizetype>(s.name.size())),
                QString::number(s.mag, 'f', 1));
        if (!stars.isEmpty()) line += QStringLiteral("\n") + stars.join(QStringLiteral(", "));
        return line;
    };
    if (!w.plan) {
        const QString why = !w.lat_deg ? tr("緯度がわかりません (ヘッダーの SITELAT か緯度の入力)")
                                       : tr("経度がわかりません: 下に入れてください");
        azimuth_->setText(why);
        east_->setText(QStringLiteral("—"));
        west_->setText(QStringLiteral("—"));
        return;
    }
    azimuth_->setText(patch_line(w.plan->azimuth));
    east_->setText(patch_line(w.plan->altitude_east));
    west_->setText(patch_line(w.plan->altitude_west));
}

}  // namespace trakora::ui
