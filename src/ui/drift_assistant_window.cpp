// SPDX-License-Identifier: MIT
#include "ui/drift_assistant_window.hpp"

#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <utility>

#include "analysis/star_measurement.hpp"
#include "report/assistant_chart.hpp"
#include "session/alignment_step.hpp"
#include "session/drift_advice.hpp"
#include "ui/drift_words.hpp"
#include "ui/phone_dialog.hpp"
#include "ui/ui_fonts.hpp"

namespace trakora::ui {

namespace {

constexpr int kSegmentsListed = 6;  // the last segments' errors in the list
constexpr int kTitleBar = 32;       // a title bar's height, until the window manager tells

QLabel* value_label(QWidget* parent) {
    auto* l = new QLabel(QStringLiteral("—"), parent);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QString number(const std::optional<double>& v, const char* format, const char* unit = "") {
    if (!v || !std::isfinite(*v)) return QStringLiteral("—");
    return QString::asprintf(format, *v) + QString::fromUtf8(unit);
}

// The session star's own notes, shown beside its warnings; the others go to the files.
QString star_note_words(const DriftNote& note) {
    switch (note.code) {
        case NoteCode::star_lost:
        case NoteCode::star_found_again:
        case NoteCode::faint_left_out:
        case NoteCode::star_saturated:
        case NoteCode::scatter_too_wide:
            return note_words(note);
        default:
            return {};
    }
}

}  // namespace

QString star_warnings(unsigned flags) {
    QStringList out;
    if (flags & kStarLost) out << DriftAssistantWindow::tr("星を見失いました");
    if (flags & kStarHotPixel) out << DriftAssistantWindow::tr("ホットピクセルの疑い");
    if (flags & kStarSaturated) out << DriftAssistantWindow::tr("星が飽和しています");
    if (flags & kStarLowSnr) out << DriftAssistantWindow::tr("SN 比が低すぎます");
    if (flags & kStarEdge) out << DriftAssistantWindow::tr("星が画像の端にかかっています");
    if (flags & kStarFaint) out << DriftAssistantWindow::tr("星が暗くなりました (雲?)");
    if (flags & kStarUntracked) out << DriftAssistantWindow::tr("星が見つかりません");
    return out.join(DriftAssistantWindow::tr("・", "between two warnings"));
}

DriftAssistantWindow::DriftAssistantWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("DriftAssistant"));
    setWindowTitle(tr("ドリフト解析 - Trakora"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    build();
    resize(first_size());
}

QSize DriftAssistantWindow::whole_size() const {
    // The headline and the advice over the body at its least size, nothing scrolled.
    const QMargins m = layout()->contentsMargins();
    const QSize body = c_.body->widget()->minimumSizeHint();
    return {std::max(body.width() + m.left() + m.right(), minimumWidth()),
            minimumHeight() - c_.body->minimumSizeHint().height() + body.height()};
}

QSize DriftAssistantWindow::first_size() const {
    // All of it in sight where the screen has room; on a smaller screen as much as it
    // holds, the body scrolling.
    QSize size = QSize(1180, 720).expandedTo(whole_size());
    if (const QScreen* s = screen())
        size = size.boundedTo(s->availableGeometry().size() - QSize(0, kTitleBar));
    return size.expandedTo(minimumSize());
}

void DriftAssistantWindow::build() {
    const QFont base = japanese_font(10);
    setFont(base);

    c_.error = new QLabel(QStringLiteral("—"), this);
    c_.error->setObjectName(QStringLiteral("AnswerError"));
    QFont large = base;
    large.setPointSizeF(30);
    large.setBold(true);
    c_.error->setFont(large);
    c_.component = new QLabel(QStringLiteral("—"), this);
    QFont medium = base;
    medium.setPointSizeF(20);
    c_.component->setFont(medium);
    c_.progress = new QLabel(this);
    c_.progress->setFont(medium);
    c_.advice = new QLabel(this);
    c_.advice->setObjectName(QStringLiteral("Advice"));
    QFont advice_font = base;
    advice_font.setPointSizeF(15);
    c_.advice->setFont(advice_font);
    c_.advice->setWordWrap(true);
    // Three lines, whatever it says: the longest sentence fits, and a short one does not
    // move what is under it.
    c_.advice->setFixedHeight(3 * QFontMetrics(advice_font).lineSpacing() + 4);
    c_.advice->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // Room for the longest answers from the start: the window never widens by itself.
    AlignmentStep longest_step;
    longest_step.elapsed_min = 88.8;
    longest_step.minutes_to_go = 88;
    const QFontMetrics large_metrics(large);
    c_.error->setMinimumWidth(
        std::max(large_metrics.horizontalAdvance(QStringLiteral("88.8′ ± 8.8′ ")),
                 large_metrics.horizontalAdvance(progress_headline(longest_step) + u' ')));
    DriftAdvice longest;
    longest.progress = ProgressKind::minutes_left;
    longest.minutes_left = 88;
    c_.progress->setMinimumWidth(QFontMetrics(medium).horizontalAdvance(progress_text(longest)));
    auto* answer_row = new QHBoxLayout;
    answer_row->addWidget(c_.error);
    answer_row->addSpacing(12);
    answer_row->addWidget(c_.component);
    answer_row->addStretch(1);
    answer_row->addWidget(c_.progress);

    c_.chart = new DriftChartView(this);
    chart::DriftChart blank;
    chart_labels_in_words(blank);
    c_.chart->set_chart(std::move(blank));

    auto* quality = new QGroupBox(tr("測定の質"), this);
    auto* form = new QFormLayout(quality);
    c_.seeing = value_label(quality);
    c_.snr = value_label(quality);
    c_.hfd = value_label(quality);
    c_.r2 = value_label(quality);
    c_.minutes = value_label(quality);
    c_.ra_rate = value_label(quality);
    c_.periodic = value_label(quality);
    c_.altitude = value_label(quality);
    c_.refraction = value_label(quality);
    form->addRow(tr("シーイング (残差)"), c_.seeing);
    form->addRow(tr("SN 比"), c_.snr);
    form->addRow(QStringLiteral("HFD"), c_.hfd);
    form->addRow(QStringLiteral("R²"), c_.r2);
    form->addRow(tr("測定時間"), c_.minutes);
    form->addRow(tr("赤経の追尾"), c_.ra_rate);
    form->addRow(tr("ピリオディックモーション"), c_.periodic);
    form->addRow(tr("星の高度"), c_.altitude);
    form->addRow(tr("大気差のドリフト"), c_.refraction);
    c_.warnings = new QLabel(quality);
    c_.warnings->setWordWrap(true);
    c_.warnings->setStyleSheet(QStringLiteral("color: #c0392b; font-weight: bold;"));
    form->addRow(c_.warnings);

    c_.inputs = new AssistantInputs(this);

    auto* segments = new QGroupBox(tr("区間ごとのずれ"), this);
    auto* segments_box = new QVBoxLayout(segments);
    c_.segments = new QListWidget(segments);
    c_.segments->setSelectionMode(QAbstractItemView::NoSelection);
    c_.segments->setFocusPolicy(Qt::NoFocus);
    segments_box->addWidget(c_.segments);

    c_.save = new QPushButton(tr("保存…"), this);
    c_.any_case =
        new QCheckBox(tr("小文字の .fit / .fits / .fts と .fz / .xisf も対象にする"), this);
    QVBoxLayout* buttons = action_rows();

    // The plot with the segments under it on the left; what the user reads and types on
    // the right; the segments' list stays short.
    c_.segments->setMaximumHeight(5 * fontMetrics().height());
    auto* left = new QVBoxLayout;
    left->addWidget(c_.chart, 1);
    left->addWidget(segments);

    auto* side = new QVBoxLayout;
    side->addWidget(quality);
    side->addWidget(c_.inputs);
    side->addStretch(1);
    side->addLayout(buttons);
    side->addWidget(c_.any_case);

    c_.pole_target = new PoleTargetView(this);
    c_.knob_target = new KnobTargetView(this);
    c_.where = new WhereToPointView(this);
    auto* steer = new QVBoxLayout;
    steer->addWidget(c_.pole_target, 3);
    steer->addWidget(c_.knob_target, 2);
    steer->addWidget(c_.where);

    // The headline and the advice stay in sight; the rest scrolls when the screen is too
    // small for it (a laptop's at twice the scale), and nothing in it is squeezed.
    auto* body_widget = new QWidget(this);
    auto* body = new QHBoxLayout(body_widget);
    body->setContentsMargins(0, 0, 0, 0);
    body->addLayout(left, 3);
    body->addLayout(side, 2);
    body->addLayout(steer, 2);
    c_.body = new QScrollArea(this);
    c_.body->setObjectName(QStringLiteral("DriftWindowBody"));
    c_.body->setFrameShape(QFrame::NoFrame);
    c_.body->setWidgetResizable(true);
    c_.body->setWidget(body_widget);

    auto* top = new QVBoxLayout(this);
    top->addLayout(answer_row);
    top->addWidget(c_.advice);
    top->addWidget(c_.body, 1);

    connect(c_.new_segment, &QPushButton::clicked, this,
            &DriftAssistantWindow::newSegmentRequested);
    connect(c_.new_star, &QPushButton::clicked, this, &DriftAssistantWindow::newStarRequested);
    connect(c_.calibrate, &QPushButton::clicked, this, [this] {
        emit calibrateRequested(static_cast<CalibrationMove>(c_.calibrate_way->currentIndex()));
    });
    connect(c_.save, &QPushButton::clicked, this, &DriftAssistantWindow::ask_where_to_save);
    connect(c_.phone, &QPushButton::clicked, this, [this] {
        auto* dialog = new PhoneDialog(page_address_, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
    });
    connect(c_.any_case, &QCheckBox::toggled, this, &DriftAssistantWindow::anyCaseToggled);
    c_.advice->setText(tr("天体を設定して測定を始めると、ここに極軸のずれが出ます。"));

    // The window keeps the size it was given: texts that change never grow it. Its least
    // size is the one its parts need with the longest headline it can show.
    ensurePolished();
    layout()->activate();
    setMinimumSize(layout()->totalMinimumSize());
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
}

QVBoxLayout* DriftAssistantWindow::action_rows() {
    // The actions of a round, in the same place in every phase; each has its key, and none
    // takes the focus from where the user types.
    const auto action = [this](const QString& text, const QString& tip, QKeyCombination key) {
        auto* button = new QPushButton(text, this);
        button->setShortcut(QKeySequence(key));
        button->setToolTip(tip + QStringLiteral(" (") +
                           button->shortcut().toString(QKeySequence::NativeText) +
                           QStringLiteral(")"));
        button->setFocusPolicy(Qt::NoFocus);
        return button;
    };
    c_.new_star =
        action(tr("新しい星"), tr("別の星に向けて中央に入れたあと、次の画像からその星を測ります"),
               Qt::CTRL | Qt::Key_N);
    c_.new_segment =
        action(tr("新しい区間"), tr("同じ星でノブを回したあと、次の画像から測り直します"),
               Qt::CTRL | Qt::Key_G);
    c_.calibrate = action(tr("校正"),
                          tr("選んだボタンを手元のコントローラーで1〜2秒押すと、星の跳びから"
                             "画像の北を知ります"),
                          Qt::CTRL | Qt::Key_K);
    c_.calibrate_way = new QComboBox(this);
    c_.calibrate_way->setFocusPolicy(Qt::NoFocus);
    // In the order of CalibrationMove.
    c_.calibrate_way->addItems(
        {tr("北", "a hand controller's button"), tr("南", "a hand controller's button"),
         tr("東", "a hand controller's button"), tr("西", "a hand controller's button")});
    c_.phone = new QPushButton(tr("スマホで表示"), this);
    c_.phone->setToolTip(tr("スマホ用のページのアドレスと QR コードを出します"));
    c_.phone->setFocusPolicy(Qt::NoFocus);
    auto* stars = new QHBoxLayout;
    stars->addWidget(c_.new_star);
    stars->addWidget(c_.new_segment);
    stars->addStretch(1);
    stars->addWidget(c_.phone);
    auto* calibration = new QHBoxLayout;
    calibration->addWidget(c_.calibrate);
    calibration->addWidget(c_.calibrate_way);
    calibration->addStretch(1);
    calibration->addWidget(c_.save);
    auto* rows = new QVBoxLayout;
    rows->addLayout(stars);
    rows->addLayout(calibration);
    return rows;
}

void DriftAssistantWindow::open() {
    if (!placed_ && neighbour_ != nullptr && neighbour_->screen() != nullptr) {
        placed_ = true;
        place_beside_neighbour();
    }
    show();
    raise();
}

void DriftAssistantWindow::place_beside_neighbour() {
    const QRect room = neighbour_->screen()->availableGeometry();
    const QRect n = neighbour_->frameGeometry();
    const int frame = kTitleBar;
    ensurePolished();
    layout()->activate();  // the minimum in the fonts the window will show
    const QSize least = layout()->totalMinimumSize().expandedTo(minimumSizeHint());
    QSize size = this->size().boundedTo(room.size() - QSize(0, frame));
    QPoint at;
    // Under the neighbour only where the whole window fits there unscrolled.
    if (room.bottom() - n.bottom() - 8 - frame >= whole_size().height()) {
        // Under the neighbour, down at the bottom of the screen.
        size.setHeight(std::min(size.height(), room.bottom() - n.bottom() - 8 - frame));
        at = {n.left(), room.bottom() + 1 - size.height() - frame};
    } else {
        // Beside it; moved back onto the screen below when that is too narrow.
        at = {n.right() + 8, room.top()};
        size.setWidth(std::min(size.width(), room.right() - n.right() - 8));
    }
    size = size.expandedTo(least).boundedTo(room.size());
    at.setX(std::clamp(at.x(), room.left(), room.right() + 1 - size.width()));
    at.setY(
        std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() + 1 - size.height())));
    resize(size);
    move(at);
}

void DriftAssistantWindow::show_assistant(const DriftAssistant& a) {
    const DriftSummary& s = drift_summary_now(a);
    chart::DriftChart shown = report::assistant_chart(a, chart::ChartStyle::night);
    chart_in_words(shown, report::assistant_chart_caption(a), s);
    c_.chart->set_chart(std::move(shown));
    const DriftAdvice advice = drift_advice(s);
    const AlignmentStep step = alignment_step(a);
    // The error is the headline only once it is known well enough; before, how long.
    const bool measuring = !a.segments.empty() && a.segments.back().count > 0;
    c_.error->setText(step.show == AnswerShown::error || !measuring ? error_text(s)
                                                                    : progress_headline(step));
    c_.component->setText(s.component ? component_word(*s.component) : QStringLiteral("—"));
    // No way and no turn said before north is known or the answer is enough; "may be fine"
    // only when it surely is.
    // Before the first pick the advice's own sentence stands (it asks to wait); an armed
    // calibration speaks while its segment is the current one.
    QString sentence = a.segments.empty() ? QString() : step_sentence(step);
    if (const std::optional<CalibrationState> c = calibration_now(a);
        c && (a.calibrate_next || a.segments.back().calibration) &&
        (sentence.isEmpty() || c->outcome != CalibrationOutcome::found))
        sentence = calibration_sentence(*c);
    if (sentence.isEmpty()) {
        DriftAdvice said = advice;
        const bool unsure = (advice.kind == AdviceKind::turn && !s.enough.value_or(false)) ||
                            (advice.kind == AdviceKind::within_noise && !step.may_be_fine);
        if (unsure || (advice.kind == AdviceKind::turn && !step.direction_known))
            said.kind = AdviceKind::wait_for_images;
        sentence = advice_sentence(said);
        if (step.knob_allowed && (step.action == StepAction::turn_azimuth_knob ||
                                  step.action == StepAction::turn_altitude_knob))
            sentence +=
                u' ' + knob_prompt(step.action == StepAction::turn_azimuth_knob ? Knob::azimuth
                                                                                : Knob::altitude);
    }
    c_.advice->setText(sentence);
    // North wanted: the headline asks for it, in full.
    c_.progress->setText(
        advice.progress == ProgressKind::orientation_needed ? QString() : progress_text(advice));

    c_.seeing->setText(number(s.seeing_arcsec, "%.2f", "″"));
    c_.r2->setText(number(s.r2, "%.3f"));
    c_.minutes->setText(std::isfinite(s.minutes) ? minutes_text(s.minutes) : QStringLiteral("—"));
    show_tracking(s);
    if (a.images.empty()) {
        c_.snr->setText(QStringLiteral("—"));
        c_.hfd->setText(QStringLiteral("—"));
        c_.warnings->clear();
    } else {
        const StarMeasurement& star = *a.images.back().measurement.star;
        c_.snr->setText(QString::asprintf("%.0f", star.snr));
        c_.hfd->setText(QString::asprintf("%.2f px", star.hfd));
        QStringList warnings;
        if (const QString flags = star_warnings(star.flags); !flags.isEmpty()) warnings << flags;
        for (const DriftNote& note : s.notes)
            if (const QString words = star_note_words(note); !words.isEmpty()) warnings << words;
        c_.warnings->setText(warnings.join(u'\n'));
    }
    c_.inputs->show_inputs(a);
    c_.knob_target->show_assistant(a);
    c_.pole_target->show_assistant(a);
    c_.where->show_assistant(a);

    c_.segments->clear();
    const std::size_t count = a.segments.size();
    for (std::size_t k = count > kSegmentsListed ? count - kSegmentsListed : 0; k < count; ++k) {
        DriftSummary line = a.segments[k].summary;
        if (!step.direction_known) line.direction.reset();
        c_.segments->addItem(segment_line(k, line));
    }
}

void DriftAssistantWindow::show_tracking(const DriftSummary& s) {
    QString rate = number(s.ra_rate_arcsec_per_min, "%+.2f");
    if (s.ra_rate_arcsec_per_min) rate += tr("″/分", "arcseconds per minute");
    if (s.drive_rate_permille) rate += QString::asprintf(" (%+.1f‰)", *s.drive_rate_permille);
    c_.ra_rate->setText(rate);
    if (s.pe_arcsec && s.pe_period_min)
        c_.periodic->setText(tr("%1″ (周期 %2 分)", "peak to peak, period")
                                 .arg(*s.pe_arcsec, 0, 'f', 1)
                                 .arg(*s.pe_period_min, 0, 'f', 1));
    else
        c_.periodic->setText(QStringLiteral("—"));
    c_.altitude->setText(number(s.altitude_deg, "%.1f", "°"));
    QString refraction = number(s.refraction_arcsec_per_min, "%+.2f");
    if (s.refraction_arcsec_per_min) refraction += tr("″/分", "arcseconds per minute");
    c_.refraction->setText(refraction);
}

void DriftAssistantWindow::ask_where_to_save() {
    QString filter;
    const QString chosen =
        QFileDialog::getSaveFileName(this, tr("ドリフト解析の保存"), QStringLiteral("drift.png"),
                                     tr("PNG 画像 (*.png);;SVG 画像 (*.svg)"), &filter);
    if (chosen.isEmpty()) return;
    const QFileInfo info(chosen);
    QString suffix = info.suffix().toLower();
    if (suffix != QStringLiteral("png") && suffix != QStringLiteral("svg"))
        suffix =
            filter.contains(QStringLiteral("svg")) ? QStringLiteral("svg") : QStringLiteral("png");
    const QString stem = info.path() + QStringLiteral("/") + info.completeBaseName();
    emit saveRequested(stem + QStringLiteral(".csv"), stem + QStringLiteral(".json"),
                       stem + QStringLiteral(".") + suffix);
}

}  // namespace trakora::ui
