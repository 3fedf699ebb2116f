// SPDX-License-Identifier: MIT
// The drift window ("ドリフト解析 - Trakora"): the live answer of the drift assistant. The
// time plot, the error in large type with the component and one line of advice, the
// measurement's quality and warnings, the inputs with their sources, the last segments'
// errors, and "保存…". Beside the inputs, always in the same place, the actions of a
// round: "新しい星" (Ctrl+N), "新しい区間" (Ctrl+G) and "校正" (Ctrl+K) with its button's
// way; beside them "スマホで表示", the address of the page for a phone. Laid out, not placed:
// it resizes and follows the screen's scale, and never grows by itself when its texts change;
// on a screen too small for it, everything under the advice scrolls. Closing it only hides it.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>

#include "session/drift_assistant.hpp"
#include "ui/assistant_inputs.hpp"
#include "ui/drift_chart_view.hpp"
#include "ui/knob_target_view.hpp"
#include "ui/pole_target_view.hpp"
#include "ui/where_to_point_view.hpp"

namespace trakora::ui {

struct DriftWindowControls {
    DriftChartView* chart = nullptr;
    QLabel* error = nullptr;      // "3.1′ ± 0.2′"
    QLabel* component = nullptr;  // "方位"
    QLabel* advice = nullptr;
    QLabel* progress = nullptr;  // "十分です" / "あと約 4 分"
    QLabel* seeing = nullptr;
    QLabel* snr = nullptr;
    QLabel* hfd = nullptr;
    QLabel* r2 = nullptr;
    QLabel* minutes = nullptr;
    // The mount's tracking: RA rate and drive-rate error, periodic error and its period.
    QLabel* ra_rate = nullptr;     // "+0.12″/分 (+0.5‰)"
    QLabel* periodic = nullptr;    // "20.0″ / 8.0 分"
    QLabel* altitude = nullptr;    // "25.0°"
    QLabel* refraction = nullptr;  // "+0.65″/分"
    QLabel* warnings = nullptr;
    AssistantInputs* inputs = nullptr;
    QListWidget* segments = nullptr;
    QPushButton* new_segment = nullptr;
    QPushButton* new_star = nullptr;     // after a slew the headers do not tell
    QComboBox* calibrate_way = nullptr;  // 北, 南, 東, 西: the hand controller's button
    QPushButton* calibrate = nullptr;
    QPushButton* save = nullptr;
    QPushButton* phone = nullptr;   // "スマホで表示": the page's address and its QR code
    QCheckBox* any_case = nullptr;  // lower-case .fit / .fits / .fts, .fz and .xisf too
    // Both components: the pole target, the cut-out and the knob buttons, where to point.
    PoleTargetView* pole_target = nullptr;
    KnobTargetView* knob_target = nullptr;
    WhereToPointView* where = nullptr;
    QScrollArea* body = nullptr;  // all under the advice
};

class DriftAssistantWindow : public QWidget {
    Q_OBJECT
  public:
    explicit DriftAssistantWindow(QWidget* parent = nullptr);

    // Fills every part from the assistant; cheap when the window is hidden (only the
    // chart's data is kept, it paints when shown).
    void show_assistant(const DriftAssistant& a);
    // Shows the window, raised, where the user last left it. The first showing puts it
    // under `neighbour` at the bottom of the screen, clear of the object window that
    // opens to the neighbour's right; without room there, beside it, on the screen.
    void open();
    void place_first_below(const QWidget* neighbour) { neighbour_ = neighbour; }
    // The page for a phone is served at `address` (with its token): "スマホで表示" shows it.
    void set_page_address(const QString& address) { page_address_ = address; }

    const DriftWindowControls& controls() const { return c_; }

  signals:
    void newSegmentRequested();
    void newStarRequested();
    void calibrateRequested(trakora::CalibrationMove move);
    // The user chose where to save: the CSV, JSON and plot paths.
    void saveRequested(const QString& csv, const QString& json, const QString& plot);
    void anyCaseToggled(bool any);

  private:
    void build();
    QSize whole_size() const;
    QSize first_size() const;
    QVBoxLayout* action_rows();
    void ask_where_to_save();
    void show_tracking(const DriftSummary& s);
    void place_beside_neighbour();

    DriftWindowControls c_;
    const QWidget* neighbour_ = nullptr;
    bool placed_ = false;
    QString page_address_;
};

// The warnings for a star's flags, one short phrase each, joined by "・" (in Japanese);
// "" when clean.
QString star_warnings(unsigned flags);

}  // namespace trakora::ui
