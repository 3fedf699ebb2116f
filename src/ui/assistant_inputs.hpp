// SPDX-License-Identifier: MIT
// The drift window's inputs: plate scale, declination, hour angle and latitude, each with
// the value in use and where it came from (header or typed), and the image's orientation.
// A typed value is sent when the user finishes typing; an emptied box (or its "×") goes
// back to the header's value.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <array>
#include <optional>

#include "session/drift_assistant.hpp"

namespace trakora::ui {

class AssistantInputs : public QGroupBox {
    Q_OBJECT
  public:
    struct Row {
        DriftInput which;
        QLineEdit* edit = nullptr;  // the typed value; the header's as placeholder
        QLabel* source = nullptr;   // "ヘッダー", "入力" or "なし"
        QToolButton* clear = nullptr;
    };

    // The air's temperature and pressure: typed, else the header's, else the defaults.
    struct AirRow {
        QLineEdit* edit = nullptr;
        QLabel* source = nullptr;  // "入力", "ヘッダー" or "既定"
        QToolButton* clear = nullptr;
    };

    explicit AssistantInputs(QWidget* parent = nullptr);

    void show_inputs(const DriftAssistant& a);

    Row& row(DriftInput which) { return rows_[static_cast<std::size_t>(which)]; }
    QComboBox* north() const { return north_; }
    QCheckBox* mirror() const { return mirror_; }
    AirRow& temperature() { return air_[0]; }
    AirRow& pressure() { return air_[1]; }
    QComboBox* calibration() const { return calibration_; }  // なし, 北, 南, 東, 西
    QLabel* calibration_hint() const { return calibration_hint_; }

  signals:
    void typed(DriftInput which, double value);
    void cleared(DriftInput which);
    // `exact`: an angle typed into the box; otherwise one of the four coarse choices.
    void orientationChanged(Orientation orientation, bool exact);
    // The hand controller's button for the calibration move, nullopt for none.
    void calibrationChanged(std::optional<CalibrationMove> move);
    // Both boxes as they stand whenever one is finished or cleared; nullopt: not typed.
    void airChanged(std::optional<double> temperature_c, std::optional<double> pressure_hpa);

  private:
    void finish_typing(DriftInput which);
    void send_orientation();
    void send_typed_angle();
    void send_air();

    std::array<Row, 4> rows_{};
    std::array<AirRow, 2> air_{};
    QComboBox* north_ = nullptr;
    QCheckBox* mirror_ = nullptr;
    QLabel* orientation_source_ = nullptr;
    QComboBox* calibration_ = nullptr;
    QLabel* calibration_hint_ = nullptr;  // what to press, and when
    bool showing_ = false;                // filling the controls: their signals are not the user's
};

// What the user is to press for a calibration move; empty for none.
QString calibration_move_hint(std::optional<CalibrationMove> move);

// A typed temperature (degrees C, -60 to 50) or pressure (hPa, 500 to 1100), as replay's
// --temperature and --pressure take them; nullopt when it is not one.
std::optional<double> typed_air_value(bool pressure, const QString& text);

// What the user typed for an input, read as the program reads it: plain decimals, and
// for declination and latitude also "+dd mm ss"; nullopt when it is not a value.
std::optional<double> typed_input_value(DriftInput which, const QString& text);

}  // namespace trakora::ui
