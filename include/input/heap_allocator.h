#pragma once

#include <cstddef>

#include "vel/memory.h"

namespace input {

// Standard-container allocator over the engine heap, so that tree nodes come from
// vel::allocateMemory like every other block of the library.
template <class T> struct HeapAllocator {
    using value_type = T;

    HeapAllocator() noexcept = default;
    template <class U> HeapAllocator(const HeapAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        return static_cast<T*>(
            vel::allocateMemory(count * sizeof(T), alignof(T) < 8 ? 8 : alignof(T)));
    }
    void deallocate(T* block, std::size_t) noexcept { vel::deleteMemory(block); }

    template <class U> bool operator==(const HeapAllocator<U>&) const noexcept { return true; }
    template <class U> bool operator!=(const HeapAllocator<U>&) const noexcept { return false; }
};

} // namespace input
