// RecursiveLock over the platform's SRW lock and thread ids: the real kernel32 calls on Windows,
// the simulated ones elsewhere. Built into its own program because the lock is internal to the
// library and not exported.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "host/platform.h"
#include "manager/locks.h"

namespace {

using input::RecursiveLock;
using input::RecursiveLockGuard;

struct LockHolder {
    RecursiveLock* lock = RecursiveLock::create();
    ~LockHolder() { RecursiveLock::destroy(lock); }
};

TEST(RecursiveLock, ReentersForItsOwnerAndFreesAtDepthZero) {
    LockHolder holder;
    EXPECT_EQ(holder.lock->ownerThreadId.load(), RecursiveLock::kNoOwner);
    holder.lock->lock();
    holder.lock->lock();
    holder.lock->lock();
    EXPECT_EQ(holder.lock->depth, 3);
    EXPECT_EQ(holder.lock->ownerThreadId.load(), input::platform::currentThreadId());
    holder.lock->unlock();
    holder.lock->unlock();
    EXPECT_EQ(holder.lock->ownerThreadId.load(), input::platform::currentThreadId());
    holder.lock->unlock();
    EXPECT_EQ(holder.lock->ownerThreadId.load(), RecursiveLock::kNoOwner);

    // Released for real: another thread gets it.
    bool acquired = false;
    std::thread([&] {
        RecursiveLockGuard guard(holder.lock);
        acquired = true;
    }).join();
    EXPECT_TRUE(acquired);
}

TEST(RecursiveLock, ExcludesAcrossThreadsWithNesting) {
    LockHolder holder;
    constexpr int kThreads = 4;
    constexpr int kRounds = 20000;
    long long counter = 0; // plain on purpose: only the lock keeps the increments whole
    std::atomic<int> inside{0};
    std::atomic<int> overlaps{0};
    std::atomic<int> wrongOwner{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            // Each thread its own id, never the free mark: else two would share the lock.
            std::uint32_t self = input::platform::currentThreadId();
            if (self == RecursiveLock::kNoOwner)
                ++wrongOwner;
            for (int i = 0; i < kRounds; ++i) {
                RecursiveLockGuard outer(holder.lock);
                if (inside.fetch_add(1) != 0)
                    ++overlaps;
                {
                    RecursiveLockGuard inner(holder.lock);
                    if (holder.lock->ownerThreadId.load() != self || holder.lock->depth != 2)
                        ++wrongOwner;
                    counter = counter + 1;
                }
                inside.fetch_sub(1);
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(counter, static_cast<long long>(kThreads) * kRounds);
    EXPECT_EQ(overlaps.load(), 0);
    EXPECT_EQ(wrongOwner.load(), 0);
    EXPECT_EQ(holder.lock->depth, 0);
    EXPECT_EQ(holder.lock->ownerThreadId.load(), RecursiveLock::kNoOwner);
}

} // namespace
