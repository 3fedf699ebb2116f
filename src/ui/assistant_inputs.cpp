// SPDX-License-Identifier: MIT
#include "ui/assistant_inputs.hpp"

#include <QGridLayout>
#include <algorithm>
#include <cmath>

#include "analysis/polar_error.hpp"

namespace trakora::ui {

namespace {

struct InputText {
    DriftInput which;
    const char* name;
    const char* format;  // of the value shown
};

constexpr std::array<InputText, 4> kInputs = {{
    {DriftInput::scale, QT_TRANSLATE_NOOP("trakora::ui::AssistantInputs", "縮尺 (″/px)"), "%.3f"},
    {DriftInput::dec, QT_TRANSLATE_NOOP("trakora::ui::AssistantInputs", "赤緯 (°)"), "%.2f"},
    {DriftInput::ha, QT_TRANSLATE_NOOP("trakora::ui::AssistantInputs", "時角 (時, 西が正)"),
     "%.2f"},
    {DriftInput::lat, QT_TRANSLATE_NOOP("trakora::ui::AssistantInputs", "緯度 (°)"), "%.2f"},
}};

// The choices of the north box and the angle of north each stands for.
constexpr std::array<const char*, 4> kNorthNames = {
    QT_TRANSLATE_NOOP("trakora::ui::AssistantInputs", "上"),
    QT_TRANSLATE_NOOP("trakora::ui::AssistantInputs", "下"),
    QT_TRANSLATE_NOOP("trakora::ui::AssistantInputs", "左"),
    QT_TRANSLATE_NOOP("trakora::ui::AssistantInputs", "右")};
constexpr std::array<double, 4> kNorthAngles = {0, 180, 270, 90};

// The calibration box's choices after its first, なし.
constexpr std::array<CalibrationMove, 4> kMoves = {CalibrationMove::north, CalibrationMove::south,
                                                   CalibrationMove::east, CalibrationMove::west};
constexpr std::array<const char*, 4> kMoveNames = {
    QT_TRANSLATE_NOOP("trakora::ui::AssistantInputs", "北"),
    QT_TRANSLATE_NOOP("trakora::ui::AssistantInputs", "南"),
    QT_TRANSLATE_NOOP("trakora::ui::AssistantInputs", "東"),
    QT_TRANSLATE_NOOP("trakora::ui::AssistantInputs", "西")};

int north_choice(double north_deg) {
    for (std::size_t k = 0; k < kNorthAngles.size(); ++k)
        if (kNorthAngles[k] == north_deg) return static_cast<int>(k);
    return 0;
}

QString source_text(InputSource source) {
    switch (source) {
        case InputSource::header:
            return AssistantInputs::tr("ヘッダー");
        case InputSource::typed:
            return AssistantInputs::tr("入力", "where the value in use came from");
        case InputSource::none:
            break;
    }
    return AssistantInputs::tr("なし");
}

// Where north's angle in use came from.
QString orientation_source_text(AngleSource source) {
    switch (source) {
        case AngleSource::typed:
            return AssistantInputs::tr("入力", "where the value in use came from");
        case AngleSource::header:
            return AssistantInputs::tr("ヘッダー");
        case AngleSource::calibration:
            return AssistantInputs::tr("校正", "north's angle from the calibration move");
        case AngleSource::refined:
            return AssistantInputs::tr("星の動き", "north's angle refined from the star's motion");
        case AngleSource::coarse:
            return AssistantInputs::tr("目安", "a coarse choice of north's side");
        case AngleSource::assumed:
            break;
    }
    return AssistantInputs::tr("既定");
}

// One air row: the value in use and where it came from, as the answer takes it; what the
// user typed stays in the box (a header's reading stands over it).
void show_air_row(AssistantInputs::AirRow& r, std::optional<double> typed, AirValue in_use,
                  const char* format) {
    QString source = AssistantInputs::tr("既定");
    if (in_use.source == AirSource::typed)
        source = AssistantInputs::tr("入力", "where the value in use came from");
    else if (in_use.source == AirSource::header)
        source = AssistantInputs::tr("ヘッダー");
    const QString shown = QString::asprintf(format, in_use.value);
    if (typed) {
        if (!r.edit->hasFocus() && r.edit->text().isEmpty())
            r.edit->setText(QString::asprintf(format, *typed));
    } else if (!r.edit->hasFocus()) {
        r.edit->clear();
    }
    r.edit->setPlaceholderText(shown);
    r.source->setText(source);
    r.clear->setEnabled(typed.has_value());
}

}  // namespace

QString calibration_move_hint(std::optional<CalibrationMove> move) {
    if (!move) return {};
    return AssistantInputs::tr(
               "区間の始めに手元のコントローラーの「%1」ボタンを1〜2秒押してください")
        .arg(AssistantInputs::tr(kMoveNames[static_cast<std::size_t>(*move)]));
}

std::optional<double> typed_air_value(bool pressure, const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok) return std::nullopt;
    const bool in_range = pressure ? v >= 500 && v <= 1100 : v >= -60 && v <= 50;
    if (!in_range) return std::nullopt;
    return v;
}

