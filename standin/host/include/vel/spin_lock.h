#pragma once

#include <atomic>
#include <cstdint>

#if defined(__x86_64__) || defined(_M_X64) || defined(__i386__) || defined(_M_IX86)
#include <immintrin.h>
#define VEL_CPU_PAUSE() _mm_pause()
#else
#define VEL_CPU_PAUSE() ((void)0)
#endif

#include "host/api.h"

namespace vel {

// One byte, 0 = free. Not recursive.
class SpinLock {
public:
    SpinLock() noexcept : m_state(0) {}
    SpinLock(const SpinLock&) = delete;
    SpinLock& operator=(const SpinLock&) = delete;

    void lock() noexcept {
        std::uint64_t counter = 100;
        for (;;) {
            while (m_state.load(std::memory_order_relaxed) != 0)
                VEL_CPU_PAUSE();
            if (m_state.exchange(1, std::memory_order_acquire) == 0)
                return;
            backoff(counter);
        }
    }
    void unlock() noexcept { m_state.store(0, std::memory_order_release); }
    bool isLocked() const noexcept { return m_state.load(std::memory_order_relaxed) != 0; }

    // Called after a lost exchange; returns so the caller retries.
    HOST_API static void backoff(std::uint64_t& counter) noexcept;

private:
    std::atomic<std::uint8_t> m_state;
};

} // namespace vel
