// SPDX-License-Identifier: MIT
#include "core/load_newest_image.hpp"

#include "core/handlers.hpp"
#include "core/messages.hpp"
#include "core/read_image.hpp"

namespace trakora {

NewestImage load_newest_image(State& s, View& v, WhileWriting while_writing) {
    const bool waits = while_writing == WhileWriting::wait;
    // The folder is asked of the view once: the scan and the read look in the same one.
    const std::string folder = v.text(TextField::Folder);
    find_newest_image(s, folder);
    if (s.fits_file_name.empty()) {
        if (waits) s.short_file = {};
        v.message(messages::kNoFitsFile);
        return NewestImage::None;
    }
    const ImageRead read = read_newest_file(s, folder);
    if (waits) {
        // The camera is still writing it: the next tick will take it.
        if (read.status != 0 && read.incomplete) {
            if (!report_short_file(s.short_file, s.fits_file_name, read.file_size))
                return NewestImage::Writing;
        } else {
            s.short_file = {};
        }
    }
    if (read.status != 0) {
        v.message(read.message);
        v.message(messages::kFileOpenError);
        return NewestImage::Unreadable;
    }
    return NewestImage::Read;
}

}  // namespace trakora
