#include "vel/memory.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "host/control.h"

namespace {

std::atomic<std::uint64_t> g_allocations{0};
std::atomic<std::int64_t> g_live{0};
// Counts down to the allocation that must fail; 0 when nothing is armed.
std::atomic<std::uint64_t> g_failCountdown{0};

bool shouldFail() {
    std::uint64_t n = g_failCountdown.load(std::memory_order_relaxed);
    while (n != 0) {
        if (g_failCountdown.compare_exchange_weak(n, n - 1, std::memory_order_relaxed))
            return n == 1;
    }
    return false;
}

} // namespace

namespace vel {

void* allocateMemory(std::size_t size, std::size_t alignment) {
    if (shouldFail())
        throw std::bad_alloc();
    if (alignment < alignof(void*))
        alignment = alignof(void*);
    // Over-allocate and keep the malloc pointer just below the aligned block.
    void* raw = std::malloc(size + alignment + sizeof(void*));
    if (!raw)
        throw std::bad_alloc();
    std::uintptr_t start = reinterpret_cast<std::uintptr_t>(raw) + sizeof(void*);
    std::uintptr_t aligned = (start + alignment - 1) & ~(std::uintptr_t(alignment) - 1);
    reinterpret_cast<void**>(aligned)[-1] = raw;
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    g_live.fetch_add(1, std::memory_order_relaxed);
    return reinterpret_cast<void*>(aligned);
}

void deleteMemory(void* block) {
    if (!block)
        return;
    g_live.fetch_sub(1, std::memory_order_relaxed);
    std::free(static_cast<void**>(block)[-1]);
}

} // namespace vel

namespace host {
namespace memory {

std::uint64_t allocationCount() {
    return g_allocations.load(std::memory_order_relaxed);
}
std::int64_t liveBlocks() {
    return g_live.load(std::memory_order_relaxed);
}
void failNthAllocation(std::uint64_t n) {
    g_failCountdown.store(n, std::memory_order_relaxed);
}
bool failureArmed() {
    return g_failCountdown.load(std::memory_order_relaxed) != 0;
}

} // namespace memory
} // namespace host
