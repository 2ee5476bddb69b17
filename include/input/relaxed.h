#pragma once

#include <atomic>

namespace input {

// A value that other threads may read while its owner writes it (key states, the device in use,
// the active channel mask). Each load and store is whole and unordered with respect to anything
// else; it has the size and layout of T.
template <class T> class Relaxed {
public:
    constexpr Relaxed(T value = T()) noexcept : m_value(value) {}
    Relaxed(const Relaxed& other) noexcept : m_value(other.load()) {}
    Relaxed& operator=(const Relaxed& other) noexcept {
        store(other.load());
        return *this;
    }
    Relaxed& operator=(T value) noexcept {
        store(value);
        return *this;
    }
    operator T() const noexcept { return load(); }
    T load() const noexcept { return m_value.load(std::memory_order_relaxed); }
    void store(T value) noexcept { m_value.store(value, std::memory_order_relaxed); }

private:
    std::atomic<T> m_value;
};

} // namespace input
