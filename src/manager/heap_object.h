#pragma once

#include <new>
#include <utility>

#include "vel/memory.h"

namespace input {

// Builds an object in a block of the engine heap; the block goes back if the constructor throws.
template <class T, class... Args> T* newObject(Args&&... args) {
    void* block = vel::allocateMemory(sizeof(T), alignof(T) < 8 ? 8 : alignof(T));
    try {
        return new (block) T(std::forward<Args>(args)...);
    } catch (...) {
        vel::deleteMemory(block);
        throw;
    }
}

template <class T> void deleteObject(T* object) {
    if (!object)
        return;
    object->~T();
    vel::deleteMemory(object);
}

} // namespace input
