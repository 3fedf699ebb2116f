// SPDX-License-Identifier: MIT
#include "camera/knob_input.hpp"

#include <poll.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cmath>

#include "base/command_line.hpp"

namespace trakora::camera {
namespace {

std::string_view trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

KnobLine parse_knob_line(std::string_view line) {
    const std::string_view text = trimmed(line);
    if (text.empty()) return {};
    const auto gap = text.find_first_of(" \t");
    const std::string_view word = text.substr(0, gap);
    const std::string_view value =
        gap == std::string_view::npos ? std::string_view{} : trimmed(text.substr(gap));
    const std::string quoted = "'" + std::string(text) + "'";
    if (word == "slew") {
        const auto space = value.find_first_of(" \t");
        const auto ha = command_line::to_number(value.substr(0, space));
        const auto dec = space == std::string_view::npos
                             ? std::nullopt
                             : command_line::to_number(trimmed(value.substr(space)));
        if (!ha || !dec || std::abs(*ha) > 12 || std::abs(*dec) > 89)
            return {std::nullopt, std::nullopt,
                    "expected slew HOURS DEGREES (hour angle -12 to 12, declination -89 to "
                    "89), not " +
                        quoted};
        return {std::nullopt, Slew{*ha, *dec}, {}};
    }
    if (word == "nudge") {
        const auto space = value.find_first_of(" \t");
        const std::string_view dir = value.substr(0, space);
        const auto arcsec = space == std::string_view::npos
                                ? std::nullopt
                                : command_line::to_number(trimmed(value.substr(space)));
        SkyOffset moved;
        if (arcsec && *arcsec > 0 && *arcsec <= 3600) {
            if (dir == "north" || dir == "south")
                moved.north_arcsec = dir == "north" ? *arcsec : -*arcsec;
            else if (dir == "east" || dir == "west")
                moved.east_arcsec = dir == "east" ? *arcsec : -*arcsec;
        }
        if (moved.north_arcsec == 0 && moved.east_arcsec == 0)
            return {std::nullopt, std::nullopt,
                    "expected nudge DIR ARCSEC (north, south, east or west; above 0 up to "
                    "3600), not " +
                        quoted};
        return {std::nullopt, std::nullopt, {}, moved};
    }
    if (word != "az" && word != "alt")
        return {std::nullopt, std::nullopt,
                "expected az ARCMIN, alt ARCMIN, slew HOURS DEGREES or nudge DIR ARCSEC, not " +
                    quoted};
    const auto arcmin = command_line::to_number(value);
    if (!arcmin || std::abs(*arcmin) > kLargestKnobTurnArcmin)
        return {
            std::nullopt, std::nullopt,
            "expected arcminutes from -600 to 600 after " + std::string(word) + ", not " + quoted};
    KnobTurn turn;
    (word == "az" ? turn.az_arcmin : turn.alt_arcmin) = *arcmin;
    return {turn, std::nullopt, {}};
}

std::vector<KnobLine> KnobInput::ready_lines() {
    std::array<char, 4096> buffer{};
    while (!ended_) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, 0) <= 0 || (p.revents & (POLLIN | POLLHUP)) == 0) break;
        const ssize_t n = read(fd_, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ended_ = true;
            pending_ += '\n';
            break;
        }
        pending_.append(buffer.data(), static_cast<std::size_t>(n));
    }
    std::vector<KnobLine> lines;
    std::size_t start = 0;
    for (auto end = pending_.find('\n'); end != std::string::npos;
         end = pending_.find('\n', start)) {
        KnobLine line = parse_knob_line(std::string_view(pending_).substr(start, end - start));
        if (line.turn || line.slew || line.nudge || !line.refusal.empty())
            lines.push_back(std::move(line));
        start = end + 1;
    }
    pending_.erase(0, start);
    return lines;
}

}  // namespace trakora::camera
