// SPDX-License-Identifier: MIT
#include "ui/drift_session_save.hpp"

#include "report/assistant_chart.hpp"
#include "report/session_csv.hpp"
#include "report/summary_json.hpp"

namespace trakora::ui {

std::string save_drift_session(const DriftAssistant& assistant, const DriftSessionFiles& files) {
    std::string reasons;
    const auto note = [&reasons](bool written, const std::string& error) {
        if (written) return;
        if (!reasons.empty()) reasons += '\n';
        reasons += error;
    };
    std::string error;
    note(report::write_session_csv(files.csv, assistant, &error), error);
    note(report::write_summary_json(files.json, drift_summary_now(assistant), &error), error);
    note(report::write_assistant_chart(files.plot, assistant, kSavedPlotWidth, kSavedPlotHeight,
                                       &error),
         error);
    return reasons;
}

}  // namespace trakora::ui
