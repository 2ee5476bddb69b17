#pragma once

#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>

#include "vel/memory.h"

namespace vel {

template <class T, int Arena> struct Allocator;

// The general heap arena: 4-byte alignment for small elements, 8 otherwise.
template <class T> struct Allocator<T, 0> {
    static constexpr std::size_t alignment = alignof(T) <= 4 ? 4 : 8;
    static T* allocate(std::uint32_t count) {
        return static_cast<T*>(allocateMemory(sizeof(T) * count, alignment));
    }
    static void deallocate(T* block) { deleteMemory(block); }
};

// Contiguous storage: data pointer, 32-bit count, 32-bit capacity. Growing allocates exactly the
// requested capacity; nothing grows ahead unless pushBack asks for it.
template <class T, class A = Allocator<T, 0>> class Vector {
public:
    Vector() = default;
    Vector(const Vector& other) { *this = other; }
    Vector(Vector&& other) noexcept
        : m_data(other.m_data), m_count(other.m_count), m_capacity(other.m_capacity) {
        other.m_data = nullptr;
        other.m_count = other.m_capacity = 0;
    }
    ~Vector() {
        destroyAll();
        A::deallocate(m_data);
    }

    // Reuses this vector's storage, growing it to exactly the source's count when too small.
    Vector& operator=(const Vector& other) {
        if (this == &other)
            return *this;
        if (other.m_count > m_capacity) {
            T* block = A::allocate(other.m_count);
            destroyAll();
            A::deallocate(m_data);
            m_data = block;
            m_capacity = other.m_count;
        } else {
            destroyAll();
        }
        for (std::uint32_t i = 0; i < other.m_count; ++i) {
            new (m_data + i) T(other.m_data[i]);
            m_count = i + 1;
        }
        return *this;
    }

    std::uint32_t size() const { return m_count; }
    std::uint32_t capacity() const { return m_capacity; }
    bool empty() const { return m_count == 0; }
    T* data() { return m_data; }
    const T* data() const { return m_data; }
    T& operator[](std::uint32_t i) { return m_data[i]; }
    const T& operator[](std::uint32_t i) const { return m_data[i]; }
    T* begin() { return m_data; }
    T* end() { return m_data + m_count; }
    const T* begin() const { return m_data; }
    const T* end() const { return m_data + m_count; }

    // Grows the storage to exactly `count` elements, moving the old ones; never shrinks.
    void reserve(std::uint32_t count) {
        if (count <= m_capacity)
            return;
        static_assert(std::is_nothrow_move_constructible<T>::value,
                      "elements move without throwing, so a failed reserve changes nothing");
        T* block = A::allocate(count);
        for (std::uint32_t i = 0; i < m_count; ++i) {
            new (block + i) T(std::move(m_data[i]));
            m_data[i].~T();
        }
        A::deallocate(m_data);
        m_data = block;
        m_capacity = count;
    }

    // Sets the count; new elements are copies of `fill`.
    void resize(std::uint32_t count, const T& fill = T()) {
        reserve(count);
        while (m_count > count)
            m_data[--m_count].~T();
        while (m_count < count) {
            new (m_data + m_count) T(fill);
            ++m_count;
        }
    }

    void pushBack(const T& value) {
        if (m_count == m_capacity)
            reserve(m_capacity ? m_capacity * 2 : 4);
        new (m_data + m_count) T(value);
        ++m_count;
    }

    // Count to 0; the storage stays allocated.
    void clear() { destroyAll(); }

private:
    void destroyAll() {
        while (m_count > 0)
            m_data[--m_count].~T();
    }

    T* m_data = nullptr;
    std::uint32_t m_count = 0;
    std::uint32_t m_capacity = 0;
};

} // namespace vel
