// SPDX-License-Identifier: MIT
#include "ui/drift_session_save.hpp"

#include "chart/drift_chart_files.hpp"
#include "report/assistant_chart.hpp"
#include "report/session_csv.hpp"
#include "report/summary_json.hpp"
#include "ui/drift_words.hpp"

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
    const DriftSummary& summary = drift_summary_now(assistant);
    note(report::write_summary_json(files.json, summary, &error), error);
    // The plot in the words the window shows.
    chart::DriftChart plot = report::assistant_chart(assistant);
    chart_in_words(plot, report::assistant_chart_caption(assistant), summary);
    note(chart::write_drift_chart(files.plot, plot, QSize(kSavedPlotWidth, kSavedPlotHeight),
                                  &error),
         error);
    return reasons;
}

}  // namespace trakora::ui
