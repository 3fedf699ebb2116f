// SPDX-License-Identifier: MIT
#include "arrival/short_file.hpp"

namespace trakora {

bool report_short_file(ShortFileWatch& watch, const std::string& name, std::uint64_t length) {
    if (watch.ticks == 0 || watch.name != name || watch.length != length) {
        watch = ShortFileWatch{name, length, 0};
    }
    if (watch.ticks <= kShortTicksBeforeReport) ++watch.ticks;
    return watch.ticks == kShortTicksBeforeReport;
}

}  // namespace trakora
