// SPDX-License-Identifier: MIT
#include "session/star_notes.hpp"

#include <algorithm>
#include <vector>

namespace trakora {
namespace {

// A fit's residual scatter is the centroid's jitter: seeing moves a star by a fraction of
// its own width. A scatter as wide as the star itself is not the star's (the search
// followed another one, a frame was mis-measured).
constexpr double kScatterPerWidth = 1.0;
constexpr double kEnoughMinutes = 3;  // as the summary asks of the fit's span

double number(std::size_t index) { return static_cast<double>(index + 1); }

void not_enough(DriftSummary& s) {
    if (s.enough.value_or(false)) s.minutes_needed.reset();
    if (s.enough) s.enough = false;
}

std::optional<double> unix_time(const SessionImage& image) {
    if (!image.measurement.time) return std::nullopt;
    return image.measurement.time->unix_s;
}

// The runs of images the star was lost in: named, and the time they took off the fit.
void add_lost_notes(DriftSummary& s, std::span<const SessionImage> images, std::size_t first) {
    double lost_minutes = 0;
    for (std::size_t k = 0; k < images.size();) {
        if ((images[k].measurement.star->flags & kStarUntracked) == 0) {
            ++k;
            continue;
        }
        std::size_t end = k;
        while (end < images.size() && (images[end].measurement.star->flags & kStarUntracked)) ++end;
        const std::string& lost_file = images[k].measurement.file;
        if (end == images.size()) {
            s.notes.push_back({NoteCode::star_lost, {lost_file}, {number(first + k)}});
            not_enough(s);
        } else {
            s.notes.push_back({NoteCode::star_found_again,
                               {lost_file, images[end].measurement.file},
                               {number(first + k), number(first + end)}});
            const auto before = k > 0 ? unix_time(images[k - 1]) : std::nullopt;
            if (const auto after = unix_time(images[end]); before && after)
                lost_minutes += (*after - *before) / 60;
        }
        k = end;
    }
    if (lost_minutes > 0 && s.enough.value_or(false) && s.minutes - lost_minutes < kEnoughMinutes)
        not_enough(s);
}

double median(std::vector<double> v) {
    const auto mid = v.begin() + static_cast<long>(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

}  // namespace

bool star_left_out(const SessionImage& image) {
    return (image.measurement.star->flags & ~static_cast<unsigned>(kStarSaturated)) != 0 ||
           !image.measurement.time;
}

void add_star_notes(DriftSummary& s, std::span<const SessionImage> images, std::size_t first) {
    std::size_t faint = 0, saturated = 0;
    std::vector<double> widths;
    for (const SessionImage& image : images) {
        const StarMeasurement& star = *image.measurement.star;
        if ((star.flags & kStarUntracked) == 0 && (star.flags & (kStarFaint | kStarLowSnr)))
            ++faint;
        if (image.excluded != Exclusion::none) continue;
        if (star.flags & kStarSaturated) ++saturated;
        widths.push_back(star.hfd);
    }
    if (faint > 0) s.notes.push_back({NoteCode::faint_left_out, {}, {static_cast<double>(faint)}});
    if (saturated > 0)
        s.notes.push_back({NoteCode::star_saturated, {}, {static_cast<double>(saturated)}});
    add_lost_notes(s, images, first);
    if (widths.empty() || !s.seeing_arcsec || !s.scale_arcsec_per_px) return;
    const double width_arcsec = median(widths) * *s.scale_arcsec_per_px;
    // A star of no measured width (a measurement made elsewhere) tells nothing of it.
    if (!(width_arcsec > 0)) return;
    if (*s.seeing_arcsec > kScatterPerWidth * width_arcsec) {
        s.notes.push_back({NoteCode::scatter_too_wide, {}, {*s.seeing_arcsec, width_arcsec}});
        not_enough(s);
    }
}

}  // namespace trakora
