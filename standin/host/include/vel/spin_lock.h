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

    // Test before test-and-set: a waiter only reads the byte until it looks free, so it does not
    // take the cache line from the holder; a lost exchange or a wait that lasts goes to backoff,
    // which in the end gives the core away so that a holder that lost its core can run again.
    // The first backoff is long (800 pauses): a thread that lost the byte stays off the line
    // while the winner takes and gives it several times, which beside a reader looping on live
    // reads roughly halved the owner's frame against a first backoff of 100.
    void lock() noexcept {
        std::uint64_t counter = 800;
        for (;;) {
            for (unsigned spins = 0; m_state.load(std::memory_order_relaxed) != 0; ++spins) {
                VEL_CPU_PAUSE();
                if (spins == kSpinsBeforeBackoff) {
                    backoff(counter);
                    spins = 0;
                }
            }
            if (m_state.exchange(1, std::memory_order_acquire) == 0)
                return;
            backoff(counter);
        }
    }
    void unlock() noexcept { m_state.store(0, std::memory_order_release); }
    bool isLocked() const noexcept { return m_state.load(std::memory_order_relaxed) != 0; }

    // Called after a lost exchange or a long wait; returns so the caller retries. A short spin
    // first, then yielding the core, then short sleeps.
    HOST_API static void backoff(std::uint64_t& counter) noexcept;

private:
    static constexpr unsigned kSpinsBeforeBackoff = 64;
    std::atomic<std::uint8_t> m_state;
};

} // namespace vel
