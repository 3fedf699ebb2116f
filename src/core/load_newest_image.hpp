// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "core/state.hpp"
#include "core/view.hpp"

namespace trakora {

enum class NewestImage {
    None,        // no image in the folder qualifies
    Unreadable,  // the newest could not be read
    Writing,     // the newest is still being written; nothing was shown
    Read,        // the newest is in the image buffer
};

// How a newest image that is still being written (ImageRead::incomplete) is taken.
enum class WhileWriting {
    report,  // as any unreadable image, at once (object setting: the user can press again)
    wait,    // quietly, until the same file has stayed so with the same length over
             // kShortTicksBeforeReport ticks in a row; then reported once (a tick)
};

// Finds the newest image of the folder and reads it, telling the user when there is
// none ("Fitsファイルがありません") or when it cannot be read (the reader's own message,
// then "File Open Error"). With WhileWriting::wait a file still being written is waited
// for, as State::short_file remembers it from tick to tick.
NewestImage load_newest_image(State& s, View& v, WhileWriting while_writing = WhileWriting::report);

// new_fits_file_name for a folder the caller already knows: the newest image's name in
// fits_file_name, and its greatest DATE-OBS card in newest_date_card.
void find_newest_image(State& s, const std::string& folder);

}  // namespace trakora
