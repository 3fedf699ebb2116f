// SPDX-License-Identifier: MIT
// Connects the controls of both windows and Timer1 to the core's handlers.
#pragma once

#include "core/state.hpp"
#include "ui/qt_view.hpp"

namespace trakora::ui {

// Every user action and every tick runs its handler with `state` and `view`; both must
// outlive the windows. Call once, before form1::Form_Load.
void wire_handlers(State& state, QtView& view);

}  // namespace trakora::ui
