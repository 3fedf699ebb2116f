// SPDX-License-Identifier: MIT
#include "core/assistant_handlers.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <span>
#include <system_error>

#include "analysis/star_measurement.hpp"
#include "core/handler_scope.hpp"
#include "core/series.hpp"
#include "fits/observation_time.hpp"

namespace trakora {
namespace {

// The largest value a sample of the image's format can hold.
double sample_range_top(const State& s) {
    const double bits = std::abs(s.fits_bitpix);
    if (bits == 8) return 255;
    if (bits == 16) return 65535;
    return 2147483647.0;
}

// The current image's header as keyword -> value: the cards read for it, up to END.
HeaderValues current_header(const State& s) {
    const auto read = static_cast<std::size_t>(
        std::clamp<Number>(s.header_end_card - 1, 0, static_cast<Number>(kHeaderCardSlots - 1)));
    return header_values(std::span<const std::string>(s.header_cards).subspan(1, read));
}

std::optional<double> modified_unix_s(const std::filesystem::path& path) {
    std::error_code ec;
    const auto written = std::filesystem::last_write_time(path, ec);
    if (ec) return std::nullopt;
    const auto since_1970 = std::chrono::file_clock::to_sys(written).time_since_epoch();
    return std::chrono::duration<double>(since_1970).count();
}

void show(State& s, View& v) { v.show_drift_assistant(s.assistant); }

}  // namespace

void update_drift_assistant(State& s, View& v, int slot, bool pick) {
    if (s.image_width <= 0 || s.image_height <= 0) return;
    if (slot < 1 || slot >= kSlotCount) return;
    DriftAssistant& a = s.assistant;
    if (pick) reset_drift_session(a);

    const HeaderValues header = current_header(s);
    const ObservingKeywords keywords = read_observing_keywords(header);
    DriftAssistantSample sample;
    sample.slot = slot;
    sample.file = s.fits_file_name;
    sample.date_obs = header_value(header, "DATE-OBS").value_or("");
    sample.x = s.measurements[slot][0];
    sample.y = s.measurements[slot][1];
    sample.label = row_change_text(s, slot);
    // The file's modification time is looked up only when the header gives no time.
    std::optional<ObservationTime> time = keywords.time;
    if (!time)
        time = observation_time(
            header,
            modified_unix_s(std::filesystem::path(v.text(TextField::Folder)) / s.fits_file_name));
    if (const auto& t = time) {
        sample.unix_s = t->unix_s;
        sample.time_source = t->source;
    }
    sample.pier_side = keywords.pier_side;

    // The same image once more (the timer is quicker than the camera): not a new sample.
    if (!a.session_ended && !a.samples.empty()) {
        const DriftAssistantSample& last = a.samples.back();
        if (last.file == sample.file && last.unix_s == sample.unix_s) return;
    }

    sample.star = measure_star(image_plane(s, 0), {s.object_x, s.object_y},
                               {sample_range_top(s), static_cast<double>(s.pixel_max)});
    add_drift_sample(a, std::move(sample), keywords);
    show(s, v);
}

void end_drift_session(State& s) { s.assistant.session_ended = true; }

void start_drift_segment(State& s, View& v) {
    HandlerScope scope(s);
    s.assistant.segment_requested = true;
    show(s, v);
}

void set_drift_input(State& s, View& v, DriftInput which, double value) {
    HandlerScope scope(s);
    if (!std::isfinite(value)) return;
    typed_input(s.assistant.typed, which) = value;
    refit_drift(s.assistant, true);
    show(s, v);
}

void clear_drift_input(State& s, View& v, DriftInput which) {
    HandlerScope scope(s);
    typed_input(s.assistant.typed, which).reset();
    refit_drift(s.assistant, true);
    show(s, v);
}

void set_drift_orientation(State& s, View& v, Orientation orientation) {
    HandlerScope scope(s);
    s.assistant.typed.orientation = orientation;
    refit_drift(s.assistant, true);
    show(s, v);
}

}  // namespace trakora
