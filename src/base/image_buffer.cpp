// SPDX-License-Identifier: MIT
#include "base/image_buffer.hpp"

#include <cstdlib>
#include <new>

namespace trakora {

void FreeDeleter::operator()(void* p) const noexcept { std::free(p); }

void* allocate_zeroed(std::size_t bytes) {
    void* p = std::calloc(1, bytes);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

}  // namespace trakora
