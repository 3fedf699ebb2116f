// SPDX-License-Identifier: MIT
// The newest image of the watched folder, found with what the folder memory keeps of
// earlier ticks.
#include "arrival/folder_memory.hpp"
#include "core/handlers.hpp"
#include "core/load_newest_image.hpp"

namespace trakora {

void find_newest_image(State& s, const std::string& folder) {
    s.fits_file_name = remembered_newest_fits_name(s.folder_memory, folder, s.header_cards[1],
                                                   s.newest_date_card, s.name_rule);
}

void new_fits_file_name(State& s, View& v) { find_newest_image(s, v.text(TextField::Folder)); }

}  // namespace trakora
