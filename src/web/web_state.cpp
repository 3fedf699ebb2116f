// SPDX-License-Identifier: MIT
#include "web/web_state.hpp"

#include <ctime>

#include "base/json_text.hpp"
#include "report/summary_json.hpp"
#include "session/alignment_step.hpp"
#include "session/drift_actions.hpp"
#include "session/drift_advice.hpp"
#include "session/where_to_point.hpp"
#include "web/cutout_png.hpp"
#include "web/words.hpp"

namespace trakora::web {
namespace {

std::string utc_text(double unix_s) {
    const std::time_t t = static_cast<std::time_t>(unix_s);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return text;
}

void key(std::string& out, const char* name) {
    append_json_string(out, name);
    out += ": ";
}

void number(std::string& out, const char* name, double value) {
    key(out, name);
    append_json_number(out, value);
    out += ", ";
}

void patch(std::string& out, const char* name, const std::optional<SkyPatch>& p) {
    key(out, name);
    if (!p) {
        out += "null";
        return;
    }
    out += "{";
    number(out, "ha_hours", p->ha_hours);
    number(out, "dec_deg", p->dec_deg);
    number(out, "ra_hours", p->ra_hours);
    number(out, "altitude_deg", p->altitude_deg);
    key(out, "stars");
    out += "[";
    for (std::size_t k = 0; k < p->stars.size(); ++k) {
        if (k) out += ", ";
        append_json_string(out, p->stars[k].name);
    }
    out += "]}";
}

const char* next_phase_code(NextPhase next) {
    switch (next) {
        case NextPhase::azimuth:
            return "azimuth";
        case NextPhase::altitude:
            return "altitude";
        case NextPhase::both_known:
            return "both_known";
        case NextPhase::nearly_aligned:
            return "nearly_aligned";
        case NextPhase::aligned:
            break;
    }
    return "aligned";
}

}  // namespace

std::string web_state_json(const DriftAssistant& a, const TickFacts& tick,
                           const std::string& lang) {
    const DriftSummary& summary = drift_summary_now(a);
    std::string out = "{";
    key(out, "lang");
    append_json_string(out, lang);
    out += ", ";
    key(out, "tick");
    out += "{";
    number(out, "count", static_cast<double>(tick.count));
    key(out, "time");
    append_json_string(out, utc_text(tick.unix_s));
    out += ", ";
    key(out, "image");
    append_json_string(out, a.latest ? a.latest->file : std::string());
    out += "}, ";
    key(out, "summary");
    out += report::summary_json(summary, a);
    out += ", ";

    const DriftAdvice advice = drift_advice(summary);
    key(out, "advice");
    out += "{";
    key(out, "kind");
    append_json_string(out, advice_code(advice.kind));
    out += ", ";
    key(out, "progress");
    append_json_string(out, progress_code(advice.progress));
    out += ", ";
    key(out, "text");
    append_json_string(out, advice_text(advice, lang));
    out += "}, ";
    const AlignmentStep step = alignment_step(a);
    key(out, "phase");
    out += "{";
    key(out, "name");
    append_json_string(out, alignment_phase_name(step.phase));
    out += ", ";
    key(out, "action");
    append_json_string(out, step_action_name(step.action));
    out += ", ";
    key(out, "text");
    // Once the knob's button is pressed the same step asks only to turn on.
    const bool turning = a.adjusting && (step.action == StepAction::turn_azimuth_knob ||
                                         step.action == StepAction::turn_altitude_knob);
    append_json_string(out,
                       word(lang, turning ? std::string("step_turning_knob")
                                          : std::string("step_") + step_action_name(step.action)));
    out += "}, ";
    key(out, "refused");
    out += "{";
    for (const DriftAction action : {DriftAction::turn_azimuth, DriftAction::turn_altitude}) {
        key(out, action == DriftAction::turn_azimuth ? "turn-azimuth" : "turn-altitude");
        const std::optional<DriftRefusal> refused = drift_action_refusal(a, action);
        if (refused)
            append_json_string(out, drift_refusal_name(*refused));
        else
            out += "null";
        out += action == DriftAction::turn_azimuth ? ", " : "}, ";
    }

    key(out, "knob_target");
    if (!a.adjusting) {
        out += "null, ";
    } else {
        const KnobAdjusting& k = *a.adjusting;
        out += "{";
        key(out, "knob");
        append_json_string(out, k.adjust.knob == Knob::azimuth ? "azimuth" : "altitude");
        out += ", ";
        number(out, "anchor_x", k.anchor.x);
        number(out, "anchor_y", k.anchor.y);
        number(out, "target_x", k.target.x);
        number(out, "target_y", k.target.y);
        number(out, "star_x", k.star.x);
        number(out, "star_y", k.star.y);
        number(out, "to_go_px", k.to_go_px);
        number(out, "to_go_arcsec", k.to_go_arcsec);
        key(out, "reached");
        out += k.reached ? "true, " : "false, ";
        key(out, "lost");
        out += k.lost ? "true}, " : "false}, ";
    }

    const WhereToPoint where = where_to_point(a, std::nullopt, tick.unix_s);
    key(out, "point");
    out += "{";
    key(out, "next");
    append_json_string(out, next_phase_code(where.next));
    out += ", ";
    const std::optional<SkyPlan>& plan = where.plan;
    patch(out, "azimuth", plan ? plan->azimuth : std::nullopt);
    out += ", ";
    patch(out, "altitude_east", plan ? plan->altitude_east : std::nullopt);
    out += ", ";
    patch(out, "altitude_west", plan ? plan->altitude_west : std::nullopt);
    out += "}, ";

    key(out, "segment_requested");
    if (a.segment_requested)
        append_json_string(out, segment_reason_name(*a.segment_requested));
    else
        out += "null";
    out += "}\n";
    return out;
}

Refusals drift_refusals(const DriftAssistant& a) {
    Refusals refusals;
    for (const DriftAction action :
         {DriftAction::new_segment, DriftAction::new_star, DriftAction::calibrate,
          DriftAction::turn_azimuth, DriftAction::turn_altitude})
        if (const std::optional<DriftRefusal> refused = drift_action_refusal(a, action))
            refusals[action] = drift_refusal_name(*refused);
    return refusals;
}

void publish_session(Mailbox& mailbox, const DriftAssistant& a, const TickFacts& tick,
                     const std::string& lang) {
    mailbox.publish(web_state_json(a, tick, lang),
                    a.adjusting ? cutout_png(*a.adjusting) : QByteArray(), drift_refusals(a));
}

}  // namespace trakora::web
