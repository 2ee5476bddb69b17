#pragma once

#include <cstdint>

#include "host/platform.h"
#include "input/relaxed.h"
#include "vel/spin_lock.h"

namespace input {

// A heap record of an SRW lock, its owner's thread id and a depth, re-entrant for its owner
// (SRW locks are not recursive).
struct RecursiveLock {
    static constexpr std::uint32_t kNoOwner = 0xFFFFFFFFu;

    platform::SrwLock srwLock;
    // Read by other threads before they block; a thread only ever finds its own id here when it
    // stored it itself.
    Relaxed<std::uint32_t> ownerThreadId{kNoOwner};
    std::int32_t depth = 0;

    static RecursiveLock* create();
    // Frees the record without unlocking it.
    static void destroy(RecursiveLock* lock);

    void lock();
    void unlock();
};

// Holds a RecursiveLock for a scope.
class RecursiveLockGuard {
public:
    explicit RecursiveLockGuard(RecursiveLock* lock) : m_lock(lock) { m_lock->lock(); }
    ~RecursiveLockGuard() { m_lock->unlock(); }
    RecursiveLockGuard(const RecursiveLockGuard&) = delete;
    RecursiveLockGuard& operator=(const RecursiveLockGuard&) = delete;

private:
    RecursiveLock* m_lock;
};

// Holds a binding table's spin lock for a scope.
class SpinLockGuard {
public:
    explicit SpinLockGuard(vel::SpinLock& lock) : m_lock(lock) { m_lock.lock(); }
    ~SpinLockGuard() { m_lock.unlock(); }
    SpinLockGuard(const SpinLockGuard&) = delete;
    SpinLockGuard& operator=(const SpinLockGuard&) = delete;

private:
    vel::SpinLock& m_lock;
};

} // namespace input
