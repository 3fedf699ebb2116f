// SPDX-License-Identifier: MIT
#include "windowless/windowless_view.hpp"

#include <utility>

namespace trakora {

WindowlessView::WindowlessView(std::string folder) : folder_(std::move(folder)) {
    texts_[0] = folder_;
}

}  // namespace trakora
