// SPDX-License-Identifier: MIT
#pragma once

#include "core/state.hpp"
#include "core/view.hpp"

namespace trakora {

enum class NewestImage {
    None,        // no image in the folder qualifies
    Unreadable,  // the newest could not be read
    Read,        // the newest is in the image buffer
};

// Finds the newest image of the folder and reads it, telling the user when there is
// none ("Fitsファイルがありません") or when it cannot be read (the reader's own message,
// then "File Open Error").
NewestImage load_newest_image(State& s, View& v);

}  // namespace trakora
