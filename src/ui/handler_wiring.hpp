// SPDX-License-Identifier: MIT
// Connects the controls of both windows, Timer1 and the drift window to the core's
// handlers.
#pragma once

#include "core/state.hpp"
#include "ui/qt_view.hpp"

namespace trakora::ui {

// Every user action and every tick runs its handler with `state` and `view`; both must
// outlive the windows. Call once, before form1::Form_Load.
void wire_handlers(State& state, QtView& view);

// The drift window's part of it (wire_handlers calls it): opening it from the main
// window, "新しい区間", the typed inputs and "保存…".
void wire_drift_window(State& state, QtView& view);

}  // namespace trakora::ui
