#pragma once

#include <cstddef>

#include "host/api.h"

namespace vel {

// The engine heap. Throws std::bad_alloc when it cannot serve a request; never returns null.
HOST_API void* allocateMemory(std::size_t size, std::size_t alignment);
// Frees a block from allocateMemory; null is accepted.
HOST_API void deleteMemory(void* block);

} // namespace vel