std::optional<double> typed_input_value(DriftInput which, const QString& text) {
    return drift_input_from_text(which, text.toStdString());
}

AssistantInputs::AssistantInputs(QWidget* parent)
    : QGroupBox(tr("入力", "the box's title"), parent) {
    auto* grid = new QGridLayout(this);
    int line = 0;
    for (const InputText& input : kInputs) {
        Row& r = row(input.which);
        r.which = input.which;
        r.edit = new QLineEdit(this);
        r.edit->setClearButtonEnabled(false);
        r.source = new QLabel(source_text(InputSource::none), this);
        // As wide as its widest text from the start, so the window does not grow later.
        int widest = 0;
        for (const InputSource source :
             {InputSource::header, InputSource::typed, InputSource::none})
            widest = std::max(widest, r.source->fontMetrics().horizontalAdvance(
                                          source_text(source) + QStringLiteral(" ")));
        r.source->setMinimumWidth(widest);
        r.clear = new QToolButton(this);
        r.clear->setText(QStringLiteral("×"));
        r.clear->setToolTip(tr("入力を消してヘッダーの値に戻す"));
        grid->addWidget(new QLabel(tr(input.name), this), line, 0);
        grid->addWidget(r.edit, line, 1);
        grid->addWidget(r.clear, line, 2);
        grid->addWidget(r.source, line, 3);
        const DriftInput which = input.which;
        connect(r.edit, &QLineEdit::editingFinished, this, [this, which] { finish_typing(which); });
        connect(r.clear, &QToolButton::clicked, this, [this, which] {
            row(which).edit->clear();
            emit cleared(which);
        });
        ++line;
    }
    const std::array<const char*, 2> air_names = {
        QT_TRANSLATE_NOOP("trakora::ui::AssistantInputs", "気温 (°C)"),
        QT_TRANSLATE_NOOP("trakora::ui::AssistantInputs", "気圧 (hPa)")};
    for (std::size_t k = 0; k < air_.size(); ++k) {
        AirRow& r = air_[k];
        r.edit = new QLineEdit(this);
        r.source = new QLabel(tr("既定"), this);
        r.source->setMinimumWidth(row(DriftInput::scale).source->minimumWidth());
        r.clear = new QToolButton(this);
        r.clear->setText(QStringLiteral("×"));
        r.clear->setToolTip(tr("入力を消してヘッダーの値に戻す"));
        grid->addWidget(new QLabel(tr(air_names[k]), this), line, 0);
        grid->addWidget(r.edit, line, 1);
        grid->addWidget(r.clear, line, 2);
        grid->addWidget(r.source, line, 3);
        connect(r.edit, &QLineEdit::editingFinished, this, [this] { send_air(); });
        connect(r.clear, &QToolButton::clicked, this, [this, k] {
            air_[k].edit->clear();
            send_air();
        });
        ++line;
    }
    north_ = new QComboBox(this);
    for (const char* name : kNorthNames) north_->addItem(tr(name));
    // An angle may be typed too: degrees from up toward the right.
    north_->setEditable(true);
    north_->setInsertPolicy(QComboBox::NoInsert);
    mirror_ = new QCheckBox(tr("鏡像"), this);
    orientation_source_ = new QLabel(this);
    grid->addWidget(new QLabel(tr("画像の北"), this), line, 0);
    grid->addWidget(north_, line, 1);
    grid->addWidget(orientation_source_, line, 3);
    ++line;
    grid->addWidget(mirror_, line, 1);
    ++line;
    calibration_ = new QComboBox(this);
    calibration_->addItem(tr("なし", "no calibration move"));
    for (const char* name : kMoveNames) calibration_->addItem(tr(name));
    calibration_->setToolTip(
        tr("手元のコントローラーで望遠鏡を動かし、星の跳びから北の向きを求めます"));
    calibration_hint_ = new QLabel(this);
    calibration_hint_->setWordWrap(true);
    grid->addWidget(new QLabel(tr("校正"), this), line, 0);
    grid->addWidget(calibration_, line, 1);
    ++line;
    grid->addWidget(calibration_hint_, line, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    connect(calibration_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (showing_) return;
        std::optional<CalibrationMove> move;
        if (index > 0) move = kMoves[static_cast<std::size_t>(index - 1)];
        calibration_hint_->setText(calibration_move_hint(move));
        emit calibrationChanged(move);
    });
    connect(north_, &QComboBox::currentIndexChanged, this, [this] { send_orientation(); });
    connect(mirror_, &QCheckBox::toggled, this, [this] { send_orientation(); });
    connect(north_->lineEdit(), &QLineEdit::editingFinished, this, [this] { send_typed_angle(); });
}

