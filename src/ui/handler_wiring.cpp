// SPDX-License-Identifier: MIT
#include "ui/handler_wiring.hpp"

#include <QMessageBox>
#include <type_traits>

#include "core/handler_scope.hpp"
#include "core/handlers.hpp"
#include "core/measured_image.hpp"
#include "session/assistant_handlers.hpp"
#include "ui/drift_session_save.hpp"

namespace trakora::ui {
namespace {

// One of the drift window's handlers: changes the session, then shows the assistant unless
// the change returns false.
template <class Change>
void change_drift(State& s, View& v, Change change) {
    HandlerScope scope(s);
    if constexpr (std::is_void_v<std::invoke_result_t<Change, DriftAssistant&>>)
        change(s.assistant);
    else if (!change(s.assistant))
        return;
    v.show_drift_assistant(s.assistant);
}

// "New segment": after a knob was turned with the star followed, the object window's
// pick goes to the star's new place, as the user's click there would (the main window's
// series then follows it from there); otherwise the next image starts the segment.
void new_drift_segment(State& s, View& v) {
    const std::optional<KnobAdjusting>& k = s.assistant.adjusting;
    if (k && !k->lost && s.object_pick_enabled != 0 && v.object_window_open()) {
        // The picture's drawing units are the image's pixels.
        const Position at = k->star;
        form4::Picture1_MouseDown(s, v, 1, 0, static_cast<float>(at.x), static_cast<float>(at.y));
        return;
    }
    change_drift(s, v, [](DriftAssistant& a) { start_drift_segment(a); });
}

}  // namespace

void wire_handlers(State& state, QtView& view) {
    State* s = &state;
    View* v = &view;
    MainWindow& form1 = view.main_window();
    const Form1Controls& c = form1.controls();

    QObject::connect(c.drive1, &DriveList::driveChosen, &form1,
                     [s, v] { form1::Drive1_Change(*s, *v); });
    QObject::connect(c.dir1, &FolderList::folderOpened, &form1,
                     [s, v] { form1::Dir1_Change(*s, *v); });
    QObject::connect(c.text2, &QLineEdit::textChanged, &form1,
                     [s, v] { form1::Text2_Change(*s, *v); });
    QObject::connect(&form1, &MainWindow::text3KeyPressed, &form1,
                     [s, v](std::int16_t& key_ascii) { form1::Text3_KeyPress(*s, *v, key_ascii); });
    QObject::connect(c.command1, &QPushButton::clicked, &form1,
                     [s, v] { form1::Command1_Click(*s, *v); });
    QObject::connect(c.command2, &QPushButton::clicked, &form1,
                     [s, v] { form1::Command2_Click(*s, *v); });
    QObject::connect(c.command3, &QPushButton::clicked, &form1,
                     [s, v] { form1::Command3_Click(*s, *v); });
    QObject::connect(c.timer1, &PollTimer::tick, &form1, [s, v] { form1::Timer1_Timer(*s, *v); });
    QObject::connect(&form1, &MainWindow::closing, &form1, [s, v] { form1::Form_Unload(*s, *v); });

    QObject::connect(&view.object_window().picture(), &ObjectPicture::pressed, &form1,
                     [s, v](std::int16_t button, std::int16_t shift, float x, float y) {
                         form4::Picture1_MouseDown(*s, *v, button, shift, x, y);
                     });
    wire_drift_window(state, view);
}

void wire_drift_window(State& state, QtView& view) {
    State* s = &state;
    View* v = &view;
    DriftAssistantWindow* drift = &view.drift_window();
    const AssistantInputs* inputs = drift->controls().inputs;

    // The desktop's answer takes the air's refraction off, with the header's weather or
    // the defaults, as replay does.
    state.assistant.typed.refraction = true;
    QObject::connect(&view.main_window(), &MainWindow::driftWindowRequested, drift, [s, v, drift] {
        v->show_drift_assistant(s->assistant);
        drift->open();
    });
    // The check box follows the rule in use and sets it: the next tick looks by it.
    drift->controls().any_case->setChecked(s->name_rule == NameRule::any);
    QObject::connect(drift, &DriftAssistantWindow::anyCaseToggled, drift,
                     [s](bool any) { s->name_rule = any ? NameRule::any : NameRule::specified; });
    QObject::connect(drift, &DriftAssistantWindow::newSegmentRequested, drift,
                     [s, v] { new_drift_segment(*s, *v); });
    QObject::connect(drift, &DriftAssistantWindow::newStarRequested, drift, [s, v] {
        change_drift(*s, *v, [](DriftAssistant& a) { start_drift_new_star(a); });
    });
    KnobTargetView* knobs = drift->controls().knob_target;
    QObject::connect(knobs, &KnobTargetView::turnRequested, drift, [s, v](Knob knob) {
        change_drift(*s, *v, [&](DriftAssistant& a) {
            return start_knob_adjust(a, measured_plane(*s), knob);
        });
    });
    QObject::connect(
        drift, &DriftAssistantWindow::calibrateRequested, drift, [s, v](CalibrationMove move) {
            change_drift(*s, *v, [&](DriftAssistant& a) { arm_drift_calibration(a, move); });
        });
    QObject::connect(
        inputs, &AssistantInputs::typed, drift, [s, v](DriftInput which, double value) {
            change_drift(*s, *v,
                         [&](DriftAssistant& a) { return set_drift_input(a, which, value); });
        });
    QObject::connect(inputs, &AssistantInputs::cleared, drift, [s, v](DriftInput which) {
        change_drift(*s, *v, [&](DriftAssistant& a) { clear_drift_input(a, which); });
    });
    QObject::connect(
        inputs, &AssistantInputs::orientationChanged, drift, [s, v](Orientation o, bool exact) {
            change_drift(*s, *v, [&](DriftAssistant& a) {
                set_drift_orientation(a, o, exact ? AngleSource::typed : AngleSource::coarse);
            });
        });
    // The weather typed: the air's other settings stay as they are.
    QObject::connect(
        inputs, &AssistantInputs::airChanged, drift,
        [s, v](std::optional<double> temperature_c, std::optional<double> pressure_hpa) {
            change_drift(*s, *v, [&](DriftAssistant& a) {
                set_drift_air(a, a.typed.refraction, temperature_c, pressure_hpa, a.typed.target);
            });
        });
    // A calibration move is made at the start of a segment: the next image starts one,
    // whose jump is looked for until it is found.
    QObject::connect(
        inputs, &AssistantInputs::calibrationChanged, drift,
        [s, v](std::optional<CalibrationMove> move) {
            change_drift(*s, *v, [&](DriftAssistant& a) { set_drift_calibration(a, move); });
            if (move)
                change_drift(*s, *v, [&](DriftAssistant& a) { arm_drift_calibration(a, *move); });
        });
    QObject::connect(
        drift, &DriftAssistantWindow::saveRequested, drift,
        [s, drift](const QString& csv, const QString& json, const QString& plot) {
            const std::string failed = save_drift_session(
                s->assistant, {csv.toStdString(), json.toStdString(), plot.toStdString()});
            if (!failed.empty())
                QMessageBox::warning(drift, DriftAssistantWindow::tr("ドリフト解析の保存"),
                                     DriftAssistantWindow::tr("保存できませんでした。\n%1")
                                         .arg(QString::fromStdString(failed)));
        });
}

}  // namespace trakora::ui
