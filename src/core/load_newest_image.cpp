// SPDX-License-Identifier: MIT
#include "core/load_newest_image.hpp"

#include "core/handlers.hpp"
#include "core/messages.hpp"

namespace trakora {

NewestImage load_newest_image(State& s, View& v) {
    new_fits_file_name(s, v);
    if (s.fits_file_name.empty()) {
        v.message(messages::kNoFitsFile);
        return NewestImage::None;
    }
    if (read_fits_image(s, v) != 0) {
        v.message(messages::kFileOpenError);
        return NewestImage::Unreadable;
    }
    return NewestImage::Read;
}

}  // namespace trakora