void AssistantInputs::send_typed_angle() {
    if (showing_) return;
    const QString text = north_->currentText().trimmed();
    if (north_->findText(text) >= 0) return;  // a choice: sent as the index changed
    bool ok = false;
    const double angle = text.toDouble(&ok);
    if (!ok || !std::isfinite(angle)) return;
    emit orientationChanged(
        {std::fmod(std::fmod(angle, 360.0) + 360.0, 360.0), mirror_->isChecked()}, true);
}

void AssistantInputs::send_air() {
    if (showing_) return;
    emit airChanged(typed_air_value(false, temperature().edit->text()),
                    typed_air_value(true, pressure().edit->text()));
}

void AssistantInputs::finish_typing(DriftInput which) {
    if (showing_) return;
    const QString text = row(which).edit->text();
    if (text.trimmed().isEmpty()) {
        emit cleared(which);
        return;
    }
    if (const auto v = typed_input_value(which, text)) emit typed(which, *v);
}

void AssistantInputs::send_orientation() {
    if (showing_) return;
    const QString text = north_->currentText().trimmed();
    if (north_->findText(text) < 0) {
        // An angle typed: the mirror goes with it.
        send_typed_angle();
        return;
    }
    emit orientationChanged(
        {kNorthAngles[static_cast<std::size_t>(std::max(north_->currentIndex(), 0))],
         mirror_->isChecked()},
        false);
}

void AssistantInputs::show_inputs(const DriftAssistant& a) {
    showing_ = true;
    for (const InputText& input : kInputs) {
        Row& r = row(input.which);
        const SourcedValue in_use = drift_input_value(a, input.which);
        r.source->setText(source_text(in_use.source));
        QString shown;
        if (in_use.value) shown = QString::asprintf(input.format, *in_use.value);
        // The box holds what was typed; the value in use otherwise shows greyed inside it.
        if (in_use.source == InputSource::typed) {
            if (!r.edit->hasFocus() && r.edit->text().isEmpty()) r.edit->setText(shown);
        } else if (!r.edit->hasFocus()) {
            r.edit->clear();
        }
        r.edit->setPlaceholderText(shown.isEmpty() ? tr("不明") : shown);
        r.clear->setEnabled(in_use.source == InputSource::typed);
    }
    const Orientation o = a.typed.orientation;
    if (a.typed.angle_source == AngleSource::typed && !north_->lineEdit()->hasFocus())
        north_->setEditText(QString::number(o.north_deg, 'g', 6));
    else if (!north_->lineEdit()->hasFocus())
        north_->setCurrentIndex(north_choice(o.north_deg));
    mirror_->setChecked(o.mirror);
    // Where the answer's angle came from, with the angle when it is not the one in the box.
    const DriftSummary& now = drift_summary_now(a);
    const AngleSource used = now.angle_source.value_or(a.typed.angle_source);
    QString source = orientation_source_text(used);
    if (now.angle_deg && used != AngleSource::typed && angle_known(used))
        source += QStringLiteral(" %1°").arg(*now.angle_deg, 0, 'f', 1);
    orientation_source_->setText(source);
    const KeywordValue none;
    const ObservingKeywords* header = nullptr;
    if (!a.segments.empty() && a.segments.back().first < a.images.size())
        header = &a.images[a.segments.back().first].measurement.keywords;
    show_air_row(
        temperature(), a.typed.temperature_c,
        air_temperature(a.typed.temperature_c, header != nullptr ? header->temperature_c : none),
        "%.1f");
    show_air_row(
        pressure(), a.typed.pressure_hpa,
        air_pressure(a.typed.pressure_hpa, header != nullptr ? header->pressure_hpa : none),
        "%.0f");
    const std::optional<CalibrationMove> move = a.typed.calibration;
    calibration_->setCurrentIndex(move ? static_cast<int>(*move) + 1 : 0);
    calibration_hint_->setText(calibration_move_hint(move));
    showing_ = false;
}

}  // namespace trakora::ui
